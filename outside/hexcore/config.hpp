// The engine's configuration, read from hexcore.xml beside the library at
// every hxEngineInit. Without the file: live inventory, the catalog
// catalog\catalog.xml beside the library, a cache under the all-users data
// folder and system restore points.
#pragma once

#include <string>

namespace hexcore {

struct config {
    enum class inventory_source { live, file };
    enum class restore_mode { system, journal };

    inventory_source inventory = inventory_source::live;
    std::wstring profile;   // the device profile of the file inventory
    std::wstring catalog;   // a path or an http(s) URL
    std::wstring cache;     // download cache, last scan results
    restore_mode restore = restore_mode::system;
    std::wstring journal;   // where journal restore points go
};

// engine_folder ends with a backslash. Throws data_error for a malformed
// or incomplete file.
config read_config(const std::wstring& engine_folder);

// A relative path taken from folder (URLs and absolute paths unchanged),
// environment variables expanded.
std::wstring resolve_path(const std::wstring& folder, const std::wstring& path);

}  // namespace hexcore
