// The engine's own log: base path + ".log", one line per event with the
// local time. Writes never throw.
#pragma once

#include <mutex>
#include <string>

namespace hexcore {

class engine_log {
public:
    ~engine_log();
    void open(const std::wstring& base_path);
    void write(const std::string& line);  // UTF-8

private:
    std::mutex lock_;
    void* file_ = nullptr;
};

}  // namespace hexcore
