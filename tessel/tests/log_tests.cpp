#include <gtest/gtest.h>

#include <comdef.h>

#include <regex>
#include <stdexcept>
#include <string>

#include "support.hpp"
#include "tessel/log.hpp"
#include "tessel/unicode.hpp"

using test_support::lines;
using test_support::read_file;

namespace {

const std::string bom = "\xEF\xBB\xBF";

// One line of the log: time, letter, two blanks, "[pid] ", message.
const std::regex line_format(R"(^(\d{4})/(\d{2})/(\d{2}) (\d{2}):(\d{2}):(\d{2}) ([#!@ +>])  \[(\d+)\] (.*)$)");

// The program's arrangement: an owning log with a file, and the
// process-wide log forwarding to it through a "[pid] " proxy.
struct file_log {
    tessel::log owner;
    tessel::log::file* file;
    explicit file_log(const std::wstring& base) {
        auto f = std::make_unique<tessel::log::file>(base);
        file = f.get();
        owner.add_listener(std::move(f));
        tessel::scope guard(tessel::log::global_lock());
        tessel::log::instance().clear();
        tessel::log::instance().add_listener(std::make_unique<tessel::log::proxy>(
            owner, "[" + std::to_string(::GetCurrentProcessId()) + "] "));
    }
    ~file_log() {
        tessel::scope guard(tessel::log::global_lock());
        tessel::log::instance().clear();
    }
};

TEST(log_line, exact_format_and_byte_order_mark) {
    test_support::temp_folder dir(L"log-format");
    {
        file_log log(dir / L"UI");
        log_info("Background worker stopped");
        log_error(L"failed %d times: %s", 3, L"w\x00E9");
    }
    const std::string text = read_file(dir / L"UI.log.txt");
    ASSERT_EQ(text.substr(0, 3), bom);
    const auto all = lines(text.substr(3));
    ASSERT_EQ(all.size(), 2u);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(all[0], m, line_format)) << all[0];
    EXPECT_EQ(m[7], "#");
    EXPECT_EQ(m[8], std::to_string(::GetCurrentProcessId()));
    EXPECT_EQ(m[9], "Background worker stopped");
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    EXPECT_EQ(std::stoi(m[1]), now.wYear);
    ASSERT_TRUE(std::regex_match(all[1], m, line_format)) << all[1];
    EXPECT_EQ(m[7], "!");
    EXPECT_EQ(m[9], "failed 3 times: w\xC3\xA9");  // UTF-8 in the file
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(log_line, header_pads_and_picks_the_level_letter) {
    SYSTEMTIME t{};
    t.wYear = 2012; t.wMonth = 3; t.wDay = 5; t.wHour = 9; t.wMinute = 7; t.wSecond = 2;
    EXPECT_EQ(tessel::log::header(0, t), "2012/03/05 09:07:02 #  ");
    const char expected[] = {'#', ' ', '+', '!', '>', '@'};
    for (int level = 0; level < 6; ++level) EXPECT_EQ(tessel::log::level_letter(level), expected[level]) << level;
}

TEST(log_file, existing_file_is_appended_without_a_second_mark) {
    test_support::temp_folder dir(L"log-append");
    test_support::write_file(dir / L"UI.log.txt", bom + "earlier line\r\n");
    {
        file_log log(dir / L"UI");
        log_info("later line");
    }
    const std::string text = read_file(dir / L"UI.log.txt");
    EXPECT_EQ(text.rfind(bom), 0u);
    const auto all = lines(text.substr(3));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], "earlier line");
    EXPECT_NE(all[1].find("later line"), std::string::npos);
}

