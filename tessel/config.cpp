#include "tessel/config.hpp"

#include <shlobj.h>

#include <vector>

#include "tessel/exception.hpp"

namespace tessel {
namespace {

struct values {
    std::wstring company, product, program_folder, program_file, common_root, common_product, user_root,
        user_product;
};

values& current() {
    static values v;
    return v;
}

std::wstring with_slash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

bool shell_folder(int csidl, std::wstring& out) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return false;
    out = buffer;
    return true;
}

// The module's full path. Paths longer than MAX_PATH are read whole rather
// than cut, so the program folder is never a truncated one.
std::wstring module_path(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::wstring load_string(unsigned id, HINSTANCE instance) {
    wchar_t buffer[260] = {};
    const int n = ::LoadStringW(instance, id, buffer, 260);
    if (n <= 0) throw tessel::exception("resource string %d is not found", static_cast<int>(id));
    return std::wstring(buffer, static_cast<std::size_t>(n));
}

namespace config {

void set_names(const std::wstring& company, const std::wstring& product) {
    current().company = company;
    current().product = product;
}

void load_names(HINSTANCE instance) {
    set_names(load_string(company_name_id, instance), load_string(product_name_id, instance));
    init(instance);
}

void init(HMODULE module) {
    const std::wstring path = module_path(module);
    if (path.empty()) throw exception_w(L"Error. config::init. GetModuleFileName return 0.");
    std::wstring common;
    if (!shell_folder(CSIDL_COMMON_APPDATA, common))
        throw exception_w(L"Error. config::init. Can not find CSIDL_COMMON_APPDATA.");
    std::wstring user;
    if (!shell_folder(CSIDL_APPDATA, user)) user.clear();
    init_from(path, common, user);
}

void init_from(const std::wstring& module_path, const std::wstring& common_appdata,
               const std::wstring& user_appdata) {
    values& v = current();
    const std::size_t slash = module_path.rfind(L'\\');
    v.program_folder = slash == std::wstring::npos ? std::wstring() : module_path.substr(0, slash + 1);
    v.program_file = slash == std::wstring::npos ? module_path : module_path.substr(slash + 1);
    v.common_root = with_slash(common_appdata);
    v.common_product = v.common_root + v.company + L"\\" + v.product + L"\\";
    v.user_root = user_appdata.empty() ? v.common_root : with_slash(user_appdata);
    v.user_product = v.user_root + v.company + L"\\" + v.product + L"\\";
}

std::wstring company_name() { return current().company; }
std::wstring product_name() { return current().product; }
std::wstring program_folder() { return current().program_folder; }
std::wstring program_file_name() { return current().program_file; }
std::wstring common_product_folder() { return current().common_product; }
std::wstring user_product_folder() { return current().user_product; }

std::wstring common_appdata_folder() {
    std::wstring folder;
    if (!shell_folder(CSIDL_COMMON_APPDATA, folder))
        throw tessel::exception("Error in ::SHGetFolderPath( 0, CSIDL=%d ....", CSIDL_COMMON_APPDATA);
    return with_slash(folder);
}

}  // namespace config
}  // namespace tessel
