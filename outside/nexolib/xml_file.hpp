// Reading one XML file of the library, with errors that name the file and,
// for malformed XML, the line.
#pragma once

#include <pugixml.hpp>

#include <stdexcept>
#include <string>

namespace nexolib {

// An error whose text is meant for NX_Last_Error_Description.
class error : public std::runtime_error {
public:
    explicit error(const std::wstring& text);
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

// The whole file, opened without sharing restrictions; throws error
// "<path>: <reason>".
std::string read_file_bytes(const std::wstring& path);

// Loads path into doc; throws error "<path>: <reason>".
void load_xml(const std::wstring& path, pugi::xml_document& doc);

// Replaces %NAME% by the environment's value.
std::wstring expand(const std::wstring& text);

std::wstring wide(const char* utf8);

// Folder with a trailing backslash.
std::wstring with_slash(std::wstring folder);

}  // namespace nexolib
