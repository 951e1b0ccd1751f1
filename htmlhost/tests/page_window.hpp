// A window holding one page of the engine, for the wrapper's tests.
#pragma once

#include <windows.h>

#include <string>

#include "htmlhost/dom_element.hpp"

namespace htmlhost_tests {

class page_window {
public:
    explicit page_window(const std::string& html);
    ~page_window();
    kvhtml::dom::element root() const;
    void pump() const;  // delivers posted events
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace htmlhost_tests
