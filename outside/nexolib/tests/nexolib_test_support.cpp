#include "nexolib_test_support.hpp"

#include <winsock2.h>
#include <shlobj.h>

#include "support.hpp"

namespace nexolib_test {

std::wstring suite_file::path() {
    wchar_t common[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common);
    return std::wstring(common) + L"\\Orvena\\Tarnwick\\suite.xml";
}

suite_file::suite_file(const std::string& xml) {
    const std::wstring file = path();
    ::SHCreateDirectoryExW(nullptr, file.substr(0, file.rfind(L'\\')).c_str(), nullptr);
    had_file_ = ::MoveFileExW(file.c_str(), (file + L".kelvane-test").c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    if (!xml.empty()) test_support::write_file(file, xml);
}

suite_file::~suite_file() {
    const std::wstring file = path();
    ::DeleteFileW(file.c_str());
    if (had_file_) ::MoveFileExW((file + L".kelvane-test").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

http_server::http_server(std::map<std::string, std::string> files) : files_(std::move(files)) {
    WSADATA data{};
    ::WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(s, 8);
    int size = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    listener_ = static_cast<unsigned long long>(s);
    thread_ = std::thread([this] { serve(); });
}

http_server::~http_server() {
    ::closesocket(static_cast<SOCKET>(listener_));  // ends accept()
    if (thread_.joinable()) thread_.join();
    ::WSACleanup();
}

void http_server::serve() {
    for (;;) {
        const SOCKET client = ::accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        const std::size_t start = request.find(' ') + 1;
        const std::string target = request.substr(start, request.find(' ', start) - start);
        const auto found = files_.find(target);
        const std::string body = found == files_.end() ? "not here" : found->second;
        const std::string answer = std::string(found == files_.end() ? "HTTP/1.1 404 Not Found" : "HTTP/1.1 200 OK") +
                                   "\r\nContent-Length: " + std::to_string(body.size()) +
                                   "\r\nConnection: close\r\n\r\n" + body;
        ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }
}

}  // namespace nexolib_test
