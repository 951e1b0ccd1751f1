// One-line operations on the first element under a root that matches a
// selector. They never throw: a failure is a log line and the call is
// skipped. The selector is used as a printf format, so it must not hold "%".
#pragma once

#include <string>

#include "htmlhost/behavior_value.hpp"
#include "htmlhost/dom_element.hpp"

namespace htmlaux {

using kvhtml::dom::element;

void show(const element& root, const char* selector);     // display "block"
void hide(const element& root, const char* selector);     // display "none"
void enable(const element& root, const char* selector);   // clears the disabled state
void disable(const element& root, const char* selector);  // sets the disabled state
void check(const element& root, const char* selector, bool checked);
bool is_checked(const element& root, const char* selector);  // false on any failure
void set_text(const element& root, const char* selector, const wchar_t* text);
// Binds the element to another phrase key of the translator, which renders
// that key's text in it.
void replace_key(const element& root, const char* selector, const std::wstring& key,
                 kvhtml::behavior_value& translator);

}  // namespace htmlaux
