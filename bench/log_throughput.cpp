// Log throughput: lines per second written through log_info into one file,
// by one process and by two processes sharing the file.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "tessel/log.hpp"

namespace {

constexpr int lines_per_writer = 20000;

// The program's arrangement: an owning log with the file, reached from the
// process-wide log through a "[pid] " proxy.
struct file_log {
    tessel::log owner;
    explicit file_log(const std::wstring& base) {
        owner.add_listener(std::make_unique<tessel::log::file>(base));
        tessel::scope guard(tessel::log::global_lock());
        tessel::log::instance().add_listener(std::make_unique<tessel::log::proxy>(
            owner, "[" + std::to_string(::GetCurrentProcessId()) + "] "));
    }
    ~file_log() {
        tessel::scope guard(tessel::log::global_lock());
        tessel::log::instance().clear();
    }
};

void write_lines(const std::wstring& base) {
    file_log log(base);
    for (int i = 0; i < lines_per_writer; ++i)
        log_info("benchmark line %d with a typical amount of text after it, as the program writes", i);
}

double seconds_since(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

HANDLE start_writer(const std::wstring& base) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --writer \"" + base + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"--writer") {
        write_lines(argv[2]);
        return 0;
    }
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kelvane-bench-log\\";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    LARGE_INTEGER start;
    ::QueryPerformanceCounter(&start);
    write_lines(folder + L"one");
    const double one = seconds_since(start);

    ::QueryPerformanceCounter(&start);
    HANDLE a = start_writer(folder + L"two");
    HANDLE b = start_writer(folder + L"two");
    if (!a || !b) {
        std::printf("log_two_processes: failed to start the writers\n");
        return 1;
    }
    ::WaitForSingleObject(a, INFINITE);
    ::WaitForSingleObject(b, INFINITE);
    const double two = seconds_since(start);
    ::CloseHandle(a);
    ::CloseHandle(b);

    std::printf("log_one_process: %.0f lines/s\n", lines_per_writer / one);
    std::printf("log_two_processes: %.0f lines/s\n", 2 * lines_per_writer / two);
    std::printf("log_two_processes_vs_one: %.2f ratio\n", (2 * lines_per_writer / two) / (lines_per_writer / one));
    std::filesystem::remove_all(folder);
    return 0;
}
