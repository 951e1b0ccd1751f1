#include <gtest/gtest.h>

#include <string>

#include "bindings/nexolib.h"
#include "nexolib_test_support.hpp"
#include "tessel/unicode.hpp"

using nexolib_test::suite_file;

namespace {

const char* const suite_xml =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<suite language=\"DE\">\n"
    "  <user id=\"u 1&amp;2\" name=\"J\xC3\xBCrgen\"/>\n"
    "  <partner id=\"P7\"/>\n"
    "  <site address=\"https://www.orvena.com/\"/>\n"
    "  <launcher path=\"%ProgramFiles%\\Orvena\\Tarnwick\\TarnwickLauncher.exe\"/>\n"
    "  <product name=\"Other\" version=\"9\"/>\n"
    "  <product name=\"Tamsin\" version=\"1.1.124.1\">\n"
    "    <page name=\"Help\" path=\"/tamsin/help/?lang=%Lang%\"/>\n"
    "    <page name=\"Account\" path=\"account/?uid=%UserID%&amp;pid=%PID%&amp;lang=%Lang%\"/>\n"
    "  </product>\n"
    "</suite>\n";

struct lib {
    NX_Lib_Handle_* handle = NX_Open_Lib();
    ~lib() { NX_Close_Handle(handle); }
};

std::wstring error_of(void* handle) { return NX_Last_Error_Description(handle); }

TEST(suite, gives_the_account_facts_and_the_product_version) {
    const suite_file file(suite_xml);
    const lib l;
    ASSERT_NE(l.handle, nullptr);
    NX_Suite_Handle_* s = NX_Open_Suite(l.handle, L"Tamsin");
    ASSERT_NE(s, nullptr) << tessel::unicode::to_utf8(error_of(l.handle));
    EXPECT_EQ(error_of(l.handle), L"");

    wchar_t program_files[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"ProgramFiles", program_files, MAX_PATH);
    struct row {
        const char* call;
        const wchar_t* (*get)(NX_Suite_Handle_*);
        std::wstring expected;
    } rows[] = {
        {"user id", NX_Get_User_Id, L"u 1&2"},
        {"user name", NX_Get_User_Name, L"J\x00FCrgen"},
        {"site", NX_Get_User_Site, L"https://www.orvena.com/"},
        {"language", NX_Get_Language, L"DE"},
        {"version", NX_Get_Product_Version, L"1.1.124.1"},
        {"partner", NX_Get_Partner_Id, L"P7"},
        {"launcher", NX_Get_Suite_Laucnher_Path, std::wstring(program_files) + L"\\Orvena\\Tarnwick\\TarnwickLauncher.exe"},
    };
    for (const row& r : rows) {
        EXPECT_EQ(r.get(s), r.expected) << r.call;
        EXPECT_EQ(error_of(s), L"") << r.call;
    }
    NX_Close_Handle(s);
}

TEST(suite, makes_page_addresses_and_refuses_unknown_pages) {
    const suite_file file(suite_xml);
    const lib l;
    NX_Suite_Handle_* s = NX_Open_Suite(l.handle, L"tamsin");
    ASSERT_NE(s, nullptr) << "product names ignore case";
    EXPECT_EQ(std::wstring(NX_Make_Account_Url(s, L"Help")), L"https://www.orvena.com/tamsin/help/?lang=DE");
    EXPECT_EQ(std::wstring(NX_Make_Account_Url(s, L"account")),
              L"https://www.orvena.com/account/?uid=u%201%262&pid=P7&lang=DE")
        << "values are percent-encoded";
    EXPECT_EQ(error_of(s), L"");

    EXPECT_EQ(std::wstring(NX_Make_Account_Url(s, L"Nowhere")), L"");
    EXPECT_NE(error_of(s).find(L"Nowhere"), std::wstring::npos);
    // The next call that succeeds clears the error.
    EXPECT_EQ(std::wstring(NX_Get_Language(s)), L"DE");
    EXPECT_EQ(error_of(s), L"");
    NX_Close_Handle(s);
}

TEST(suite, handles_are_independent) {
    const suite_file file(suite_xml);
    const lib a, b;
    NX_Suite_Handle_* s1 = NX_Open_Suite(a.handle, L"Tamsin");
    NX_Suite_Handle_* s2 = NX_Open_Suite(b.handle, L"Other");
    ASSERT_TRUE(s1 && s2);
    const wchar_t* version = NX_Get_Product_Version(s1);
    NX_Get_Product_Version(s2);
    NX_Make_Account_Url(s2, L"Nowhere");
    EXPECT_EQ(std::wstring(version), L"1.1.124.1") << "another handle's calls leave the text alone";
    EXPECT_EQ(error_of(s1), L"");
    NX_Close_Handle(s1);
    NX_Close_Handle(s2);
}

TEST(suite, a_missing_or_malformed_file_is_an_error_naming_the_file_and_the_reason) {
    const std::wstring path = suite_file::path();
    struct row {
        const char* name;
        std::string xml;
        const wchar_t* product;
        std::wstring reason;
    } rows[] = {
        {"missing", "", L"Tamsin", L"cannot be opened"},
        {"malformed", "<suite>\n<product name=\"Tamsin\">\n</suite>\n", L"Tamsin", L"malformed XML at line 3"},
        {"other root", "<data/>", L"Tamsin", L"\"suite\""},
        {"no such product", suite_xml, L"Unknown", L"no product \"Unknown\""},
        {"plain site", "<suite><site address=\"ftp://x\"/><product name=\"Tamsin\"/></suite>", L"Tamsin", L"ftp://x"},
        {"tip file outside its folder",
         "<suite><site address=\"https://x/\"/><product name=\"Tamsin\"><tips from=\"a\" to=\"b\">"
         "<file name=\"..\\evil.xml\"/></tips></product></suite>",
         L"Tamsin", L"not a plain file name"},
    };
    for (const row& r : rows) {
        const suite_file file(r.xml);
        const lib l;
        EXPECT_EQ(NX_Open_Suite(l.handle, r.product), nullptr) << r.name;
        const std::wstring error = error_of(l.handle);
        EXPECT_EQ(error.rfind(path, 0), 0u) << r.name << ": " << tessel::unicode::to_utf8(error);
        EXPECT_NE(error.find(r.reason), std::wstring::npos) << r.name << ": " << tessel::unicode::to_utf8(error);
    }
}

TEST(suite, null_and_foreign_handles_fail_without_crashing) {
    EXPECT_EQ(std::wstring(NX_Last_Error_Description(nullptr)), L"");
    NX_Close_Handle(nullptr);
    EXPECT_EQ(NX_Open_Suite(nullptr, L"Tamsin"), nullptr);
    EXPECT_EQ(std::wstring(NX_Get_User_Id(nullptr)), L"");
    const lib l;
    // A library handle where a suite handle belongs.
    EXPECT_EQ(std::wstring(NX_Get_User_Id(reinterpret_cast<NX_Suite_Handle_*>(l.handle))), L"");
    EXPECT_NE(error_of(l.handle), L"");
}

}  // namespace
