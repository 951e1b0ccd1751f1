#include "support.hpp"

#include <filesystem>
#include <mutex>

namespace test_support {

temp_folder::temp_folder(const std::wstring& name) {
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"kelvane-tests\\" + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_);
}

temp_folder::~temp_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    ::CloseHandle(h);
    return bytes;
}

void write_file(const std::wstring& path, const std::string& bytes) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
}

bool file_exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring self_path() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

HANDLE start_process(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

DWORD run_process(const std::wstring& program, const std::wstring& arguments, DWORD timeout_ms) {
    HANDLE process = start_process(program, arguments);
    if (!process) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFE;
    if (::WaitForSingleObject(process, timeout_ms) == WAIT_OBJECT_0) ::GetExitCodeProcess(process, &code);
    else ::TerminateProcess(process, code);
    ::CloseHandle(process);
    return code;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < text.size()) out.push_back(text.substr(start));
            return out;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

struct log_capture::sink : tessel::log::listener {
    mutable std::mutex lock;
    std::vector<std::string> headers, texts;
    std::vector<int> levels;
    void write(int level, const std::string& header, const std::string& text) override {
        std::lock_guard<std::mutex> guard(lock);
        levels.push_back(level);
        headers.push_back(header);
        texts.push_back(text);
    }
};

log_capture::log_capture() {
    auto owned = std::make_unique<sink>();
    sink_ = owned.get();
    tessel::scope guard(tessel::log::global_lock());
    tessel::log::instance().clear();
    tessel::log::instance().add_listener(std::move(owned));
}

log_capture::~log_capture() {
    tessel::scope guard(tessel::log::global_lock());
    tessel::log::instance().clear();
}

std::vector<std::string> log_capture::texts() const {
    std::lock_guard<std::mutex> guard(sink_->lock);
    return sink_->texts;
}

std::vector<std::string> log_capture::headers() const {
    std::lock_guard<std::mutex> guard(sink_->lock);
    return sink_->headers;
}

std::vector<int> log_capture::levels() const {
    std::lock_guard<std::mutex> guard(sink_->lock);
    return sink_->levels;
}

bool log_capture::contains(const std::string& text) const {
    for (const auto& t : texts())
        if (t == text) return true;
    return false;
}

}  // namespace test_support
