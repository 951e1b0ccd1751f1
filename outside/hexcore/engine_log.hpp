// The engine's own log: base path + ".log", one line per event with the
// local time. The file is opened for each line and closed again, so the
// engine never holds it. Writes never throw.
#pragma once

#include <mutex>
#include <string>

namespace hexcore {

class engine_log {
public:
    void open(const std::wstring& base_path);
    void write(const std::string& line);  // UTF-8

private:
    std::mutex lock_;
    std::wstring path_;
};

}  // namespace hexcore
