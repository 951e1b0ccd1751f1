#include "tessel/dump_writer.hpp"

#include <windows.h>
#include <dbghelp.h>

#include <cstdlib>
#include <ctime>

#include "tessel/format.hpp"

namespace tessel {
namespace {

using write_dump_fn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                    PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

struct dump_state {
    HMODULE dbghelp = nullptr;
    write_dump_fn write_dump = nullptr;
    std::string path;
    MINIDUMP_TYPE type = MiniDumpNormal;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
    bool at_exit_registered = false;
};

dump_state state;

LONG WINAPI dump_filter(EXCEPTION_POINTERS* pointers) {
    if (state.write_dump) {
        HANDLE file = ::CreateFileA(state.path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            MINIDUMP_EXCEPTION_INFORMATION info{::GetCurrentThreadId(), pointers, FALSE};
            state.write_dump(::GetCurrentProcess(), ::GetCurrentProcessId(), file, state.type, &info, nullptr,
                             nullptr);
            ::CloseHandle(file);
        }
    }
    return state.previous ? state.previous(pointers) : EXCEPTION_CONTINUE_SEARCH;
}

// dbghelp comes from the system folder only, never from beside the program.
HMODULE load_dbghelp() {
    char folder[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return ::LoadLibraryA((std::string(folder, n) + "\\dbghelp.dll").c_str());
}

}  // namespace

bool install_dump_writer(const std::string& base_path) {
    if (state.dbghelp) return state.write_dump != nullptr;
    state.dbghelp = load_dbghelp();
    if (!state.dbghelp) return false;
    state.write_dump = reinterpret_cast<write_dump_fn>(
        reinterpret_cast<void*>(::GetProcAddress(state.dbghelp, "MiniDumpWriteDump")));
    if (!state.write_dump) return false;
    state.path = format("%s.%i.dmp", base_path.c_str(), static_cast<int>(std::time(nullptr)));
    state.type = MiniDumpNormal;
    state.previous = ::SetUnhandledExceptionFilter(dump_filter);
    if (!state.at_exit_registered) {
        state.at_exit_registered = true;
        std::atexit(uninstall_dump_writer);
    }
    return true;
}

void uninstall_dump_writer() {
    if (!state.dbghelp) return;
    if (state.write_dump) ::SetUnhandledExceptionFilter(state.previous);
    ::FreeLibrary(state.dbghelp);
    const bool registered = state.at_exit_registered;
    state = dump_state{};
    state.at_exit_registered = registered;
}

std::string dump_writer_path() { return state.write_dump ? state.path : std::string(); }

}  // namespace tessel
