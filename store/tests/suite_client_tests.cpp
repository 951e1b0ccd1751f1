#include <gtest/gtest.h>

#include "nexolib_test_support.hpp"
#include "store/suite_client.hpp"
#include "support.hpp"
#include "tessel/exception.hpp"
#include "tessel/unicode.hpp"

namespace {

template <class F>
std::string failure(F f) {
    try {
        f();
    } catch (const tessel::exception_w& e) {
        return tessel::unicode::to_utf8(e.message_w());
    } catch (const std::exception& e) {
        return std::string("wrong exception: ") + e.what();
    }
    return "no exception";
}

const char* const suite =
    "<suite language=\"FR\"><user id=\"u7\"/><site address=\"https://www.orvena.com\"/>"
    "<product name=\"Tamsin\" version=\"2.0\"><page name=\"Help\" path=\"help?l=%Lang%\"/></product></suite>";

TEST(suite_client, reads_the_suite_through_shared_handles) {
    const nexolib_test::suite_file file(suite);
    const nx::lib_handle lib = nx::open_lib();
    nx::suite_handle s = nx::open_suite(lib, L"Tamsin");
    const nx::suite_handle copy = s;
    s.reset();  // the copy keeps the handle open
    EXPECT_EQ(nx::language(copy), L"FR");
    EXPECT_EQ(nx::user_id(copy), L"u7");
    EXPECT_EQ(nx::product_version(copy), L"2.0");
    EXPECT_EQ(nx::account_url(copy, L"Help"), L"https://www.orvena.com/help?l=FR");
    EXPECT_NE(failure([&] { nx::account_url(copy, L"Missing"); }).find("unknown page \"Missing\""), std::string::npos);
    const std::string missing = failure([&] { nx::open_suite(lib, L"Other"); });
    EXPECT_EQ(missing.rfind("Failed to load suite data: ", 0), 0u) << missing;
    EXPECT_NE(missing.find("no product \"Other\""), std::string::npos) << missing;
}

TEST(suite_client, localization_errors_and_phrases) {
    test_support::temp_folder folder{L"suite_client_languages"};
    test_support::write_file(folder / L"EN.xml",
                             "<language id=\"EN\" name=\"English\" english_name=\"English\">"
                             "<phrase key=\"A\">a</phrase></language>");
    test_support::write_file(folder / L"DE.xml", "<language id=\"DE\" name=\"Deutsch\" english_name=\"German\"/>");
    const nx::lib_handle lib = nx::open_lib();
    const nx::localization_handle l = nx::open_localization(lib, L"EN", folder.path());
    EXPECT_EQ(nx::phrase(l, L"A"), L"a");
    EXPECT_EQ(nx::phrase(l, L"B"), L"") << "an unknown key is an empty phrase";
    nx::load_translations(l, L"DE");
    EXPECT_EQ(nx::phrase(l, L"A"), L"");
    const std::vector<nx::language_info> languages = nx::supported_languages(l);
    ASSERT_EQ(languages.size(), 2u);
    EXPECT_EQ(languages[0].id, L"DE");
    EXPECT_EQ(languages[0].english_name, L"German");
    EXPECT_EQ(languages[1].name, L"English");

    test_support::write_file(folder / L"XX.xml", "<language");
    EXPECT_NE(failure([&] { nx::supported_languages(l); }).find("XX.xml: malformed XML at line 1"), std::string::npos);
    const std::string bad = failure([&] { nx::open_localization(lib, L"XX", folder.path()); });
    EXPECT_EQ(bad.rfind("Failed to load localization: ", 0), 0u) << bad;
}

TEST(suite_client, an_update_without_tip_files_throws_the_library_error) {
    const nexolib_test::suite_file file(suite);
    const nx::update_handle u = nx::open_update(nx::open_lib());
    EXPECT_NE(failure([&] { nx::start_update(u); }).find("no tip files"), std::string::npos);
}

}  // namespace