TEST(log_file, long_messages_and_line_breaks_are_written_whole) {
    test_support::temp_folder dir(L"log-long");
    const std::string long_text(5000, 'z');
    {
        file_log log(dir / L"UI");
        log_info("%s|end", long_text.c_str());
        log_write(0, std::wstring(3000, L'y'));
        log_info("two\r\nlines");
    }
    const std::string text = read_file(dir / L"UI.log.txt");
    EXPECT_NE(text.find("] " + long_text + "|end\r\n"), std::string::npos);
    EXPECT_NE(text.find("] " + std::string(3000, 'y') + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("] two\r\nlines\r\n"), std::string::npos);
}

TEST(log_file, rotates_at_one_mebibyte_into_one_backup) {
    test_support::temp_folder dir(L"log-rotate");
    // A file exactly at the limit, and an older backup that must be replaced.
    const std::string full = bom + std::string(0x100000 - 3 - 2, 'o') + "\r\n";
    test_support::write_file(dir / L"UI.log.txt", full);
    test_support::write_file(dir / L"UI.1.log.txt", "old backup");
    {
        file_log log(dir / L"UI");
        EXPECT_EQ(log.file->size_limit(), 0x100000u);
        log_info("first line after rotation");
        log_info("second line");
    }
    EXPECT_EQ(read_file(dir / L"UI.1.log.txt"), full);
    const std::string text = read_file(dir / L"UI.log.txt");
    ASSERT_EQ(text.rfind(bom, 0), 0u);
    const auto all = lines(text.substr(3));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_NE(all[0].find("first line after rotation"), std::string::npos);
}

TEST(log_file, below_the_limit_nothing_rotates) {
    test_support::temp_folder dir(L"log-norotate");
    const std::string almost = bom + std::string(0x100000 - 3 - 1, 'o');
    test_support::write_file(dir / L"UI.log.txt", almost);
    {
        file_log log(dir / L"UI");
        log_info("pushes it over");
    }
    EXPECT_FALSE(test_support::file_exists(dir / L"UI.1.log.txt"));
    EXPECT_GT(read_file(dir / L"UI.log.txt").size(), 0x100000u);  // one line over is allowed
}

TEST(log_file, a_held_backup_gives_up_the_rotation_and_keeps_every_line) {
    test_support::temp_folder dir(L"log-heldbackup");
    test_support::write_file(dir / L"UI.log.txt", bom + std::string(0x100000, 'o'));
    test_support::write_file(dir / L"UI.1.log.txt", "held");
    // Another program holds the backup open without sharing delete.
    HANDLE held = ::CreateFileW((dir / L"UI.1.log.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        file_log log(dir / L"UI");
        log_info("still written");
    }
    ::CloseHandle(held);
    EXPECT_EQ(read_file(dir / L"UI.1.log.txt"), "held");
    const std::string text = read_file(dir / L"UI.log.txt");
    EXPECT_GT(text.size(), 0x100000u);
    EXPECT_NE(text.find("still written"), std::string::npos);
}

TEST(log_file, unopenable_file_throws_log_generic) {
    try {
        tessel::log::file f(std::wstring(L"Z:\\no\\such\\folder\\kelvane\\UI"));
        FAIL() << "no exception";
    } catch (const tessel::log::generic& e) {
        EXPECT_EQ(e.kind(), "log");
        EXPECT_EQ(e.message().rfind("CreateFile failed: ", 0), 0u) << e.message();
        EXPECT_NE(e.message().back(), '\n');
    }
}

TEST(log_file, lock_name_replaces_backslashes) {
    EXPECT_EQ(tessel::log::file::lock_name(L"C:\\Users\\a\\Logs\\UI"), L"log-C:_Users_a_Logs_UI");
}

// Each child process writes this many lines to the shared file.
constexpr int child_lines = 400;

TEST(log_file, two_processes_write_whole_lines_each_with_its_own_id) {
    test_support::temp_folder dir(L"log-shared");
    const std::wstring base = dir / L"UI";
    HANDLE a = test_support::start_process(test_support::self_path(), L"--child-writer \"" + base + L"\" A");
    HANDLE b = test_support::start_process(test_support::self_path(), L"--child-writer \"" + base + L"\" B");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(::WaitForSingleObject(a, 120000), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(b, 120000), WAIT_OBJECT_0);
    DWORD pid_a = ::GetProcessId(a), pid_b = ::GetProcessId(b);
    ::CloseHandle(a);
    ::CloseHandle(b);

    const std::string text = read_file(base + L".log.txt");
    ASSERT_EQ(text.rfind(bom, 0), 0u);
    EXPECT_EQ(text.find(bom, 3), std::string::npos);
    int count_a = 0, count_b = 0;
    for (const auto& line : lines(text.substr(3))) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, line_format)) << line;
        const std::string message = m[9];
        const DWORD pid = std::stoul(m[8]);
        if (message.rfind("child A ", 0) == 0) {
            EXPECT_EQ(pid, pid_a);
            ++count_a;
        } else if (message.rfind("child B ", 0) == 0) {
            EXPECT_EQ(pid, pid_b);
            ++count_b;
        } else {
            ADD_FAILURE() << "unexpected line " << line;
        }
        EXPECT_EQ(message.size(), 8u + 4u + 200u) << line;
    }
    EXPECT_EQ(count_a, child_lines);
    EXPECT_EQ(count_b, child_lines);
}

