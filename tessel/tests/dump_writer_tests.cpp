#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "support.hpp"
#include "tessel/dump_writer.hpp"
#include "tessel/unicode.hpp"

namespace {

TEST(dump_writer, installing_twice_keeps_the_first_path) {
    test_support::temp_folder dir(L"dumps-twice");
    const std::string base = tessel::unicode::to_narrow(dir / L"UI", CP_ACP);
    ASSERT_TRUE(tessel::install_dump_writer(base));
    const std::string first = tessel::dump_writer_path();
    EXPECT_EQ(first.rfind(base + ".", 0), 0u);
    EXPECT_EQ(first.substr(first.size() - 4), ".dmp");
    const std::string seconds = first.substr(base.size() + 1, first.size() - base.size() - 5);
    EXPECT_NEAR(std::stoll(seconds), static_cast<long long>(std::time(nullptr)), 5);
    ::Sleep(1100);
    EXPECT_TRUE(tessel::install_dump_writer(base + "-other"));
    EXPECT_EQ(tessel::dump_writer_path(), first);
    tessel::uninstall_dump_writer();
    EXPECT_EQ(tessel::dump_writer_path(), "");
}

TEST(dump_writer, a_crash_writes_a_minidump) {
    test_support::temp_folder dir(L"dumps-crash");
    const DWORD code = test_support::run_process(test_support::self_path(), L"--crash \"" + (dir / L"UI") + L"\"");
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    int dumps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.rfind(L"UI.", 0) == 0 && name.size() > 7 && name.substr(name.size() - 4) == L".dmp") {
            ++dumps;
            const std::string bytes = test_support::read_file(entry.path().wstring());
            EXPECT_EQ(bytes.substr(0, 4), "MDMP");  // the minidump signature
        }
    }
    EXPECT_EQ(dumps, 1);
}

}  // namespace

// The filter that was there before the writer: the writer passes the crash
// on to it, and it ends the process quietly (no system debugger).
static LONG WINAPI end_quietly(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// The crashing child: installs the writer and dereferences a null pointer.
static int crash(const std::wstring& base) {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(end_quietly);
    if (!tessel::install_dump_writer(tessel::unicode::to_narrow(base, CP_ACP))) return 3;
    volatile int* nothing = nullptr;
    *nothing = 1;
    return 4;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"--crash") return crash(argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
