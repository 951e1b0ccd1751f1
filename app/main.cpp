// Kelvane's entry point.
#include <windows.h>

#include "app/startup.hpp"
#include "tessel/log.hpp"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/, int /*show*/) {
    try {
        auto log = app::start_services(instance);
        app::prepare_crash_dumps();
        // The single-instance check, the command line and the main window
        // follow here.
        return 0;
    } catch (...) {
        const std::wstring text = tessel::describe_current_exception(L"");
        ::MessageBoxW(nullptr, text.c_str(), L"Error", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
}
