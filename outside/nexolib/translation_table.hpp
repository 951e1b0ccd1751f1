// Translation tables: one XML file per language, <id>.xml in the languages
// folder, holding the language id, its native and English names and one
// phrase per key.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace nexolib {

struct translation_table {
    std::wstring id, name, english_name, path;
    std::map<std::wstring, std::wstring> phrases;
};

// Throws error with the file (and the line, for malformed XML).
translation_table read_translation_table(const std::wstring& path);

// The table of a language in a folder: <folder>\<id>.xml.
std::wstring table_path(const std::wstring& folder, const std::wstring& language_id);

// Every table of the folder (its *.xml files, by file name).
std::vector<translation_table> read_all_tables(const std::wstring& folder);

}  // namespace nexolib
