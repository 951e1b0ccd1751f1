#include "outside/hexcore/package_check.hpp"

#include <windows.h>
#include <setupapi.h>

#include <filesystem>

#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

struct extraction {
    std::wstring folder;
    std::wstring inf;
    std::wstring bad_name;
};

UINT CALLBACK on_cabinet_file(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    auto* x = static_cast<extraction*>(context);
    switch (notification) {
    case SPFILENOTIFY_FILEINCABINET: {
        auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_W*>(param1);
        const std::wstring name = info->NameInCabinet;
        // Only plain names: a path in the cabinet must not reach outside the folder.
        if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos || name == L"." || name == L"..") {
            x->bad_name = name;
            return FILEOP_SKIP;
        }
        const std::wstring target = x->folder + name;
        if (target.size() >= MAX_PATH) return FILEOP_SKIP;
        ::lstrcpyW(info->FullTargetName, target.c_str());
        if (name.size() > 4 && ::lstrcmpiW(name.c_str() + name.size() - 4, L".inf") == 0 && x->inf.empty())
            x->inf = target;
        return FILEOP_DOIT;
    }
    case SPFILENOTIFY_NEEDNEWCABINET: return ERROR_FILE_NOT_FOUND;
    default: return NO_ERROR;
    }
}

}  // namespace

std::wstring extract_package(const std::wstring& cabinet, const std::wstring& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    extraction x;
    x.folder = folder;
    if (x.folder.back() != L'\\') x.folder += L'\\';
    if (!::SetupIterateCabinetW(cabinet.c_str(), 0, on_cabinet_file, &x))
        throw package_error("the package is not a readable cabinet: " + system_text(::GetLastError()));
    if (!x.bad_name.empty()) throw package_error("the package holds a file with a path: " + utf8(x.bad_name));
    if (x.inf.empty() || ::GetFileAttributesW(x.inf.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw package_error("the package holds no INF file");
    return x.inf;
}

version inf_driver_version(const std::wstring& inf) {
    HINF handle = ::SetupOpenInfFileW(inf.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw package_error("the package's INF cannot be read: " + system_text(::GetLastError()));
    INFCONTEXT line{};
    wchar_t text[128] = {};
    const bool found = ::SetupFindFirstLineW(handle, L"Version", L"DriverVer", &line) &&
                       ::SetupGetStringFieldW(&line, 2, text, 128, nullptr);
    ::SetupCloseInfFile(handle);
    version v;
    if (!found || !parse_version(text, v)) throw package_error("the package's INF declares no DriverVer version");
    return v;
}

void remove_tree(const std::wstring& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace hexcore
