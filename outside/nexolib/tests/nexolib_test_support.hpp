// Shared by the library's tests: suite data put in place for a test, and a
// small HTTP server on 127.0.0.1.
#pragma once

#include <map>
#include <string>
#include <thread>

namespace nexolib_test {

// suite.xml in the suite data folder for the life of the object; whatever
// was there is kept aside and put back.
class suite_file {
public:
    explicit suite_file(const std::string& xml);
    ~suite_file();
    suite_file(const suite_file&) = delete;
    suite_file& operator=(const suite_file&) = delete;
    static std::wstring path();

private:
    bool had_file_ = false;
};

// Serves GET requests for the given paths ("/tips/a.xml"); any other path
// gets 404. Listens on an ephemeral port of 127.0.0.1.
class http_server {
public:
    explicit http_server(std::map<std::string, std::string> files);
    ~http_server();
    http_server(const http_server&) = delete;
    http_server& operator=(const http_server&) = delete;
    unsigned short port() const { return port_; }

private:
    void serve();

    std::map<std::string, std::string> files_;
    unsigned long long listener_ = ~0ull;
    unsigned short port_ = 0;
    std::thread thread_;
};

// Waits until the predicate holds, for up to timeout_ms.
template <class P>
bool eventually(P predicate, int timeout_ms = 20000);

}  // namespace nexolib_test

#include <windows.h>

template <class P>
bool nexolib_test::eventually(P predicate, int timeout_ms) {
    for (int waited = 0; waited < timeout_ms; waited += 50) {
        if (predicate()) return true;
        ::Sleep(50);
    }
    return predicate();
}
