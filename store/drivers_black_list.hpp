// Drivers the program must never offer: the file
// <common application data>\<company>\<product>\Blacklist\Ignore.xml, read
// once. Each /ignore/item holds one driver key; entries match driver keys
// exactly (case-sensitive, whole text).
#pragma once

#include <ostream>
#include <string>
#include <vector>

class drivers_black_list {
public:
    // Throws when the common application data folder cannot be found.
    drivers_black_list();
    explicit drivers_black_list(std::wstring path);  // loads that file

    void load();
    std::vector<std::wstring> keys() const { return entries_; }
    std::wostream& dump(std::wostream& out) const;

    const std::wstring& path() const { return path_; }
    static std::wstring default_path();

private:
    std::wstring path_;
    std::vector<std::wstring> entries_;
};
