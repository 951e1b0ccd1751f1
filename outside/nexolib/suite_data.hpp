// The suite data: suite.xml in the suite data folder, read afresh by every
// NX_Open_Suite and NX_Update_Start.
#pragma once

#include <string>
#include <vector>

namespace nexolib {

struct tip_source {
    std::wstring from;  // an http(s) address or a folder
    std::wstring to;    // the product's tips folder
    std::vector<std::wstring> files;
};

struct page {
    std::wstring name, path;
};

struct product {
    std::wstring name, version;
    std::vector<page> pages;
    tip_source tips;
};

struct suite_data {
    std::wstring user_id, user_name, partner_id, language, site, launcher_path;
    std::vector<product> products;

    const product* find(const std::wstring& name) const;
};

// <common application data>\Orvena\Tarnwick\ .
std::wstring suite_folder();
std::wstring suite_file();

// Throws error naming the file and the reason.
suite_data read_suite_data(const std::wstring& path);

// The site's address joined with the page's path, the placeholders
// %UserID%, %Lang% and %PID% filled in (percent-encoded). Throws error for
// an unknown page.
std::wstring account_url(const suite_data& suite, const product& p, const std::wstring& page_name);

}  // namespace nexolib
