#include "outside/hexcore/catalog.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace hexcore {
namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

template <class T>
bool parse_number(const char* text, T& out) {
    const char* end = text + std::strlen(text);
    auto [p, error] = std::from_chars(text, end, out);
    return error == std::errc() && p == end && p != text;
}

bool hex_digest(const char* text) {
    std::size_t n = 0;
    for (; text[n]; ++n) {
        const char c = text[n];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    }
    return n == 64;
}

// The package attributes, read in one pass over them rather than one
// search per name: catalogs hold a hundred thousand packages.
struct package_attributes {
    const char *id = "", *version = "", *date = "", *size = "", *sha256 = "", *location = "", *provider = "",
               *description = "";

    explicit package_attributes(pugi::xml_node n) {
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            const char* name = a.name();
            const char* value = a.value();
            switch (name[0]) {
            case 'i': if (!std::strcmp(name, "id")) id = value; break;
            case 'v': if (!std::strcmp(name, "version")) version = value; break;
            case 'd':
                if (!std::strcmp(name, "date")) date = value;
                else if (!std::strcmp(name, "description")) description = value;
                break;
            case 's':
                if (!std::strcmp(name, "size")) size = value;
                else if (!std::strcmp(name, "sha256")) sha256 = value;
                break;
            case 'l': if (!std::strcmp(name, "location")) location = value; break;
            case 'p': if (!std::strcmp(name, "provider")) provider = value; break;
            default: break;
            }
        }
    }
};

}  // namespace

std::uint64_t catalog::id_hash(std::string_view id) {
    std::uint64_t h = 14695981039346656037ull;
    for (char c : id) h = (h ^ static_cast<unsigned char>(upper(c))) * 1099511628211ull;
    return h;
}

bool catalog::same_id(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

void catalog::load(std::string bytes, const std::string& where) {
    bytes_ = std::move(bytes);
    packages_.clear();
    index_.clear();
    by_id_.clear();
    // Entities are expanded; line ends and attribute white space are left
    // as they are, which no catalog field depends on.
    const pugi::xml_parse_result parsed =
        document_.load_buffer_inplace(bytes_.data(), bytes_.size(), pugi::parse_minimal | pugi::parse_escapes);
    if (!parsed)
        throw data_error("The catalog " + where + " is malformed: " + parsed.description() + " at offset " +
                         std::to_string(parsed.offset));
    const pugi::xml_node root = document_.child("catalog");
    if (!root) throw data_error("The catalog " + where + " has no catalog element");
    std::size_t count = 0;
    for (pugi::xml_node n = root.first_child(); n; n = n.next_sibling()) ++count;
    packages_.reserve(count);
    index_.reserve(count * 2);
    for (pugi::xml_node n = root.child("package"); n; n = n.next_sibling("package")) {
        package p;
        const auto bad = [&](const char* what) {
            return data_error("The catalog " + where + " has a package with " + what + " (package " +
                              std::to_string(packages_.size() + 1) + ")");
        };
        const package_attributes a(n);
        if (!parse_number(a.id, p.id)) throw bad("no valid id");
        p.version_text = a.version;
        if (!parse_version(p.version_text, p.ver)) throw bad("no valid version");
        if (!parse_date(a.date, p.date)) throw bad("no valid date");
        if (!parse_number(a.size, p.size)) throw bad("no valid size");
        p.sha256 = a.sha256;
        if (!hex_digest(p.sha256)) throw bad("no valid sha256");
        p.location = a.location;
        if (!*p.location) throw bad("no location");
        p.provider = a.provider;
        p.description = a.description;
        const auto index = static_cast<std::uint32_t>(packages_.size());
        for (pugi::xml_node id = n.child("hardware-id"); id; id = id.next_sibling("hardware-id")) {
            const std::string_view text = id.child_value();
            if (!text.empty()) index_.push_back(entry{id_hash(text), index, text});
        }
        by_id_.emplace_back(p.id, index);
        packages_.push_back(p);
    }
    std::sort(index_.begin(), index_.end(), [](const entry& a, const entry& b) { return a.hash < b.hash; });
    std::sort(by_id_.begin(), by_id_.end());
    for (std::size_t i = 1; i < by_id_.size(); ++i)
        if (by_id_[i].first == by_id_[i - 1].first)
            throw data_error("The catalog " + where + " lists the package id " + std::to_string(by_id_[i].first) +
                             " twice");
}

const package* catalog::find(std::int32_t id) const {
    auto it = std::lower_bound(by_id_.begin(), by_id_.end(), std::make_pair(id, std::uint32_t{0}));
    if (it == by_id_.end() || it->first != id) return nullptr;
    return &packages_[it->second];
}

}  // namespace hexcore
