// The exported calls. No exception leaves the library: each call records
// its failure as the handle's error text and returns null, empty or 0.
#define NEXOLIB_BUILDING
#include "bindings/nexolib.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <new>

#include "outside/nexolib/handles.hpp"
#include "outside/nexolib/library_log.hpp"
#include "outside/nexolib/tips_update.hpp"
#include "outside/nexolib/xml_file.hpp"

using namespace nexolib;

namespace {

template <class Out>
Out* out(handle_base* h) {
    return reinterpret_cast<Out*>(h);
}

// Runs body with the handle's error cleared; a failure becomes the error.
template <class State, class Result, class Body>
Result guarded(void* handle, Result failed, Body body) {
    auto* base = static_cast<handle_base*>(handle);
    if (!base) return failed;
    State* s = dynamic_cast<State*>(base);
    try {
        base->error.clear();
        if (!s) throw error(L"the handle is of another type");
        return body(*s);
    } catch (const error& e) {
        base->error = e.text();
    } catch (const std::bad_alloc&) {
        base->error = L"out of memory";
    } catch (const std::exception& e) {
        base->error = wide(e.what());
    } catch (...) {
        base->error = L"unknown error";
    }
    return failed;
}

const wchar_t* const empty = L"";

// Language ids become file names: letters, digits, "-" and "_" only.
void check_language_id(const std::wstring& id) {
    bool ok = !id.empty() && id.size() <= 32;
    for (const wchar_t c : id)
        ok = ok && ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'-' || c == L'_');
    if (!ok) throw error(L"\"" + id + L"\" is not a language id");
}

// The language's table, or the English one when the language has none.
translation_table open_table(const std::wstring& folder, const std::wstring& id) {
    check_language_id(id);
    const std::wstring path = table_path(folder, id);
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES && id != L"EN") {
        const std::wstring english = table_path(folder, L"EN");
        if (::GetFileAttributesW(english.c_str()) != INVALID_FILE_ATTRIBUTES) {
            log_line(0, L"No translation table for " + id + L" in " + folder + L", using EN");
            return read_translation_table(english);
        }
    }
    return read_translation_table(path);
}

template <class Field>
const wchar_t* suite_field(NX_Suite_Handle_* suite, Field field) {
    return guarded<suite_state>(suite, empty, [&](suite_state& s) { return s.give(field(s)); });
}

}  // namespace

