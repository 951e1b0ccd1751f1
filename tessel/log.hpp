// The log: a log object stamps each message with the local time and a
// level letter and hands it to its listeners; a file listener appends to a
// UTF-8 file shared by several processes; a proxy passes messages on to
// another log. One process-wide log receives everything written through the
// free functions below.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "tessel/exception.hpp"
#include "tessel/sync.hpp"

namespace tessel {

class log : public mutex {
public:
    enum level : int { info = 0, error = 3, current_exception = 5 };

    class listener {
    public:
        virtual ~listener() = default;
        // header and text are narrow; text is UTF-8.
        virtual void write(int level, const std::string& header, const std::string& text) = 0;
    };
    class file;
    class proxy;
    TESSEL_EXCEPTION(generic, tessel::exception, "log");

    log() = default;
    virtual ~log();
    log(const log&) = delete;
    log& operator=(const log&) = delete;

    // Takes ownership; goes after the listeners of equal minimum level.
    void add_listener(std::unique_ptr<listener> l, int min_level = 0);
    void write(int level, const std::wstring& message);
    void write(int level, const std::string& message);  // ANSI, else UTF-8
    void clear();

    // The process-wide log, created on first use. Hold global_lock() while
    // using it.
    static log& instance();
    static mutex& global_lock();

    static char level_letter(int level);
    static std::string header(int level, const SYSTEMTIME& time);

private:
    std::multimap<int, std::unique_ptr<listener>> listeners_;
};

// Appends "header text\r\n" lines to base + ".log.txt", rotating it into
// base + ".1.log.txt" when it reaches the size limit. The file stays open
// for the life of the listener; every write holds a cross-process lock.
class log::file : public listener {
public:
    explicit file(const std::string& base_path);   // ANSI path
    explicit file(const std::wstring& base_path);
    ~file() override;
    void write(int level, const std::string& header, const std::string& text) override;

    void set_size_limit(std::uint32_t bytes) { size_limit_ = bytes; }
    std::uint32_t size_limit() const { return size_limit_; }
    const std::wstring& path() const { return path_; }
    static std::wstring lock_name(const std::wstring& base_path);

private:
    bool rotate();
    std::wstring backup_path(std::uint32_t k) const;
    void write_mark();

    real_mutex lock_;
    std::wstring base_;
    std::uint32_t size_limit_ = 0x100000;
    std::uint32_t backups_ = 1;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
};

class log::proxy : public listener {
public:
    proxy(log& target, std::string prefix) : target_(target), prefix_(std::move(prefix)) {}
    void write(int level, const std::string& header, const std::string& text) override;

private:
    log& target_;
    std::string prefix_;
};

// The log that owns the program's file: "<name>.log.txt" in the folder
// "Logs" of the per-user (or common) product folder, connected to the
// process-wide log through a proxy that prefixes the process id.
class application_log : public log {
public:
    application_log(const std::wstring& name, bool use_common_folder);
    ~application_log() override;
    const std::wstring& file_path() const { return file_path_; }

private:
    std::wstring file_path_;
};

// Describes the exception being handled (call only inside a catch block).
std::wstring describe_current_exception(const std::wstring& prefix);

}  // namespace tessel

// Free functions: never throw, whatever happens to the log.
void log_info(const char* format, ...);
void log_info(const wchar_t* format, ...);
void log_error(const char* format, ...);
void log_error(const wchar_t* format, ...);
void log_write(int level, const std::string& message);
void log_write(int level, const std::wstring& message);
// Logs the exception being handled under a scope name (inside a catch block).
void log_exception(const char* prefix);
void log_exception(const wchar_t* prefix);
inline void log_exception(const std::string& prefix) { log_exception(prefix.c_str()); }
inline void log_exception(const std::wstring& prefix) { log_exception(prefix.c_str()); }
using tessel::describe_current_exception;
