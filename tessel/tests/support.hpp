// Helpers for the tests of tessel and the modules above it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tessel/log.hpp"

namespace test_support {

// A fresh, empty folder under the temporary folder, removed by the destructor.
class temp_folder {
public:
    explicit temp_folder(const std::wstring& name);
    ~temp_folder();
    const std::wstring& path() const { return path_; }  // ends with "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

std::string read_file(const std::wstring& path);
void write_file(const std::wstring& path, const std::string& bytes);
bool file_exists(const std::wstring& path);

// This test program's own path.
std::wstring self_path();
// Runs a program with a command line and waits for it; returns its exit code.
DWORD run_process(const std::wstring& program, const std::wstring& arguments, DWORD timeout_ms = 120000);
// Starts a program without waiting; the caller waits on and closes the handle.
HANDLE start_process(const std::wstring& program, const std::wstring& arguments);

// Lines of a text, split at CR LF.
std::vector<std::string> lines(const std::string& text);

// Collects what reaches the process-wide log while it lives.
class log_capture {
public:
    log_capture();
    ~log_capture();
    std::vector<std::string> texts() const;    // message texts (UTF-8)
    std::vector<std::string> headers() const;
    std::vector<int> levels() const;
    bool contains(const std::string& text) const;

private:
    struct sink;
    sink* sink_;
};

}  // namespace test_support
