#include <gtest/gtest.h>

#include <set>
#include <string>

#include "bindings/nexolib.h"
#include "support.hpp"
#include "tessel/unicode.hpp"

namespace {

std::string table(const char* id, const char* name, const char* english, const std::string& phrases) {
    return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<language id=\"") + id + "\" name=\"" + name +
           "\" english_name=\"" + english + "\">\n" + phrases + "</language>\n";
}

class localization : public testing::Test {
protected:
    void SetUp() override {
        lib_ = NX_Open_Lib();
        test_support::write_file(folder_ / L"EN.xml",
                                 table("EN", "English", "English",
                                       "<phrase key=\"HELLO\">Hello</phrase>\n"
                                       "<phrase key=\"LINES\">first\r\n- second</phrase>\n"
                                       "<phrase key=\"MARKUP\">a <![CDATA[<b>bold</b>]]> |ProductName| 50%%</phrase>\n"
                                       "<phrase key=\"EMPTY\"></phrase>\n"));
        test_support::write_file(folder_ / L"DE.xml",
                                 table("DE", "Deutsch", "German", "<phrase key=\"HELLO\">Hallo</phrase>\n"));
        test_support::write_file(folder_ / L"FR.xml",
                                 table("FR", "Fran\xC3\xA7" "ais", "French", "<phrase key=\"HELLO\">Bonjour</phrase>\n"));
    }
    void TearDown() override { NX_Close_Handle(lib_); }
    NX_Localization_Handle_* open(const wchar_t* id) { return NX_Open_Localization(lib_, id, folder_.path().c_str()); }
    std::string error(void* h) { return tessel::unicode::to_utf8(NX_Last_Error_Description(h)); }

    test_support::temp_folder folder_{L"nexolib_languages"};
    NX_Lib_Handle_* lib_ = nullptr;
};

TEST_F(localization, phrases_come_from_the_language_table_and_unknown_keys_are_empty) {
    NX_Localization_Handle_* l = open(L"DE");
    ASSERT_NE(l, nullptr) << error(lib_);
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"HELLO")), L"Hallo");
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"NO_SUCH_KEY")), L"");
    EXPECT_EQ(error(l), "") << "an unknown key is no error";
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"hello")), L"") << "keys match exactly";

    EXPECT_NE(NX_Load_Translations(l, L"EN"), 0);
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"HELLO")), L"Hello");
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"LINES")), L"first\n- second");
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"MARKUP")), L"a <b>bold</b> |ProductName| 50%%");
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"EMPTY")), L"");

    // A language without a table falls back to English; a bad id is refused.
    EXPECT_NE(NX_Load_Translations(l, L"IT"), 0);
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"HELLO")), L"Hello");
    EXPECT_EQ(NX_Load_Translations(l, L"..\\DE"), 0);
    EXPECT_NE(error(l).find("not a language id"), std::string::npos) << error(l);
    EXPECT_EQ(std::wstring(NX_Get_Phrase(l, L"HELLO")), L"Hello") << "the previous table stays";
    NX_Close_Handle(l);
}

TEST_F(localization, lists_the_tables_of_the_folder) {
    NX_Localization_Handle_* l = open(L"EN");
    ASSERT_NE(l, nullptr);
    ASSERT_EQ(NX_Supported_Languages(l), 3);
    std::set<std::wstring> seen;
    for (int i = 0; i < 3; ++i) {
        NX_Language_Handle_* language = NX_Get_Language_Info(l, i);
        ASSERT_NE(language, nullptr);
        seen.insert(std::wstring(NX_Language_Id(language)) + L"|" + NX_Language_Name(language) + L"|" +
                    NX_Language_EnglishName(language));
        NX_Close_Handle(language);
    }
    EXPECT_EQ(seen, (std::set<std::wstring>{L"DE|Deutsch|German", L"EN|English|English", L"FR|Fran\x00E7" L"ais|French"}));
    EXPECT_EQ(NX_Get_Language_Info(l, 3), nullptr);
    EXPECT_NE(error(l), "");
    EXPECT_EQ(NX_Get_Language_Info(l, -1), nullptr);
    NX_Close_Handle(l);
}