extern "C" {

NXAPI void NXCALL NX_Close_Handle(void* handle) { delete static_cast<handle_base*>(handle); }

NXAPI const wchar_t* NXCALL NX_Last_Error_Description(void* handle) {
    return handle ? static_cast<handle_base*>(handle)->error.c_str() : empty;
}

NXAPI NX_Lib_Handle_* NXCALL NX_Open_Lib(void) {
    return out<NX_Lib_Handle_>(new (std::nothrow) lib_state);
}

NXAPI NX_Suite_Handle_* NXCALL NX_Open_Suite(NX_Lib_Handle_* lib, const wchar_t* product_name) {
    return guarded<lib_state>(lib, static_cast<NX_Suite_Handle_*>(nullptr), [&](lib_state&) {
        const std::wstring name = product_name ? product_name : L"";
        const std::wstring path = suite_file();
        auto s = std::make_unique<suite_state>();
        s->data = read_suite_data(path);
        const product* p = s->data.find(name);
        if (!p) throw error(path + L": no product \"" + name + L"\"");
        s->prod = *p;
        return out<NX_Suite_Handle_>(s.release());
    });
}

NXAPI const wchar_t* NXCALL NX_Get_User_Id(NX_Suite_Handle_* s) {
    return suite_field(s, [](suite_state& st) { return st.data.user_id; });
}
NXAPI const wchar_t* NXCALL NX_Get_User_Name(NX_Suite_Handle_* s) {
    return suite_field(s, [](suite_state& st) { return st.data.user_name; });
}
NXAPI const wchar_t* NXCALL NX_Get_User_Site(NX_Suite_Handle_* s) {
    return suite_field(s, [](suite_state& st) { return st.data.site; });
}
NXAPI const wchar_t* NXCALL NX_Get_Language(NX_Suite_Handle_* s) {
    return suite_field(s, [](suite_state& st) { return st.data.language; });
}
NXAPI const wchar_t* NXCALL NX_Get_Product_Version(NX_Suite_Handle_* s) {
    return suite_field(s, [](suite_state& st) { return st.prod.version; });
}
NXAPI const wchar_t* NXCALL NX_Get_Partner_Id(NX_Suite_Handle_* s) {
    return suite_field(s, [](suite_state& st) { return st.data.partner_id; });
}
NXAPI const wchar_t* NXCALL NX_Get_Suite_Laucnher_Path(NX_Suite_Handle_* s) {
    return suite_field(s, [](suite_state& st) { return st.data.launcher_path; });
}
NXAPI const wchar_t* NXCALL NX_Make_Account_Url(NX_Suite_Handle_* s, const wchar_t* page_name) {
    return suite_field(s, [&](suite_state& st) { return account_url(st.data, st.prod, page_name ? page_name : L""); });
}

NXAPI NX_Localization_Handle_* NXCALL NX_Open_Localization(NX_Lib_Handle_* lib, const wchar_t* language_id,
                                                          const wchar_t* languages_folder) {
    return guarded<lib_state>(lib, static_cast<NX_Localization_Handle_*>(nullptr), [&](lib_state&) {
        auto l = std::make_unique<localization_state>();
        l->folder = languages_folder ? languages_folder : L"";
        l->table = open_table(l->folder, language_id ? language_id : L"");
        return out<NX_Localization_Handle_>(l.release());
    });
}

NXAPI int NXCALL NX_Load_Translations(NX_Localization_Handle_* localization, const wchar_t* language_id) {
    return guarded<localization_state>(localization, 0, [&](localization_state& l) {
        l.table = open_table(l.folder, language_id ? language_id : L"");
        return 1;
    });
}

NXAPI const wchar_t* NXCALL NX_Get_Phrase(NX_Localization_Handle_* localization, const wchar_t* key) {
    return guarded<localization_state>(localization, empty, [&](localization_state& l) {
        const auto found = l.table.phrases.find(key ? key : L"");
        return l.give(found == l.table.phrases.end() ? std::wstring() : found->second);
    });
}

NXAPI int NXCALL NX_Supported_Languages(NX_Localization_Handle_* localization) {
    return guarded<localization_state>(localization, -1, [&](localization_state& l) {
        l.listed.clear();
        l.listed = read_all_tables(l.folder);
        return static_cast<int>(l.listed.size());
    });
}

NXAPI NX_Language_Handle_* NXCALL NX_Get_Language_Info(NX_Localization_Handle_* localization, int index) {
    return guarded<localization_state>(localization, static_cast<NX_Language_Handle_*>(nullptr), [&](localization_state& l) {
        if (index < 0 || static_cast<std::size_t>(index) >= l.listed.size())
            throw error(L"no language with the index " + std::to_wstring(index));
        const translation_table& t = l.listed[static_cast<std::size_t>(index)];
        auto language = std::make_unique<language_state>();
        language->id = t.id;
        language->name = t.name;
        language->english_name = t.english_name;
        return out<NX_Language_Handle_>(language.release());
    });
}

NXAPI const wchar_t* NXCALL NX_Language_Id(NX_Language_Handle_* language) {
    return guarded<language_state>(language, empty, [](language_state& l) { return l.id.c_str(); });
}
NXAPI const wchar_t* NXCALL NX_Language_Name(NX_Language_Handle_* language) {
    return guarded<language_state>(language, empty, [](language_state& l) { return l.name.c_str(); });
}
NXAPI const wchar_t* NXCALL NX_Language_EnglishName(NX_Language_Handle_* language) {
    return guarded<language_state>(language, empty, [](language_state& l) { return l.english_name.c_str(); });
}

NXAPI NX_Update_Handle_* NXCALL NX_Update_Open(NX_Lib_Handle_* lib) {
    return guarded<lib_state>(lib, static_cast<NX_Update_Handle_*>(nullptr),
                              [](lib_state&) { return out<NX_Update_Handle_>(new update_state); });
}

NXAPI int NXCALL NX_Update_Start(NX_Update_Handle_* update) {
    return guarded<update_state>(update, 0, [](update_state&) {
        start_tips_update(tip_sources(read_suite_data(suite_file())));
        return 1;
    });
}

}  // extern "C"
