// The driver engine's functions as one table, bound from hexcoreengine.dll
// in the program's own folder on first use. Tests put a table of their own
// in its place.
#pragma once

#include <string>

#include "bindings/hexcore.h"

namespace hx {

struct engine_api {
#define HX_API_MEMBER(name, args) name##_fn name = nullptr;
    HX_FUNCTIONS(HX_API_MEMBER)
#undef HX_API_MEMBER
};

inline constexpr const wchar_t* engine_library_name = L"hexcoreengine.dll";

// Loads the library from exactly this path (no search-path lookup) and
// resolves every function. Throws tessel::exception_w naming the file or the
// function and the system's reason. The library stays loaded.
engine_api bind_engine_library(const std::wstring& path);

// The table in use: the injected one, else the library beside the program,
// bound at the first call.
const engine_api& api();

// Replaces the table (null: back to the library). For tests.
void use_engine_api(const engine_api* table);

}  // namespace hx
