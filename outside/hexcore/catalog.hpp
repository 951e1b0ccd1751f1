// The catalog of driver packages: parsed once into a flat table that points
// into the XML document, with a sorted index from hardware id to package.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "outside/hexcore/device.hpp"

namespace hexcore {

// A catalog or profile that cannot be used; the text says why.
class data_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct package {
    std::int32_t id = 0;
    // UTF-8 texts inside the catalog's document.
    const char* provider = "";
    const char* description = "";
    const char* location = "";
    const char* sha256 = "";
    const char* version_text = "";
    std::uint64_t size = 0;
    version ver;
    SYSTEMTIME date{};
};

class catalog {
public:
    catalog() = default;
    // The table points into the document, which points into bytes_.
    catalog(const catalog&) = delete;
    catalog& operator=(const catalog&) = delete;

    // Parses the catalog's bytes; where names it in error texts. Throws
    // data_error.
    void load(std::string bytes, const std::string& where);

    const package* find(std::int32_t id) const;
    const std::vector<package>& packages() const { return packages_; }

    // Calls f(package) for every package that serves the id (ids compare
    // without ASCII case).
    template <class F>
    void for_each_serving(std::string_view id, F f) const {
        const std::uint64_t h = id_hash(id);
        auto it = std::lower_bound(index_.begin(), index_.end(), h,
                                   [](const entry& e, std::uint64_t v) { return e.hash < v; });
        for (; it != index_.end() && it->hash == h; ++it)
            if (same_id(it->text, id)) f(packages_[it->package]);
    }

    static std::uint64_t id_hash(std::string_view id);
    static bool same_id(std::string_view a, std::string_view b);

private:
    struct entry {
        std::uint64_t hash;
        std::uint32_t package;
        std::string_view text;
    };

    std::string bytes_;
    pugi::xml_document document_;
    std::vector<package> packages_;
    std::vector<entry> index_;
    std::vector<std::pair<std::int32_t, std::uint32_t>> by_id_;
};

}  // namespace hexcore
