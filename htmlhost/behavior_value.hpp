// The "value" behaviour: elements whose content is the text of a phrase
// key (attribute "key"). It keeps, for every key, the elements bound to it,
// so that the text of a key, or of all keys, can be rendered again when it
// changes (a new language). Where the text comes from is the subclass's
// business (the translator).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "htmlhost/behavior.hpp"
#include "htmlhost/dom_element.hpp"

namespace kvhtml {

class behavior_value : public behavior {
public:
    behavior_value() : behavior("value", 0) {}

    void attached(HELEMENT he) override;
    void detached(HELEMENT he) override;

    // Renders the elements of one key again, or of every key when the key
    // is empty. A key without text leaves its elements as they are.
    void refresh(const std::wstring& key);
    // Moves an element to another key and renders that key's text in it.
    void rebind(const dom::element& e, const std::wstring& key);

    // The markup (UTF-8) of a key; empty when the key has none.
    virtual std::string value_for_key(const std::wstring& key) = 0;

    // The elements bound to a key now (for diagnostics and tests).
    size_t bound_count(const std::wstring& key) const;

private:
    void unbind(const dom::element& e, const std::wstring& key);
    void bind(const dom::element& e, const std::wstring& key);

    std::map<std::wstring, std::vector<dom::element>> bound_;
};

}  // namespace kvhtml