TEST_F(localization, a_malformed_table_is_an_error_with_its_file_and_line) {
    test_support::write_file(folder_ / L"XX.xml", "<language id=\"XX\">\n<phrase key=\"A\">a</phrase>\n<phrase>\n</language>\n");
    const std::string path = tessel::unicode::to_utf8(folder_ / L"XX.xml");

    EXPECT_EQ(open(L"XX"), nullptr);
    EXPECT_EQ(error(lib_).rfind(path + ": malformed XML at line 4", 0), 0u) << error(lib_);

    NX_Localization_Handle_* l = open(L"EN");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(NX_Supported_Languages(l), -1);
    EXPECT_NE(error(l).find(path), std::string::npos) << error(l);
    NX_Close_Handle(l);

    // A folder without an English table has nothing to fall back on.
    test_support::temp_folder empty{L"nexolib_no_languages"};
    EXPECT_EQ(NX_Open_Localization(lib_, L"DE", empty.path().c_str()), nullptr);
    EXPECT_NE(error(lib_).find("DE.xml: cannot be opened"), std::string::npos) << error(lib_);
}

// Every phrase key the program uses in its own code has an English phrase.
TEST(shipped_tables, english_has_a_phrase_for_every_key_of_the_program) {
    std::wstring folder = test_support::self_path();
    folder = folder.substr(0, folder.rfind(L'\\') + 1) + KELVANE_LANGUAGES_FROM_TESTS;
    NX_Lib_Handle_* lib = NX_Open_Lib();
    NX_Localization_Handle_* l = NX_Open_Localization(lib, L"EN", folder.c_str());
    ASSERT_NE(l, nullptr) << tessel::unicode::to_utf8(NX_Last_Error_Description(lib));
    const wchar_t* const keys[] = {
        L"AVAILABLE_WITHOUT_SEMICOLON", L"COMPUTER_WAS_NEVER_SCANNED", L"CURRENT_VERSION", L"DAYS_AGO",
        L"DAYS_AGO_TOPSCAN", L"DOWNLOADING", L"DOWNLOAD_AND_INSTALL", L"DOWNLOAD_COMPLETE", L"DRIVER_CHECK_PASSED",
        L"ERROR_APOLOGY", L"INSTALLATION_COMPLETE", L"NEVER_SCANNED", L"NOT_AVAILABLE",
        L"NUMBER_OF_SUCCESSFUL_DRV_UPDATES_WITH_SEMICOLON", L"NUMBER_OF_UPDATES_WITH_SEMICOLON", L"ONE_DAY_AGO",
        L"OPERATION_MIGHT_TAKE_WHILE", L"PLEASE_WAIT", L"PROCESSING", L"RESTART_NOW", L"SCAN_ERROR_DESCR",
        L"SCAN_ERROR_REASON_1", L"SCAN_ERROR_REASON_2", L"SCAN_ERROR_REASON_3", L"SCAN_ERROR_TITLE", L"SCAN_FAILED",
        L"SCAN_PAGE_SUCCESS", L"SCAN_PAGE_TITLE_CHECKING", L"SCAN_PAGE_TITLE_SCAN_COMPLETE",
        L"SCAN_PAGE_TITLE_SCAN_FAILED", L"SCAN_PAGE_UPDATE_SUCCESS", L"SCAN_PAGE_UPDATE_SUCCESS_HINT",
        L"SCAN_PAGE_UPDATE_SUCCESS_SHORT", L"STOP_IGNORING", L"SUPPORT", L"TODAY", L"UPDATE_ERROR_DESCR",
        L"UPDATE_ERROR_REASON_1", L"UPDATE_ERROR_REASON_2", L"UPDATE_ERROR_REASON_3", L"UPDATE_ERROR_TITLE",
        L"UPDATE_FAILED_TEXT", L"UPDATE_FAILED_TITLE", L"UPDATING_DRIVERS_TITLE", L"UPDATING_TO_VERION", L"YESTERDAY",
    };
    for (const wchar_t* key : keys) EXPECT_NE(std::wstring(NX_Get_Phrase(l, key)), L"") << tessel::unicode::to_utf8(key);
    ASSERT_GE(NX_Supported_Languages(l), 1);
    NX_Language_Handle_* first = NX_Get_Language_Info(l, 0);
    ASSERT_NE(first, nullptr);
    NX_Close_Handle(first);
    NX_Close_Handle(l);
    NX_Close_Handle(lib);
}

}  // namespace
