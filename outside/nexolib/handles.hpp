// What the library's handles are. Every handle handed out points to a
// handle_base; each keeps its last error and the last text it returned.
#pragma once

#include <string>
#include <vector>

#include "outside/nexolib/suite_data.hpp"
#include "outside/nexolib/translation_table.hpp"

namespace nexolib {

struct handle_base {
    virtual ~handle_base() = default;
    std::wstring error;
    std::wstring result;  // valid until the next call on the handle

    const wchar_t* give(std::wstring text) {
        result = std::move(text);
        return result.c_str();
    }
};

struct lib_state : handle_base {};

struct suite_state : handle_base {
    suite_data data;
    product prod;
};

struct localization_state : handle_base {
    std::wstring folder;
    translation_table table;
    std::vector<translation_table> listed;  // of the last NX_Supported_Languages
};

struct language_state : handle_base {
    std::wstring id, name, english_name;
};

struct update_state : handle_base {};

}  // namespace nexolib
