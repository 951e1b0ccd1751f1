// The program's side of the suite client library (Nexolib.dll): handles
// held by shared owners that close them with NX_Close_Handle, and calls that
// copy the library's texts at once and throw tessel::exception_w on failure.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bindings/nexolib.h"

namespace nx {

using lib_handle = std::shared_ptr<NX_Lib_Handle_>;
using suite_handle = std::shared_ptr<NX_Suite_Handle_>;
using localization_handle = std::shared_ptr<NX_Localization_Handle_>;
using language_handle = std::shared_ptr<NX_Language_Handle_>;
using update_handle = std::shared_ptr<NX_Update_Handle_>;

// The last error text of any handle.
std::wstring last_error(void* handle);

// "Failed to initialize suite client library".
lib_handle open_lib();
// "Failed to load suite data: %s".
suite_handle open_suite(const lib_handle& lib, const std::wstring& product_name);

// Each throws the suite handle's error text when there is one.
std::wstring user_id(const suite_handle& suite);
std::wstring user_name(const suite_handle& suite);
std::wstring user_site(const suite_handle& suite);
std::wstring language(const suite_handle& suite);
std::wstring product_version(const suite_handle& suite);
std::wstring partner_id(const suite_handle& suite);
std::wstring suite_launcher_path(const suite_handle& suite);
std::wstring account_url(const suite_handle& suite, const std::wstring& page_name);

// "Failed to load localization: %s".
localization_handle open_localization(const lib_handle& lib, const std::wstring& language_id,
                                      const std::wstring& folder);
// The library's result is not looked at.
void load_translations(const localization_handle& localization, const std::wstring& language_id);
// An empty text with an error throws; an empty text alone is the phrase.
std::wstring phrase(const localization_handle& localization, const std::wstring& key);

struct language_info {
    std::wstring id, name, english_name;
};
std::vector<language_info> supported_languages(const localization_handle& localization);

// "Failed to initialize update handle".
update_handle open_update(const lib_handle& lib);
// Throws the handle's error when the download could not be started.
void start_update(const update_handle& update);

}  // namespace nx
