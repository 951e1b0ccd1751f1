#include "outside/hexcore/fetch.hpp"

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <vector>

#include "outside/hexcore/sha256.hpp"
#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

// One readable source: a file or an HTTP response body.
class source {
public:
    virtual ~source() = default;
    virtual std::uint64_t total() const = 0;  // 0 when unknown
    // Bytes read, 0 at the end; throws fetch_error.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

class file_source : public source {
public:
    explicit file_source(const std::wstring& path) : path_(path) {
        handle_ = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            throw fetch_error("Unable to open " + utf8(path) + ": " + system_text(::GetLastError()));
        LARGE_INTEGER size{};
        ::GetFileSizeEx(handle_, &size);
        total_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    ~file_source() override { ::CloseHandle(handle_); }
    std::uint64_t total() const override { return total_; }
    std::size_t read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        if (!::ReadFile(handle_, buffer, static_cast<DWORD>(size), &got, nullptr))
            throw fetch_error("Unable to read " + utf8(path_) + ": " + system_text(::GetLastError()));
        return got;
    }

private:
    std::wstring path_;
    HANDLE handle_;
    std::uint64_t total_ = 0;
};

struct internet_handle {
    HINTERNET h = nullptr;
    ~internet_handle() {
        if (h) ::WinHttpCloseHandle(h);
    }
};

class http_source : public source {
public:
    explicit http_source(const std::wstring& url) : url_(url) {
        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        wchar_t host[256] = {}, path[4096] = {};
        parts.lpszHostName = host;
        parts.dwHostNameLength = 256;
        parts.lpszUrlPath = path;
        parts.dwUrlPathLength = 4096;
        if (!::WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) fail("is not a valid URL");
        session_.h = ::WinHttpOpen(L"Hexcore/1.0", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0);
        if (!session_.h) fail("cannot be opened");
        ::WinHttpSetTimeouts(session_.h, 10000, 10000, 30000, 30000);
        connection_.h = ::WinHttpConnect(session_.h, host, parts.nPort, 0);
        if (!connection_.h) fail("cannot be reached");
        const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
        request_.h = ::WinHttpOpenRequest(connection_.h, L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                          WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
        if (!request_.h) fail("cannot be requested");
        if (!::WinHttpSendRequest(request_.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
            !::WinHttpReceiveResponse(request_.h, nullptr))
            fail("did not answer");
        DWORD status = 0, size = sizeof status;
        ::WinHttpQueryHeaders(request_.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                              WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        if (status != 200)
            throw fetch_error("The server answered " + std::to_string(status) + " for " + utf8(url));
        wchar_t length[32] = {};
        DWORD length_size = sizeof length;
        if (::WinHttpQueryHeaders(request_.h, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, length,
                                  &length_size, WINHTTP_NO_HEADER_INDEX))
            total_ = std::wcstoull(length, nullptr, 10);
    }
    std::uint64_t total() const override { return total_; }
    std::size_t read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        if (!::WinHttpReadData(request_.h, buffer, static_cast<DWORD>(size), &got)) fail("broke off");
        return got;
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw fetch_error(utf8(url_) + " " + what + ": " + system_text(::GetLastError()));
    }

    std::wstring url_;
    internet_handle session_, connection_, request_;
    std::uint64_t total_ = 0;
};

std::unique_ptr<source> open(const std::wstring& location) {
    if (is_url(location)) return std::make_unique<http_source>(location);
    return std::make_unique<file_source>(location);
}

}  // namespace

bool is_url(const std::wstring& location) {
    return ::_wcsnicmp(location.c_str(), L"http://", 7) == 0 || ::_wcsnicmp(location.c_str(), L"https://", 8) == 0;
}

std::wstring resolve_location(const std::wstring& catalog_location, const std::wstring& location) {
    const bool absolute = is_url(location) || (location.size() >= 2 && location[1] == L':') ||
                          location.starts_with(L"\\\\") || location.starts_with(L"/") ||
                          location.starts_with(L"\\");
    if (absolute) return location;
    std::wstring relative = location;
    if (is_url(catalog_location)) {
        for (wchar_t& c : relative)
            if (c == L'\\') c = L'/';
        return catalog_location.substr(0, catalog_location.find_last_of(L'/') + 1) + relative;
    }
    for (wchar_t& c : relative)
        if (c == L'/') c = L'\\';
    return catalog_location.substr(0, catalog_location.find_last_of(L"\\/") + 1) + relative;
}

std::string read_all(const std::wstring& location) {
    const std::unique_ptr<source> s = open(location);
    // Straight into the result when the size is known (catalogs run to tens
    // of megabytes), then whatever comes beyond it.
    std::string bytes(static_cast<std::size_t>(s->total()), '\0');
    std::size_t used = 0;
    while (used < bytes.size()) {
        const std::size_t got = s->read(bytes.data() + used, bytes.size() - used);
        if (got == 0) break;
        used += got;
    }
    bytes.resize(used);
    std::vector<char> chunk(1 << 16);
    while (const std::size_t got = s->read(chunk.data(), chunk.size())) bytes.append(chunk.data(), got);
    return bytes;
}

download_result download(const std::wstring& location, const std::wstring& target,
                         const std::function<bool(std::uint64_t, std::uint64_t)>& progress) {
    download_result result;
    HANDLE out = INVALID_HANDLE_VALUE;
    const auto discard = [&] {
        if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
        out = INVALID_HANDLE_VALUE;
        ::DeleteFileW(target.c_str());
    };
    try {
        const std::unique_ptr<source> s = open(location);
        out = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            throw fetch_error("Unable to create " + utf8(target) + ": " + system_text(::GetLastError()));
        sha256 hash;
        std::vector<char> buffer(1 << 16);
        if (!progress(0, s->total())) {
            discard();
            result.cancelled = true;
            return result;
        }
        while (const std::size_t got = s->read(buffer.data(), buffer.size())) {
            DWORD written = 0;
            if (!::WriteFile(out, buffer.data(), static_cast<DWORD>(got), &written, nullptr) || written != got)
                throw fetch_error("Unable to write " + utf8(target) + ": " + system_text(::GetLastError()));
            hash.add(buffer.data(), got);
            result.size += got;
            if (!progress(result.size, s->total())) {
                discard();
                result.cancelled = true;
                return result;
            }
        }
        ::CloseHandle(out);
        out = INVALID_HANDLE_VALUE;
        result.sha256 = hash.hex();
        return result;
    } catch (...) {
        discard();
        throw;
    }
}

}  // namespace hexcore
