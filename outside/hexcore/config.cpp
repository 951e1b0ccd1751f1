#include "outside/hexcore/config.hpp"

#include <windows.h>
#include <shlobj.h>

#include <pugixml.hpp>

#include "outside/hexcore/catalog.hpp"
#include "outside/hexcore/fetch.hpp"
#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

std::wstring expand(const std::wstring& text) {
    const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (n == 0) return text;
    std::wstring out(n, L'\0');
    ::ExpandEnvironmentStringsW(text.c_str(), out.data(), n);
    out.resize(n - 1);
    return out;
}

bool is_absolute(const std::wstring& p) {
    return (p.size() >= 2 && p[1] == L':') || p.starts_with(L"\\\\") || p.starts_with(L"\\") ||
           p.starts_with(L"/");
}

std::wstring common_appdata() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return L"C:\\ProgramData";
    return buffer;
}

}  // namespace

std::wstring resolve_path(const std::wstring& folder, const std::wstring& path) {
    const std::wstring p = expand(path);
    if (is_url(p) || is_absolute(p)) return p;
    return folder + p;
}

config read_config(const std::wstring& engine_folder) {
    config c;
    c.catalog = engine_folder + L"catalog\\catalog.xml";
    c.cache = common_appdata() + L"\\Hexcore\\Cache";
    const std::wstring path = engine_folder + L"hexcore.xml";
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(path.c_str());
    if (parsed.status != pugi::status_file_not_found) {
        if (!parsed)
            throw data_error("The configuration " + utf8(path) + " is malformed: " + parsed.description());
        const pugi::xml_node root = doc.child("hexcore");
        if (!root) throw data_error("The configuration " + utf8(path) + " has no hexcore element");
        if (const pugi::xml_node n = root.child("inventory")) {
            const std::string source = n.attribute("source").as_string("live");
            if (source == "file") {
                c.inventory = config::inventory_source::file;
                const std::wstring profile = wide(n.attribute("profile").value());
                if (profile.empty()) throw data_error("The configuration " + utf8(path) + " names no device profile");
                c.profile = resolve_path(engine_folder, profile);
            } else if (source != "live") {
                throw data_error("The configuration " + utf8(path) + " names an unknown inventory source " + source);
            }
        }
        if (const pugi::xml_node n = root.child("catalog"); n && *n.attribute("location").value())
            c.catalog = resolve_path(engine_folder, wide(n.attribute("location").value()));
        if (const pugi::xml_node n = root.child("cache"); n && *n.attribute("folder").value())
            c.cache = resolve_path(engine_folder, wide(n.attribute("folder").value()));
        if (const pugi::xml_node n = root.child("restore-point")) {
            const std::string mode = n.attribute("mode").as_string("system");
            if (mode == "journal") c.restore = config::restore_mode::journal;
            else if (mode != "system")
                throw data_error("The configuration " + utf8(path) + " names an unknown restore-point mode " + mode);
            if (*n.attribute("folder").value()) c.journal = resolve_path(engine_folder, wide(n.attribute("folder").value()));
        }
    }
    while (!c.cache.empty() && c.cache.back() == L'\\') c.cache.pop_back();
    if (c.journal.empty()) c.journal = c.cache + L"\\Journal";
    return c;
}

}  // namespace hexcore
