// hexcoreinstall.exe: installs a driver package's INF on the devices with a
// hardware id, for a 32-bit engine on 64-bit Windows (which cannot). Exits
// with 0 or the system's error code.
#include <windows.h>
#include <newdev.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return ERROR_INVALID_PARAMETER;
    BOOL reboot = FALSE;
    if (!::UpdateDriverForPlugAndPlayDevicesW(nullptr, argv[2], argv[1], INSTALLFLAG_FORCE, &reboot))
        return static_cast<int>(::GetLastError());
    return 0;
}
