// Reading a location, which is a local path or an http(s) URL (WinHTTP):
// whole into memory for catalogs, or into a file for packages, with
// progress, cancellation and the file's SHA-256 on the way.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace hexcore {

class fetch_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool is_url(const std::wstring& location);

// A package location relative to the catalog's own location (the folder
// of a catalog file, or the URL up to its last slash).
std::wstring resolve_location(const std::wstring& catalog_location, const std::wstring& location);

std::string read_all(const std::wstring& location);

struct download_result {
    bool cancelled = false;
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
};

// progress(received, total) returns false to abort (total 0 when
// unknown). A failed or aborted download leaves no file behind.
download_result download(const std::wstring& location, const std::wstring& target,
                         const std::function<bool(std::uint64_t, std::uint64_t)>& progress);

}  // namespace hexcore
