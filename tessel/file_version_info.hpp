// Reads a module's version resource: the fixed file information and the
// strings of its first translation.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessel {

class FileVersionInfo {
public:
    struct translation {
        WORD language;
        WORD code_page;
    };

    bool open(HMODULE module);
    bool open(const std::wstring& path);
    std::wstring query_string(const std::wstring& name) const;
    // The sub-block path of a string value for the selected translation.
    std::wstring string_path(const std::wstring& name) const;

    bool valid() const { return valid_; }
    const VS_FIXEDFILEINFO& fixed() const { return fixed_; }
    const std::vector<translation>& translations() const { return translations_; }
    void select(std::size_t index) { selected_ = index; }

private:
    void reset();

    std::vector<unsigned char> block_;
    VS_FIXEDFILEINFO fixed_{};
    bool valid_ = false;
    std::vector<translation> translations_;
    std::size_t selected_ = 0;
};

}  // namespace tessel
