#include <gtest/gtest.h>

#include <windows.h>

#include <regex>

#include "app/startup.hpp"
#include "support.hpp"
#include "tessel/config.hpp"
#include "tessel/unicode.hpp"

#include <algorithm>

namespace {

std::wstring kelvane_exe() {
    std::wstring folder = test_support::self_path();
    folder.erase(folder.rfind(L'\\') + 1);
    return folder + KELVANE_EXE_FROM_TESTS;
}

const std::regex line_format(R"(^\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2} ([#!])  \[(\d+)\] (.*)$)");

TEST(startup, the_program_writes_its_ui_log_and_prepares_dumps) {
    tessel::config::set_names(L"Orvena", L"Tamsin");
    tessel::config::init(nullptr);
    const std::wstring logs = tessel::config::user_product_folder() + L"Logs\\";
    const std::wstring dumps = tessel::config::user_product_folder() + L"Dumps";

    HANDLE process = test_support::start_process(kelvane_exe(), L"");
    ASSERT_NE(process, nullptr);
    ASSERT_EQ(::WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(process, &code);
    const DWORD pid = ::GetProcessId(process);
    ::CloseHandle(process);
    EXPECT_EQ(code, 0u);

    const std::string text = test_support::read_file(logs + L"UI.log.txt");
    ASSERT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
    std::vector<std::string> mine;
    for (const auto& line : test_support::lines(text.substr(3))) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, line_format)) << line;
        if (std::stoul(m[2]) == pid) mine.push_back(m[3]);
    }
    ASSERT_FALSE(mine.empty());
    EXPECT_NE(std::find(mine.begin(), mine.end(), "Dumps path: " + tessel::unicode::to_utf8(dumps)), mine.end());
    EXPECT_TRUE(test_support::file_exists(dumps));
}

TEST(startup, a_dumps_folder_that_cannot_be_made_is_logged_and_not_fatal) {
    test_support::temp_folder dir(L"startup-dumps");
    // The per-user folder lies under a file, so no folder can be made in it.
    test_support::write_file(dir / L"blocker", "x");
    tessel::config::set_names(L"Orvena", L"Tamsin");
    tessel::config::init_from(L"C:\\Apps\\Kelvane.exe", L"C:\\ProgramData", dir / L"blocker");
    const std::wstring dumps = tessel::config::user_product_folder() + L"Dumps";

    test_support::log_capture capture;
    EXPECT_FALSE(app::prepare_crash_dumps());
    const auto texts = capture.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Can't create dumps folder " + tessel::unicode::to_utf8(dumps) + ".");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(texts[1], m, std::regex(R"(^Error: (\d+) (.+)$)"))) << texts[1];
    EXPECT_EQ(std::stoi(m[1]), ERROR_PATH_NOT_FOUND);
    for (int level : capture.levels()) EXPECT_EQ(level, 3);
}

}  // namespace
