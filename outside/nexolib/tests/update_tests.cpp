#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "bindings/nexolib.h"
#include "nexolib_test_support.hpp"
#include "support.hpp"
#include "tessel/unicode.hpp"

using nexolib_test::eventually;
using nexolib_test::suite_file;
using tessel::unicode::to_utf8;

namespace {

std::string suite_with_tips(const std::wstring& from, const std::wstring& to) {
    return "<suite><site address=\"https://www.orvena.com/\"/>\n"
           "<product name=\"Tamsin\" version=\"1\">\n"
           "  <tips from=\"" + to_utf8(from) + "\" to=\"" + to_utf8(to) + "\">\n"
           "    <file name=\"TipofDay_EN.xml\"/>\n"
           "    <file name=\"TipofDay_DE.xml\"/>\n"
           "  </tips>\n"
           "</product></suite>\n";
}

std::wstring library_log() {
    wchar_t user[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, user);
    return std::wstring(user) + L"\\Orvena\\Tarnwick\\Logs\\Nexolib.log.txt";
}

std::size_t log_size() {
    return test_support::file_exists(library_log()) ? test_support::read_file(library_log()).size() : 0;
}

// Whether the log has the text after its first `since` bytes: the log is
// kept across runs.
bool log_mentions(const std::string& text, std::size_t since) {
    if (!test_support::file_exists(library_log())) return false;
    const std::string log = test_support::read_file(library_log());
    // A rotated log starts afresh.
    return log.find(text, log.size() >= since ? since : 0) != std::string::npos;
}

// Starts an update and expects it to return at once.
void start_update() {
    NX_Lib_Handle_* lib = NX_Open_Lib();
    NX_Update_Handle_* update = NX_Update_Open(lib);
    ASSERT_NE(update, nullptr);
    EXPECT_NE(NX_Update_Start(update), 0) << to_utf8(NX_Last_Error_Description(update));
    NX_Close_Handle(update);  // the download goes on without the handle
    NX_Close_Handle(lib);
}

bool only_tip_files_in(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileW((folder + L"*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    ::FindClose(find);
    return false;
}

TEST(update, copies_tip_files_from_a_folder_and_leaves_files_it_cannot_fetch) {
    test_support::temp_folder source{L"nexolib_tips_source"};
    test_support::temp_folder target{L"nexolib_tips_target"};
    test_support::write_file(source / L"TipofDay_EN.xml", "<tips><tip no=\"1\"/></tips>");
    test_support::write_file(target / L"TipofDay_EN.xml", "old english");
    test_support::write_file(target / L"TipofDay_DE.xml", "old german");
    const suite_file file(suite_with_tips(source.path(), target.path()));

    const std::size_t since = log_size();
    start_update();
    ASSERT_TRUE(eventually([&] { return log_mentions("Tips update finished", since); }));
    EXPECT_TRUE(log_mentions("Tips update failed: " + to_utf8(source / L"TipofDay_DE.xml"), since));
    EXPECT_EQ(test_support::read_file(target / L"TipofDay_EN.xml"), "<tips><tip no=\"1\"/></tips>");
    EXPECT_EQ(test_support::read_file(target / L"TipofDay_DE.xml"), "old german") << "a failed file stays untouched";
    EXPECT_TRUE(only_tip_files_in(target.path()));
}

TEST(update, downloads_tip_files_over_http) {
    const nexolib_test::http_server server(std::map<std::string, std::string>{{"/tips/TipofDay_EN.xml", "<tips>fresh</tips>"}});
    test_support::temp_folder target{L"nexolib_tips_http"};
    const std::wstring tips = target / L"Tips";  // made by the update
    test_support::write_file(target / L"marker", "");
    const std::wstring from = L"http://127.0.0.1:" + std::to_wstring(server.port()) + L"/tips/";
    const suite_file file(suite_with_tips(from, tips));

    const std::size_t since = log_size();
    start_update();
    ASSERT_TRUE(eventually([&] { return log_mentions("Tips update finished", since); }));
    EXPECT_EQ(test_support::read_file(tips + L"\\TipofDay_EN.xml"), "<tips>fresh</tips>");
    EXPECT_TRUE(log_mentions(to_utf8(from) + "TipofDay_DE.xml: the server answered 404", since));
    EXPECT_FALSE(test_support::file_exists(tips + L"\\TipofDay_DE.xml"));
    EXPECT_TRUE(only_tip_files_in(tips + L"\\"));
}

TEST(update, refuses_to_start_without_tip_files_to_fetch) {
    const suite_file file("<suite><site address=\"https://x/\"/><product name=\"Tamsin\"/></suite>");
    NX_Lib_Handle_* lib = NX_Open_Lib();
    NX_Update_Handle_* update = NX_Update_Open(lib);
    EXPECT_EQ(NX_Update_Start(update), 0);
    EXPECT_NE(std::wstring(NX_Last_Error_Description(update)).find(L"no tip files"), std::wstring::npos);
    NX_Close_Handle(update);
    NX_Close_Handle(lib);
}

}  // namespace
