// The program's names and folders, computed once at start-up from its
// string resources and the locations Windows reports. Folder values end
// with a backslash; every accessor returns a copy.
#pragma once

#include <windows.h>

#include <string>

namespace tessel {

// String resource of a module; throws "resource string %d is not found".
std::wstring load_string(unsigned id, HINSTANCE instance);

namespace config {

inline constexpr unsigned company_name_id = 2001;
inline constexpr unsigned product_name_id = 2002;

// Loads the company and product names, then runs init.
void load_names(HINSTANCE instance);
// Computes the folders from the module's path and the shell's folders.
void init(HMODULE module);
// The computation itself, from the values the system reported; an empty
// user_appdata means the per-user folder could not be found.
void init_from(const std::wstring& module_path, const std::wstring& common_appdata,
               const std::wstring& user_appdata);
void set_names(const std::wstring& company, const std::wstring& product);

std::wstring company_name();
std::wstring product_name();
std::wstring program_folder();
std::wstring program_file_name();
std::wstring common_product_folder();
std::wstring user_product_folder();

// CSIDL_COMMON_APPDATA followed by "\", asked for again at each call.
std::wstring common_appdata_folder();

}  // namespace config
}  // namespace tessel
