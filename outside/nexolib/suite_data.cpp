#include "outside/nexolib/suite_data.hpp"

#include <windows.h>
#include <shlobj.h>

#include <pugixml.hpp>

#include "outside/nexolib/xml_file.hpp"
#include "tessel/format.hpp"
#include "tessel/unicode.hpp"

namespace nexolib {
namespace {

std::wstring attribute(const pugi::xml_node& node, const char* name) { return wide(node.attribute(name).value()); }

bool same_ascii_case_insensitive(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Percent-encodes everything but the unreserved characters of an address.
std::wstring url_encoded(const std::wstring& value) {
    const std::string bytes = tessel::unicode::to_utf8(value);
    std::wstring out;
    for (const unsigned char c : bytes) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                                c == '_' || c == '.' || c == '~';
        if (unreserved)
            out += static_cast<wchar_t>(c);
        else
            out += tessel::format(L"%%%02X", static_cast<unsigned>(c));
    }
    return out;
}

std::wstring replace_all(std::wstring text, const std::wstring& what, const std::wstring& with) {
    for (std::size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

}  // namespace

const product* suite_data::find(const std::wstring& name) const {
    for (const product& p : products)
        if (same_ascii_case_insensitive(p.name, name)) return &p;
    return nullptr;
}

std::wstring suite_folder() {
    wchar_t common[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common)))
        throw error(L"the common application data folder cannot be found");
    return with_slash(common) + L"Orvena\\Tarnwick\\";
}

std::wstring suite_file() { return suite_folder() + L"suite.xml"; }

suite_data read_suite_data(const std::wstring& path) {
    pugi::xml_document doc;
    load_xml(path, doc);
    const pugi::xml_node root = doc.child("suite");
    if (!root) throw error(path + L": the root element is not \"suite\"");

    suite_data s;
    s.language = attribute(root, "language");
    if (s.language.empty()) s.language = L"EN";
    s.user_id = attribute(root.child("user"), "id");
    s.user_name = attribute(root.child("user"), "name");
    s.partner_id = attribute(root.child("partner"), "id");
    s.site = attribute(root.child("site"), "address");
    s.launcher_path = expand(attribute(root.child("launcher"), "path"));
    if (s.site.rfind(L"https://", 0) != 0 && s.site.rfind(L"http://", 0) != 0)
        throw error(path + L": the site address \"" + s.site + L"\" is not an http(s) address");

    for (const pugi::xml_node node : root.children("product")) {
        product p;
        p.name = attribute(node, "name");
        p.version = attribute(node, "version");
        if (p.name.empty()) throw error(path + L": a product without a name");
        for (const pugi::xml_node pg : node.children("page")) p.pages.push_back({attribute(pg, "name"), attribute(pg, "path")});
        const pugi::xml_node tips = node.child("tips");
        p.tips.from = expand(attribute(tips, "from"));
        p.tips.to = expand(attribute(tips, "to"));
        for (const pugi::xml_node f : tips.children("file")) {
            const std::wstring name = attribute(f, "name");
            // A file name only: the update never writes outside its folder.
            if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos || name == L"." || name == L"..")
                throw error(path + L": the tip file name \"" + name + L"\" is not a plain file name");
            p.tips.files.push_back(name);
        }
        s.products.push_back(std::move(p));
    }
    return s;
}

std::wstring account_url(const suite_data& suite, const product& p, const std::wstring& page_name) {
    const page* found = nullptr;
    for (const page& pg : p.pages)
        if (same_ascii_case_insensitive(pg.name, page_name)) {
            found = &pg;
            break;
        }
    if (!found) throw error(L"unknown page \"" + page_name + L"\" of the product \"" + p.name + L"\"");

    std::wstring path = found->path;
    path = replace_all(path, L"%UserID%", url_encoded(suite.user_id));
    path = replace_all(path, L"%Lang%", url_encoded(suite.language));
    path = replace_all(path, L"%PID%", url_encoded(suite.partner_id));
    std::wstring base = suite.site;
    while (!base.empty() && base.back() == L'/') base.pop_back();
    std::size_t skip = 0;
    while (skip < path.size() && path[skip] == L'/') ++skip;
    return base + L"/" + path.substr(skip);
}

}  // namespace nexolib
