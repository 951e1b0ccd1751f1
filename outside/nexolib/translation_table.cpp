#include "outside/nexolib/translation_table.hpp"

#include <windows.h>

#include <algorithm>

#include <pugixml.hpp>

#include "outside/nexolib/xml_file.hpp"

namespace nexolib {

translation_table read_translation_table(const std::wstring& path) {
    pugi::xml_document doc;
    load_xml(path, doc);
    const pugi::xml_node root = doc.child("language");
    if (!root) throw error(path + L": the root element is not \"language\"");
    translation_table t;
    t.path = path;
    t.id = wide(root.attribute("id").value());
    t.name = wide(root.attribute("name").value());
    t.english_name = wide(root.attribute("english_name").value());
    if (t.id.empty()) throw error(path + L": the language has no id");
    for (const pugi::xml_node phrase : root.children("phrase")) {
        const std::wstring key = wide(phrase.attribute("key").value());
        if (key.empty()) continue;
        // Text and CDATA parts together, so a phrase may carry markup in a
        // CDATA section.
        std::string text;
        for (const pugi::xml_node part : phrase.children())
            if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata) text += part.value();
        t.phrases[key] = wide(text.c_str());
    }
    return t;
}

std::wstring table_path(const std::wstring& folder, const std::wstring& language_id) {
    return with_slash(folder) + language_id + L".xml";
}

std::vector<translation_table> read_all_tables(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE find = ::FindFirstFileW((with_slash(folder) + L"*.xml").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    std::sort(names.begin(), names.end());
    std::vector<translation_table> tables;
    for (const std::wstring& name : names) tables.push_back(read_translation_table(with_slash(folder) + name));
    return tables;
}

}  // namespace nexolib
