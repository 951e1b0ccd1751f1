#include "store/suite_client.hpp"

#include "tessel/exception.hpp"

namespace nx {
namespace {

template <class T>
std::shared_ptr<T> own(T* handle) {
    return std::shared_ptr<T>(handle, [](T* h) { NX_Close_Handle(h); });
}

std::wstring copy(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

// Copies the result before anything else is asked of the handle.
template <class F>
std::wstring suite_text(const suite_handle& suite, F call) {
    std::wstring text = copy(call(suite.get()));
    std::wstring error = last_error(suite.get());
    if (!error.empty()) throw tessel::exception_w(error);
    return text;
}

}  // namespace

std::wstring last_error(void* handle) { return copy(NX_Last_Error_Description(handle)); }

lib_handle open_lib() {
    NX_Lib_Handle_* lib = NX_Open_Lib();
    if (!lib) throw tessel::exception_w(L"Failed to initialize suite client library");
    return own(lib);
}

suite_handle open_suite(const lib_handle& lib, const std::wstring& product_name) {
    NX_Suite_Handle_* suite = NX_Open_Suite(lib.get(), product_name.c_str());
    if (!suite) throw tessel::exception_w(L"Failed to load suite data: %s", last_error(lib.get()).c_str());
    return own(suite);
}

std::wstring user_id(const suite_handle& s) { return suite_text(s, NX_Get_User_Id); }
std::wstring user_name(const suite_handle& s) { return suite_text(s, NX_Get_User_Name); }
std::wstring user_site(const suite_handle& s) { return suite_text(s, NX_Get_User_Site); }
std::wstring language(const suite_handle& s) { return suite_text(s, NX_Get_Language); }
std::wstring product_version(const suite_handle& s) { return suite_text(s, NX_Get_Product_Version); }
std::wstring partner_id(const suite_handle& s) { return suite_text(s, NX_Get_Partner_Id); }
std::wstring suite_launcher_path(const suite_handle& s) { return suite_text(s, NX_Get_Suite_Laucnher_Path); }

std::wstring account_url(const suite_handle& s, const std::wstring& page_name) {
    return suite_text(s, [&](NX_Suite_Handle_* h) { return NX_Make_Account_Url(h, page_name.c_str()); });
}

localization_handle open_localization(const lib_handle& lib, const std::wstring& language_id,
                                      const std::wstring& folder) {
    NX_Localization_Handle_* l = NX_Open_Localization(lib.get(), language_id.c_str(), folder.c_str());
    if (!l) throw tessel::exception_w(L"Failed to load localization: %s", last_error(lib.get()).c_str());
    return own(l);
}

void load_translations(const localization_handle& l, const std::wstring& language_id) {
    NX_Load_Translations(l.get(), language_id.c_str());
}

std::wstring phrase(const localization_handle& l, const std::wstring& key) {
    std::wstring text = copy(NX_Get_Phrase(l.get(), key.c_str()));
    if (text.empty()) {
        std::wstring error = last_error(l.get());
        if (!error.empty()) throw tessel::exception_w(error);
    }
    return text;
}

std::vector<language_info> supported_languages(const localization_handle& l) {
    const int count = NX_Supported_Languages(l.get());
    if (count < 0) throw tessel::exception_w(last_error(l.get()));
    std::vector<language_info> languages;
    for (int i = 0; i < count; ++i) {
        NX_Language_Handle_* raw = NX_Get_Language_Info(l.get(), i);
        if (!raw) throw tessel::exception_w(last_error(l.get()));
        const language_handle language = own(raw);
        languages.push_back({copy(NX_Language_Id(raw)), copy(NX_Language_Name(raw)),
                             copy(NX_Language_EnglishName(raw))});
    }
    return languages;
}

update_handle open_update(const lib_handle& lib) {
    NX_Update_Handle_* u = NX_Update_Open(lib.get());
    if (!u) throw tessel::exception_w(L"Failed to initialize update handle");
    return own(u);
}

void start_update(const update_handle& u) {
    if (!NX_Update_Start(u.get())) throw tessel::exception_w(last_error(u.get()));
}

}  // namespace nx
