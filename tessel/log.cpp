#include "tessel/log.hpp"

#include "tessel/format.hpp"
#include "tessel/unicode.hpp"

namespace tessel {
namespace {

log* process_log = nullptr;

}  // namespace

mutex& log::global_lock() {
    static mutex* lock = new mutex;  // never destroyed: logging may happen during exit
    return *lock;
}

log& log::instance() {
    scope guard(global_lock());
    if (!process_log) process_log = new log;
    return *process_log;
}

void release_process_log() {
    scope guard(log::global_lock());
    if (process_log) {
        process_log->clear();
        delete process_log;
        process_log = nullptr;
    }
}

log::~log() {
    try {
        clear();
    } catch (...) {
    }
}

char log::level_letter(int level) {
    static const char letters[6] = {'#', ' ', '+', '!', '>', '@'};
    return level >= 0 && level < 6 ? letters[level] : '?';
}

std::string log::header(int level, const SYSTEMTIME& t) {
    return format("%.4d/%.2d/%.2d %.2d:%.2d:%.2d %c  ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond, level_letter(level));
}

void log::add_listener(std::unique_ptr<listener> l, int min_level) {
    scope guard(*this);
    listeners_.emplace(min_level, std::move(l));  // after the equal keys
}

void log::clear() {
    scope guard(*this);
    listeners_.clear();
}

void log::write(int level, const std::string& message) {
    std::wstring wide;
    try {
        wide = unicode::to_wide(message, CP_ACP);
    } catch (const unicode::generic&) {
        try {
            wide = unicode::to_wide(message, CP_UTF8);
        } catch (const unicode::generic&) {
            wide = L"tessel::log: unable to convert input to unicode";
        }
    }
    write(level, wide);
}

void log::write(int level, const std::wstring& message) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::string head = header(level, now);

    std::wstring text = message;
    if (level == current_exception) {
        text = describe_current_exception(message);
        level = error;
    }

    scope guard(*this);
    if (listeners_.empty()) return;
    const std::string utf8 = unicode::to_utf8(text);
    // Listeners whose minimum level is not above the message's, newest first.
    auto end = listeners_.upper_bound(level);
    for (auto it = std::make_reverse_iterator(end); it != listeners_.rend(); ++it) it->second->write(level, head, utf8);
}

void log::proxy::write(int level, const std::string& /*header*/, const std::string& text) {
    target_.write(level, unicode::from_utf8(prefix_ + text));
}

}  // namespace tessel
