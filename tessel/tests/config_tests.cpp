#include <gtest/gtest.h>

#include <windows.h>

#include "tessel/config.hpp"
#include "tessel/exception.hpp"
#include "tessel/file_version_info.hpp"

using namespace tessel;

namespace {

// Kelvane.exe of this build, found from this test program's own folder.
std::wstring kelvane_exe() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.erase(folder.rfind(L'\\') + 1);
    return folder + KELVANE_EXE_FROM_TESTS;
}

struct names_guard {
    names_guard() { config::set_names(L"Orvena", L"Tamsin"); }
};

TEST(config, folders_from_the_reported_locations) {
    names_guard names;
    struct row {
        const wchar_t *module, *common, *user;
        const wchar_t *folder, *file, *common_product, *user_product;
    } rows[] = {
        {L"C:\\Apps\\Tamsin.exe", L"C:\\ProgramData", L"C:\\Users\\a\\AppData\\Roaming", L"C:\\Apps\\", L"Tamsin.exe",
         L"C:\\ProgramData\\Orvena\\Tamsin\\", L"C:\\Users\\a\\AppData\\Roaming\\Orvena\\Tamsin\\"},
        // A folder that already ends with a backslash gets no second one.
        {L"D:\\x\\y\\K.exe", L"C:\\ProgramData\\", L"E:\\", L"D:\\x\\y\\", L"K.exe",
         L"C:\\ProgramData\\Orvena\\Tamsin\\", L"E:\\Orvena\\Tamsin\\"},
        // No per-user folder: per-user files live under the common root.
        {L"C:\\Apps\\Tamsin.exe", L"C:\\ProgramData", L"", L"C:\\Apps\\", L"Tamsin.exe",
         L"C:\\ProgramData\\Orvena\\Tamsin\\", L"C:\\ProgramData\\Orvena\\Tamsin\\"},
        // A path without any backslash.
        {L"Tamsin.exe", L"C:\\ProgramData", L"", L"", L"Tamsin.exe", L"C:\\ProgramData\\Orvena\\Tamsin\\",
         L"C:\\ProgramData\\Orvena\\Tamsin\\"},
    };
    for (const row& r : rows) {
        config::init_from(r.module, r.common, r.user);
        EXPECT_EQ(config::program_folder(), r.folder) << r.module;
        EXPECT_EQ(config::program_file_name(), r.file) << r.module;
        EXPECT_EQ(config::common_product_folder(), r.common_product) << r.module;
        EXPECT_EQ(config::user_product_folder(), r.user_product) << r.module;
    }
}

TEST(config, init_reads_the_running_module_and_the_shell_folders) {
    names_guard names;
    config::init(nullptr);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(config::program_folder() + config::program_file_name(), path);
    EXPECT_EQ(config::program_folder().back(), L'\\');
    EXPECT_EQ(config::common_product_folder(), config::common_appdata_folder() + L"Orvena\\Tamsin\\");
    const std::wstring user = config::user_product_folder();
    EXPECT_EQ(user.substr(user.size() - 14), L"Orvena\\Tamsin\\");
}

TEST(config, names_come_from_the_string_resources) {
    config::load_names(::GetModuleHandleW(nullptr));
    EXPECT_EQ(config::company_name(), L"Orvena");
    EXPECT_EQ(config::product_name(), L"Tamsin");
}

TEST(load_string, a_missing_resource_names_its_identifier) {
    EXPECT_EQ(load_string(2001, ::GetModuleHandleW(nullptr)), L"Orvena");
    try {
        load_string(2003, ::GetModuleHandleW(nullptr));
        FAIL() << "no exception";
    } catch (const tessel::exception& e) {
        EXPECT_STREQ(e.what(), "[resource string 2003 is not found]");
    }
}

TEST(load_string, keeps_at_most_259_characters) {
    const std::wstring text = load_string(2004, ::GetModuleHandleW(nullptr));
    EXPECT_EQ(text.size(), 259u);
}

TEST(file_version_info, reads_the_programs_version_strings) {
    FileVersionInfo info;
    ASSERT_TRUE(info.open(kelvane_exe()));
    EXPECT_TRUE(info.valid());
    EXPECT_EQ(info.fixed().dwSignature, 0xFEEF04BDu);
    ASSERT_FALSE(info.translations().empty());
    EXPECT_EQ(info.translations()[0].language, 0x0000);
    EXPECT_EQ(info.translations()[0].code_page, 1200);
    EXPECT_EQ(info.string_path(L"FileVersion"), L"\\StringFileInfo\\000004B0\\FileVersion");
    EXPECT_EQ(info.query_string(L"FileVersion"), L"1.1.124.1");
    EXPECT_EQ(info.query_string(L"ProductVersion"), L"1.1.124.1");
    EXPECT_EQ(info.query_string(L"ProductName"), L"Tamsin");
    EXPECT_EQ(info.query_string(L"CompanyName"), L"Orvena");
    EXPECT_EQ(info.query_string(L"NoSuchValue"), L"");
    EXPECT_EQ(HIWORD(info.fixed().dwFileVersionMS), 1);
    EXPECT_EQ(LOWORD(info.fixed().dwFileVersionLS), 1);
}

TEST(file_version_info, a_file_without_a_version_resource_opens_as_false) {
    FileVersionInfo info;
    EXPECT_FALSE(info.open(std::wstring(L"C:\\no\\such\\file.exe")));
    EXPECT_FALSE(info.valid());
    EXPECT_EQ(info.query_string(L"FileVersion"), L"");
    EXPECT_FALSE(info.open(static_cast<HMODULE>(nullptr)));
    // This test program has no version block.
    EXPECT_FALSE(info.open(::GetModuleHandleW(nullptr)));
}

}  // namespace
