#include "outside/nexolib/tips_update.hpp"

#include <windows.h>
#include <shlobj.h>
#include <winhttp.h>

#include <thread>

#include "outside/nexolib/library_log.hpp"
#include "outside/nexolib/xml_file.hpp"
#include "tessel/format.hpp"
#include "tessel/system_message.hpp"

namespace nexolib {
namespace {

bool is_web_address(const std::wstring& from) {
    return from.rfind(L"https://", 0) == 0 || from.rfind(L"http://", 0) == 0;
}

[[noreturn]] void fail(const std::wstring& what, DWORD code) {
    throw error(tessel::format(L"%s failed (error %u: %s)", what.c_str(), static_cast<unsigned>(code),
                               tessel::system_message(code).c_str()));
}

class http_handle {
public:
    explicit http_handle(HINTERNET h) : h_(h) {}
    ~http_handle() {
        if (h_) ::WinHttpCloseHandle(h_);
    }
    http_handle(const http_handle&) = delete;
    http_handle& operator=(const http_handle&) = delete;
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

std::string download(const std::wstring& url) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[256] = {};
    std::wstring path_buffer(url.size() + 1, L'\0');
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = path_buffer.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path_buffer.size());
    if (!::WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) fail(L"Reading the address " + url, ::GetLastError());
    const std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);

    // The machine's own addresses never go through a proxy.
    const std::wstring host_name(host, parts.dwHostNameLength);
    const bool loopback = host_name == L"127.0.0.1" || host_name == L"localhost" || host_name == L"[::1]";
    const http_handle session(::WinHttpOpen(L"Nexolib/1.0",
                                            loopback ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) fail(L"WinHttpOpen", ::GetLastError());
    ::WinHttpSetTimeouts(session.get(), 10000, 10000, 30000, 30000);
    const http_handle connection(::WinHttpConnect(session.get(), host, parts.nPort, 0));
    if (!connection) fail(L"Connecting to " + url, ::GetLastError());
    const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    const http_handle request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                   WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
    if (!request) fail(L"Requesting " + url, ::GetLastError());
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr))
        fail(L"Downloading " + url, ::GetLastError());

    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        fail(L"Reading the answer of " + url, ::GetLastError());
    if (status != 200) throw error(tessel::format(L"Downloading %s: the server answered %u", url.c_str(), static_cast<unsigned>(status)));

    std::string body;
    for (;;) {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request.get(), &available)) fail(L"Downloading " + url, ::GetLastError());
        if (available == 0) break;
        const std::size_t at = body.size();
        body.resize(at + available);
        DWORD got = 0;
        if (!::WinHttpReadData(request.get(), body.data() + at, available, &got)) fail(L"Downloading " + url, ::GetLastError());
        body.resize(at + got);
    }
    return body;
}

// Written under a temporary name and moved over the old file, so that a
// reader sees either the old file or the whole new one.
void place(const std::wstring& folder, const std::wstring& file, const std::string& bytes) {
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    const std::wstring target = with_slash(folder) + file;
    const std::wstring temporary = tessel::format(L"%s.%u.%u.tmp", target.c_str(), static_cast<unsigned>(::GetCurrentProcessId()),
                                                  static_cast<unsigned>(::GetCurrentThreadId()));
    const HANDLE out = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) fail(L"Creating " + temporary, ::GetLastError());
    DWORD written = 0;
    const bool ok = bytes.empty() || (::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                      written == bytes.size());
    const DWORD code = ok ? 0 : ::GetLastError();
    const bool flushed = ok && ::FlushFileBuffers(out);
    ::CloseHandle(out);
    if (!ok || !flushed) {
        ::DeleteFileW(temporary.c_str());
        fail(L"Writing " + temporary, ok ? ::GetLastError() : code);
    }
    if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD move_code = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        fail(L"Moving " + temporary + L" to " + target, move_code);
    }
}

}  // namespace

std::vector<tip_source> tip_sources(const suite_data& suite) {
    std::vector<tip_source> sources;
    for (const product& p : suite.products)
        if (!p.tips.from.empty() && !p.tips.to.empty() && !p.tips.files.empty()) sources.push_back(p.tips);
    if (sources.empty()) throw error(L"the suite data names no tip files to update");
    return sources;
}

void update_tip_file(const tip_source& source, const std::wstring& file) {
    std::wstring from;
    std::string bytes;
    if (is_web_address(source.from)) {
        from = source.from + (source.from.back() == L'/' ? L"" : L"/") + file;
        bytes = download(from);
    } else {
        from = with_slash(source.from) + file;
        bytes = read_file_bytes(from);
    }
    place(source.to, file, bytes);
    log_line(0, L"Tips update: " + from + L" placed in " + source.to);
}

void start_tips_update(std::vector<tip_source> sources) {
    std::thread([sources = std::move(sources)] {
        for (const tip_source& source : sources) {
            for (const std::wstring& file : source.files) {
                try {
                    update_tip_file(source, file);
                } catch (const error& e) {
                    log_line(3, L"Tips update failed: " + e.text());
                } catch (const std::exception& e) {
                    log_line(3, L"Tips update failed: " + wide(e.what()));
                } catch (...) {
                    log_line(3, L"Tips update failed: unknown error");
                }
            }
        }
        log_line(0, L"Tips update finished");
    }).detach();
}

}  // namespace nexolib
