// Style sheets and declaration blocks. Parsing is tolerant as in browsers:
// a rule with a selector we do not understand is dropped, a declaration we
// do not know is skipped, and the rest of the sheet still applies.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "outside/kvhtml/core/properties.hpp"
#include "outside/kvhtml/core/selector.hpp"

namespace kvhtml::core {

struct declaration {
    property id;
    std::string value;  // normalised: trimmed, single spaces
    bool important = false;
    // The cascade's interned copy of the value, filled on first use.
    mutable const std::string* interned = nullptr;
};
using declaration_block = std::vector<declaration>;

struct style_rule {
    selector_list selectors;
    std::shared_ptr<const declaration_block> declarations;
};

struct stylesheet {
    std::vector<std::string> imports;  // URLs of @import, in order
    std::vector<style_rule> rules;
};

stylesheet parse_stylesheet(std::string_view css);
declaration_block parse_declarations(std::string_view text);
// One property (longhand or shorthand) with its value into longhands.
// False when the name is unknown or the value unusable.
bool expand_declaration(std::string_view name, std::string_view value, bool important, declaration_block& out);

}  // namespace kvhtml::core
