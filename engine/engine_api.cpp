#include "engine/engine_api.hpp"

#include <mutex>
#include <optional>
#include <vector>

#include "tessel/exception.hpp"
#include "tessel/system_message.hpp"

namespace hx {
namespace {

std::mutex binding_lock;
const engine_api* injected = nullptr;
std::optional<engine_api> bound;

std::wstring program_folder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) throw tessel::exception_w(L"Unable to find the program's own folder: %s",
                                              tessel::system_message(::GetLastError()).c_str());
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            return path.substr(0, path.find_last_of(L'\\') + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

engine_api bind_engine_library(const std::wstring& path) {
    // A full path with the altered search order: the library's own
    // dependencies are looked up beside it, and no other copy of it is taken.
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        const DWORD error = ::GetLastError();
        throw tessel::exception_w(L"Unable to load %s: %s", path.c_str(), tessel::system_message(error).c_str());
    }
    engine_api table;
    auto resolve = [&](const char* name) {
        FARPROC proc = ::GetProcAddress(module, name);
        if (!proc) {
            const DWORD error = ::GetLastError();
            ::FreeLibrary(module);
            throw tessel::exception_w(L"%s does not provide the function %S: %s", path.c_str(), name,
                                      tessel::system_message(error).c_str());
        }
        return reinterpret_cast<void*>(proc);
    };
#define HX_RESOLVE(name, args) table.name = reinterpret_cast<name##_fn>(resolve(#name));
    HX_FUNCTIONS(HX_RESOLVE)
#undef HX_RESOLVE
    return table;
}

const engine_api& api() {
    std::lock_guard<std::mutex> guard(binding_lock);
    if (injected) return *injected;
    if (!bound) bound = bind_engine_library(program_folder() + engine_library_name);
    return *bound;
}

void use_engine_api(const engine_api* table) {
    std::lock_guard<std::mutex> guard(binding_lock);
    injected = table;
}

}  // namespace hx
