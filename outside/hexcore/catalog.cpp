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
    if (std::strlen(text) != 64) return false;
    for (const char* p = text; *p; ++p)
        if (!std::isxdigit(static_cast<unsigned char>(*p))) return false;
    return true;
}

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
    const pugi::xml_parse_result parsed = document_.load_buffer_inplace(bytes_.data(), bytes_.size());
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
        if (!parse_number(n.attribute("id").value(), p.id)) throw bad("no valid id");
        p.version_text = n.attribute("version").value();
        if (!parse_version(p.version_text, p.ver)) throw bad("no valid version");
        if (!parse_date(n.attribute("date").value(), p.date)) throw bad("no valid date");
        if (!parse_number(n.attribute("size").value(), p.size)) throw bad("no valid size");
        p.sha256 = n.attribute("sha256").value();
        if (!hex_digest(p.sha256)) throw bad("no valid sha256");
        p.location = n.attribute("location").value();
        if (!*p.location) throw bad("no location");
        p.provider = n.attribute("provider").value();
        p.description = n.attribute("description").value();
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
