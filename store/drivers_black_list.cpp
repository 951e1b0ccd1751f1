#include "store/drivers_black_list.hpp"

#include <windows.h>

#include <boost/algorithm/string/trim.hpp>
#include <pugixml.hpp>

#include "tessel/config.hpp"
#include "tessel/log.hpp"
#include "tessel/unicode.hpp"

namespace {

// The whole file, opened without sharing restrictions so that a writer
// holding it open does not hide the list. Returns the parse status of a
// file that cannot be read.
pugi::xml_parse_status read_whole_file(const std::wstring& path, std::string& bytes) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return pugi::status_file_not_found;
    pugi::xml_parse_status status = pugi::status_ok;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) {
        status = pugi::status_io_error;
    } else {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        if (!bytes.empty() && (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                               got != bytes.size()))
            status = pugi::status_io_error;
    }
    ::CloseHandle(file);
    return status;
}

}  // namespace

std::wstring drivers_black_list::default_path() {
    return tessel::config::common_appdata_folder() + tessel::config::company_name() + L"\\" +
           tessel::config::product_name() + L"\\Blacklist\\Ignore.xml";
}

drivers_black_list::drivers_black_list() : drivers_black_list(default_path()) {}

drivers_black_list::drivers_black_list(std::wstring path) : path_(std::move(path)) { load(); }

void drivers_black_list::load() {
    log_info(L"DRV BLACK LIST: %s", path_.c_str());
    entries_.clear();
    try {
        std::string bytes;
        pugi::xml_document doc;
        pugi::xml_parse_status status = read_whole_file(path_, bytes);
        if (status == pugi::status_ok) status = doc.load_buffer(bytes.data(), bytes.size()).status;
        if (status != pugi::status_ok) {
            log_info(L"Failed to load %s xml: %d", path_.c_str(), static_cast<int>(status));
            return;
        }
        for (const pugi::xpath_node& item : doc.select_nodes("/ignore/item")) {
            // The leading text or CDATA; an element or nothing gives "".
            const pugi::xml_node first = item.node().first_child();
            const bool text = first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata;
            std::wstring entry = text ? tessel::unicode::from_utf8(first.value()) : std::wstring();
            boost::algorithm::trim(entry);
            entries_.push_back(entry);
        }
    } catch (...) {
        log_exception("drivers_black_list::load");
    }
}

std::wostream& drivers_black_list::dump(std::wostream& out) const {
    out << L"DRV BLACK LIST SIZE=" << entries_.size() << L' ' << std::endl;
    for (std::size_t i = 0; i < entries_.size(); ++i) out << L"DRV" << i << L": {" << entries_[i] << L'}' << std::endl;
    out << L"DRV BLACK LIST END " << std::endl;
    return out;
}