TEST(log_exception, logs_each_kind_of_exception_under_the_scope) {
    test_support::log_capture capture;
    try {
        throw std::runtime_error("disk full");
    } catch (...) {
        log_exception("settings::save");
    }
    try {
        throw tessel::exception_w(L"bad \x00E9");
    } catch (...) {
        log_exception(L"Loading tips");
    }
    try {
        throw 42;
    } catch (...) {
        log_exception("background_worker:");
    }
    try {
        throw _com_error(E_OUTOFMEMORY);
    } catch (...) {
        log_exception("wmi::query");
    }
    const auto texts = capture.texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "settings::save exception: disk full");
    EXPECT_EQ(texts[1], "Loading tips Exception: [bad \xC3\xA9]");
    EXPECT_EQ(texts[2], "background_worker: unknown exception caught");
    EXPECT_EQ(texts[3].rfind("wmi::query _com_error: ", 0), 0u) << texts[3];
    for (int level : capture.levels()) EXPECT_EQ(level, 3);
    for (const auto& h : capture.headers()) EXPECT_EQ(h.substr(h.size() - 3), "!  ");
}

// The prefix gets a blank unless it ends in one, and the format puts one
// more before the description.
TEST(describe_current_exception, adds_one_blank_after_the_prefix) {
    auto describe = [](const std::wstring& prefix, auto thrown) {
        try {
            throw thrown;
        } catch (...) {
            return tessel::describe_current_exception(prefix);
        }
    };
    EXPECT_EQ(describe(L"", std::logic_error("x")), L" exception: x");
    EXPECT_EQ(describe(L"scope", std::logic_error("x")), L"scope  exception: x");
    EXPECT_EQ(describe(L"scope ", std::logic_error("x")), L"scope  exception: x");
    EXPECT_EQ(describe(L"scope  ", std::logic_error("x")), L"scope   exception: x");
    EXPECT_EQ(describe(L"p", tessel::exception_w(L"w")), L"p  exception: [w]");
    EXPECT_EQ(describe(L"p", 1), L"p  unknown exception");
}

TEST(log_levels, level_five_describes_the_exception_being_handled) {
    test_support::log_capture capture;
    try {
        throw std::runtime_error("boom");
    } catch (...) {
        log_write(5, std::string("main_window::on_timer"));
    }
    ASSERT_EQ(capture.texts().size(), 1u);
    EXPECT_EQ(capture.texts()[0], "main_window::on_timer  exception: boom");
    EXPECT_EQ(capture.levels()[0], 3);
    EXPECT_EQ(capture.headers()[0].substr(capture.headers()[0].size() - 3), "@  ");
}

TEST(log_levels, listeners_see_only_levels_at_or_above_their_minimum_newest_first) {
    test_support::log_capture all;  // minimum 0
    std::vector<std::string> order;
    struct named : tessel::log::listener {
        std::vector<std::string>& order;
        std::string name;
        named(std::vector<std::string>& o, std::string n) : order(o), name(std::move(n)) {}
        void write(int, const std::string&, const std::string&) override { order.push_back(name); }
    };
    {
        tessel::scope guard(tessel::log::global_lock());
        tessel::log::instance().add_listener(std::make_unique<named>(order, "first"), 0);
        tessel::log::instance().add_listener(std::make_unique<named>(order, "second"), 0);
        tessel::log::instance().add_listener(std::make_unique<named>(order, "errors"), 3);
    }
    log_info("information");
    EXPECT_EQ(order, (std::vector<std::string>{"second", "first"}));
    order.clear();
    log_error("error");
    EXPECT_EQ(order, (std::vector<std::string>{"errors", "second", "first"}));
}

TEST(log_input, narrow_messages_are_read_as_ansi) {
    test_support::log_capture capture;
    log_write(0, std::string("caf\xE9"));  // 1252: e acute
    if (::GetACP() == 1252) EXPECT_EQ(capture.texts()[0], "caf\xC3\xA9");
    else EXPECT_FALSE(capture.texts()[0].empty());
}

}  // namespace

// A child process of the shared-file test: writes child_lines lines through
// its own application-style log arrangement.
static int child_writer(const std::wstring& base, const std::wstring& tag) {
    file_log log(base);
    const std::string payload(200, 'p');
    const std::string name = tessel::unicode::to_utf8(tag);
    for (int i = 0; i < child_lines; ++i) log_info("child %s %.4d%s", name.c_str(), i % 10000, payload.c_str());
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"--child-writer") return child_writer(argv[2], argv[3]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
