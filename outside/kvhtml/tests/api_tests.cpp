#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "outside/kvhtml/tests/host.hpp"

namespace kvhtml_tests {
namespace {

bool logged(const host& h, const std::string& line) {
    return std::find(h.log.begin(), h.log.end(), line) != h.log.end();
}

std::wstring style_of(HELEMENT he, const char* name) {
    std::wstring w = L"<none>";
    KvhtmlGetStyleAttribute(he, name, [](LPCWSTR t, UINT n, LPVOID p) { static_cast<std::wstring*>(p)->assign(t, n); }, &w);
    return w;
}

TEST(kvhtml_api, loads_sheets_through_the_host_resources_and_files) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring file = std::wstring(temp) + L"kvhtml_test_sheet.css";
    std::ofstream(file.c_str(), std::ios::binary) << "#from-file { margin-left: 5px }";
    std::string file_url;
    for (wchar_t c : file) file_url += static_cast<char>(c);

    host h;
    h.files[L"main.css"] = "@import 'dropped.css'; #from-host { margin-top: 1px }";
    h.dropped.push_back(L"dropped.css");
    h.files[L"dropped.css"] = "#from-host { margin-top: 9px }";  // never used: the host discards it
    ASSERT_TRUE(h.load("<link rel=stylesheet href=main.css><link rel=stylesheet href='res:PAGE_SHEET'>"
                       "<link rel=stylesheet href='" + file_url + "'><link rel=stylesheet href=missing.css>"
                       "<p id=from-host></p><p id=from-res></p><p id=from-file></p>"));
    HELEMENT r = root(h);
    EXPECT_EQ(style_of(find(r, "#from-host"), "margin-top"), L"1px");
    EXPECT_EQ(style_of(find(r, "#from-res"), "margin-top"), L"7px");
    EXPECT_EQ(style_of(find(r, "#from-res"), "color"), L"red");
    EXPECT_EQ(style_of(find(r, "#from-file"), "margin-left"), L"5px");
    EXPECT_TRUE(logged(h, "load main.css"));
    EXPECT_TRUE(logged(h, "load dropped.css"));
    EXPECT_TRUE(logged(h, "load missing.css"));
    EXPECT_EQ(h.log.back(), "complete");
    // Outside a request the engine takes no data.
    EXPECT_FALSE(KvhtmlDataReady(h.hwnd, L"main.css", reinterpret_cast<const BYTE*>("x"), 1));
    EXPECT_FALSE(KvhtmlLoadHtml(h.hwnd, nullptr, 0, nullptr));
    DeleteFileW(file.c_str());
}

TEST(kvhtml_api, behaviours_attach_on_load_and_insertion_and_detach_on_removal) {
    host h;
    ASSERT_TRUE(h.load("<style>.p { behavior: probe } .u { behavior: unknown }</style>"
                       "<div id=a class=p></div><div id=b class=u></div>"));
    EXPECT_EQ(h.log, (std::vector<std::string>{"behavior a probe", "attached a", "behavior b unknown", "complete"}));
    h.log.clear();
    HELEMENT r = root(h);
    ASSERT_EQ(KvhtmlSetElementHtml(find(r, "#b"), reinterpret_cast<const BYTE*>("<i id=c class=p></i>"), 20, 0), KVHTML_OK);
    EXPECT_EQ(h.log, (std::vector<std::string>{"behavior c probe", "attached c"}));
    h.log.clear();
    HELEMENT made = nullptr;
    ASSERT_EQ(KvhtmlCreateElement("span", L"x", &made), KVHTML_OK);
    Kvhtml_UseElement(made);
    KvhtmlSetAttributeByName(made, "id", L"d");
    KvhtmlSetAttributeByName(made, "class", L"p");
    EXPECT_TRUE(h.log.empty());  // not in a window's document yet
    ASSERT_EQ(KvhtmlInsertElement(made, r, KVHTML_APPEND_INDEX), KVHTML_OK);
    EXPECT_EQ(h.log, (std::vector<std::string>{"behavior d probe", "attached d"}));
    h.log.clear();
    KvhtmlDetachElement(made);
    KvhtmlDeleteElement(find(r, "#c"));
    EXPECT_EQ(h.log, (std::vector<std::string>{"detached d", "detached c"}));
    h.log.clear();
    KvhtmlInsertElement(made, r, 0);  // back in: asked for again
    EXPECT_EQ(h.log, (std::vector<std::string>{"behavior d probe", "attached d"}));
    Kvhtml_UnuseElement(made);
}

TEST(kvhtml_api, behaviours_from_sibling_rules_come_with_the_call_that_brings_them) {
    host h;
    ASSERT_TRUE(h.load("<style>li:first-child { behavior: head } [a] + li { behavior: next }</style>"
                       "<ul><li id=a></li><li id=b></li><li id=c></li></ul>"));
    EXPECT_EQ(h.log, (std::vector<std::string>{"behavior a head", "complete"}));
    h.log.clear();
    HELEMENT r = root(h);
    ASSERT_EQ(KvhtmlDeleteElement(find(r, "#a")), KVHTML_OK);
    EXPECT_EQ(h.log, (std::vector<std::string>{"behavior b head"}));
    h.log.clear();
    ASSERT_EQ(KvhtmlSetAttributeByName(find(r, "#b"), "a", L""), KVHTML_OK);
    EXPECT_EQ(h.log, (std::vector<std::string>{"behavior c next"}));
}

struct finalized {
    std::vector<std::string> ids;
};
finalized* finalized_log = nullptr;
void KVCALL finalize(HELEMENT he, LPVOID expando) {
    finalized_log->ids.push_back(id_of(he) + "=" + static_cast<const char*>(expando));
}

TEST(kvhtml_api, handles_uids_and_expandos_across_deletion) {
    host h;
    ASSERT_TRUE(h.load("<div id=a><b id=b></b></div><div id=c></div>"));
    finalized log;
    finalized_log = &log;
    HELEMENT r = root(h);
    HELEMENT b = find(r, "#b");
    ASSERT_EQ(Kvhtml_UseElement(b), KVHTML_OK);
    UINT uid = 0;
    ASSERT_EQ(KvhtmlGetElementUID(b, &uid), KVHTML_OK);
    HELEMENT again = nullptr;
    EXPECT_EQ(KvhtmlGetElementByUID(h.hwnd, uid, &again), KVHTML_OK);
    EXPECT_EQ(again, b);
    static char tag_b[] = "B", tag_c[] = "C";
    KvhtmlElementSetExpando(b, tag_b, finalize);
    KvhtmlElementSetExpando(find(r, "#c"), tag_c, finalize);
    LPVOID got = nullptr;
    EXPECT_EQ(KvhtmlElementGetExpando(b, &got), KVHTML_OK);
    EXPECT_EQ(got, tag_b);

    ASSERT_EQ(KvhtmlDeleteElement(find(r, "#a")), KVHTML_OK);
    EXPECT_EQ(log.ids, (std::vector<std::string>{"b=B"}));
    // The kept handle is safe: every call on it fails cleanly.
    UINT count = 7;
    EXPECT_EQ(KvhtmlGetChildrenCount(b, &count), KVHTML_INVALID_HANDLE);
    EXPECT_EQ(KvhtmlSetAttributeByName(b, "x", L"y"), KVHTML_INVALID_HANDLE);
    EXPECT_EQ(KvhtmlDeleteElement(b), KVHTML_INVALID_HANDLE);
    EXPECT_EQ(Kvhtml_UseElement(b), KVHTML_INVALID_HANDLE);
    EXPECT_EQ(KvhtmlGetElementByUID(h.hwnd, uid, &again), KVHTML_INVALID_PARAMETER);
    EXPECT_EQ(again, nullptr);
    EXPECT_EQ(Kvhtml_UnuseElement(b), KVHTML_OK);
    EXPECT_EQ(Kvhtml_UseElement(nullptr), KVHTML_INVALID_HANDLE);
    // A new page ends the old one's elements, with their finalizers.
    ASSERT_TRUE(h.load("<p></p>"));
    EXPECT_EQ(log.ids, (std::vector<std::string>{"b=B", "c=C"}));
    finalized_log = nullptr;
}

TEST(kvhtml_api, walks_and_changes_the_tree) {
    host h;
    ASSERT_TRUE(h.load("<ul id=u><li id=i3>3</li><li id=i1>1</li><li id=i2>2</li></ul>"));
    HELEMENT u = find(root(h), "#u");
    UINT count = 0, index = 9;
    EXPECT_EQ(KvhtmlGetChildrenCount(u, &count), KVHTML_OK);
    EXPECT_EQ(count, 3u);
    HELEMENT second = nullptr, parent = nullptr;
    EXPECT_EQ(KvhtmlGetNthChild(u, 1, &second), KVHTML_OK);
    EXPECT_EQ(id_of(second), "i1");
    EXPECT_EQ(KvhtmlGetNthChild(u, 3, &second), KVHTML_INVALID_PARAMETER);
    EXPECT_EQ(KvhtmlGetParentElement(find(u, "#i2"), &parent), KVHTML_OK);
    EXPECT_EQ(parent, u);
    EXPECT_EQ(KvhtmlGetElementIndex(find(u, "#i2"), &index), KVHTML_OK);
    EXPECT_EQ(index, 2u);
    std::string type;
    KvhtmlGetElementType(u, [](LPCSTR t, UINT n, LPVOID p) { static_cast<std::string*>(p)->assign(t, n); }, &type);
    EXPECT_EQ(type, "ul");

    auto by_text = [](HELEMENT a, HELEMENT b, LPVOID) -> INT { return text_of(a).compare(text_of(b)); };
    EXPECT_EQ(KvhtmlSortElements(u, 0, 3, by_text, nullptr), KVHTML_OK);
    EXPECT_EQ(html_of(u, false), "<li id=\"i1\">1</li><li id=\"i2\">2</li><li id=\"i3\">3</li>");

    HELEMENT copy = nullptr;
    ASSERT_EQ(KvhtmlCloneElement(find(u, "#i1"), &copy), KVHTML_OK);
    KvhtmlSetAttributeByName(copy, "id", L"i4");
    KvhtmlSetElementInnerText16(copy, L"4 \u00E9", 3);
    ASSERT_EQ(KvhtmlInsertElement(copy, u, KVHTML_APPEND_INDEX), KVHTML_OK);
    EXPECT_EQ(text_of(find(u, "#i4")), L"4 \u00E9");
    EXPECT_EQ(KvhtmlInsertElement(u, find(u, "#i4"), 0), KVHTML_INVALID_PARAMETER);  // into its own child

    struct mode_case {
        UINT mode;
        const char* expected;
    };
    const mode_case modes[] = {
        {0, "<li id=\"i1\"><b>n</b></li>"},
        {1, "<li id=\"i1\"><b>n</b>1</li>"},
        {2, "<li id=\"i1\">1<b>n</b></li>"},
        {3, "<b>n</b>"},
        {4, "<b>n</b><li id=\"i1\">1</li>"},
        {5, "<li id=\"i1\">1</li><b>n</b>"},
    };
    for (auto& m : modes) {
        ASSERT_TRUE(h.load("<ul id=u><li id=i1>1</li></ul>"));
        HELEMENT list = find(root(h), "#u");
        ASSERT_EQ(KvhtmlSetElementHtml(find(list, "#i1"), reinterpret_cast<const BYTE*>("<b>n</b>"), 8, m.mode), KVHTML_OK);
        EXPECT_EQ(html_of(list, false), m.expected) << "mode " << m.mode;
    }
    EXPECT_EQ(KvhtmlSetElementHtml(root(h), reinterpret_cast<const BYTE*>("x"), 1, 9), KVHTML_INVALID_PARAMETER);
}

TEST(kvhtml_api, selects_with_scoping_and_reports_invalid_selectors) {
    host h;
    ASSERT_TRUE(h.load("<div id=tabs><div id=strip class=strip></div><div id=inner><div class=strip id=deep></div></div></div>"
                       "<div class=shim id=s1></div><div class=shim id=s2></div>"));
    HELEMENT r = root(h);
    HELEMENT tabs = find(r, "#tabs");
    EXPECT_EQ(id_of(find(tabs, ":root>.strip")), "strip");
    EXPECT_EQ(id_of(find(r, ":root>div.shim:last-child")), "s2");
    std::vector<std::string> all;
    auto collect = [](HELEMENT he, LPVOID p) -> BOOL {
        static_cast<std::vector<std::string>*>(p)->push_back(id_of(he));
        return FALSE;
    };
    EXPECT_EQ(KvhtmlSelectElementsW(r, L".strip, .shim", collect, &all), KVHTML_OK);
    EXPECT_EQ(all, (std::vector<std::string>{"strip", "deep", "s1", "s2"}));
    EXPECT_EQ(KvhtmlSelectElements(r, "div[", collect, &all), KVHTML_INVALID_FORMAT);
    EXPECT_EQ(KvhtmlSelectElements(r, nullptr, collect, &all), KVHTML_INVALID_PARAMETER);
    HELEMENT found = nullptr;
    EXPECT_EQ(KvhtmlSelectParent(find(r, "#deep"), "#tabs", 0, &found), KVHTML_OK);
    EXPECT_EQ(id_of(found), "tabs");
    EXPECT_EQ(KvhtmlSelectParent(find(r, "#deep"), "#tabs", 2, &found), KVHTML_OK);
    EXPECT_EQ(found, nullptr);  // two levels do not reach it
    EXPECT_EQ(KvhtmlSelectParent(find(r, "#deep"), ".strip", 1, &found), KVHTML_OK);
    EXPECT_EQ(id_of(found), "deep");
    EXPECT_EQ(KvhtmlSelectParent(r, "::x", 0, &found), KVHTML_INVALID_FORMAT);
}

TEST(kvhtml_api, routes_events_and_posts_them_through_the_queue) {
    host h;
    ASSERT_TRUE(h.load("<style>.p { behavior: probe }</style><div id=a class=p><div id=b class=p></div></div>"));
    static host* window_host;
    window_host = &h;
    auto window_proc = [](LPVOID, HELEMENT, UINT group, LPVOID params) -> BOOL {
        if (group != KVHTML_HANDLE_BEHAVIOR_EVENT) return FALSE;
        auto* p = static_cast<KVHTML_BEHAVIOR_EVENT_PARAMS*>(params);
        window_host->log.push_back(std::string("window ") + (p->cmd & KVHTML_SINKING ? "v" : "^"));
        return FALSE;
    };
    ASSERT_EQ(KvhtmlWindowAttachEventHandler(h.hwnd, window_proc, nullptr, KVHTML_HANDLE_ALL), KVHTML_OK);
    HELEMENT r = root(h), a = find(r, "#a"), b = find(r, "#b");
    h.log.clear();
    BOOL handled = TRUE;
    ASSERT_EQ(KvhtmlSendEvent(b, KVHTML_ELEMENT_EXPANDED, nullptr, 0, &handled), KVHTML_OK);
    EXPECT_FALSE(handled);
    EXPECT_EQ(h.log, (std::vector<std::string>{"window v", "event 145 a:v from b", "event 145 b:v from b",
                                               "event 145 b:^ from b", "event 145 a:^ from b", "window ^"}));
    h.log.clear();
    h.handle_at = "b:^";
    KvhtmlSendEvent(b, KVHTML_ACTIVATE_CHILD, a, 0, &handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(h.log, (std::vector<std::string>{"window v", "event 146 a:v from a", "event 146 b:v from a", "event 146 b:^ from a"}));

    h.log.clear();
    h.handle_at.clear();
    ASSERT_EQ(KvhtmlPostEvent(a, KVHTML_ELEMENT_COLLAPSED, nullptr, 0), KVHTML_OK);
    EXPECT_TRUE(h.log.empty());  // not before the current work returns
    pump();
    EXPECT_EQ(h.log.size(), 4u);
    EXPECT_EQ(h.log.at(1), "event 144 a:v from a");
    // A posted event for an element deleted in between is dropped.
    h.log.clear();
    KvhtmlPostEvent(b, KVHTML_ELEMENT_COLLAPSED, nullptr, 0);
    KvhtmlDeleteElement(b);
    pump();
    EXPECT_EQ(h.log, (std::vector<std::string>{"detached b"}));

    VALUE args[3];
    for (auto& v : args) ValueInit(&v);
    ValueStringDataSet(&args[0], L"x", 1, 0);
    args[1].t = T_INT;
    args[1].d = 5;
    args[2].t = T_BOOL;
    args[2].d = 1;
    KVHTML_NAMED_CALL_PARAMS call{KVHTML_NAMED_METHOD, "join", 3, args, {}};
    ValueInit(&call.result);
    ASSERT_EQ(KvhtmlCallBehaviorMethod(a, reinterpret_cast<KVHTML_METHOD_PARAMS*>(&call)), KVHTML_OK);
    LPCWSTR chars = nullptr;
    UINT length = 0;
    ASSERT_EQ(ValueStringData(&call.result, &chars, &length), HV_OK);
    EXPECT_EQ(std::wstring(chars, length), L"x+5+true");
    ValueClear(&call.result);
    call.name = "unknown";
    EXPECT_EQ(KvhtmlCallBehaviorMethod(a, reinterpret_cast<KVHTML_METHOD_PARAMS*>(&call)), KVHTML_OK_NOT_HANDLED);
    call.argc = 9;
    EXPECT_EQ(KvhtmlCallBehaviorMethod(a, reinterpret_cast<KVHTML_METHOD_PARAMS*>(&call)), KVHTML_INVALID_PARAMETER);
    ValueClear(&args[0]);
}

TEST(kvhtml_api, styles_states_visibility_and_control_values) {
    host h;
    ASSERT_TRUE(h.load("<style>#box { display: none } .on:checked { visibility: hidden }</style>"
                       "<div id=box><i id=in></i></div><input id=c type=checkbox class=on><input id=t value=abc>"
                       "<select id=s><option value=1>one<option id=o2 value=2 selected>two</select><p id=p>text</p>"));
    HELEMENT r = root(h);
    BOOL visible = TRUE;
    KvhtmlIsElementVisible(find(r, "#in"), &visible);
    EXPECT_FALSE(visible);
    EXPECT_EQ(KvhtmlSetStyleAttribute(find(r, "#box"), "display", L"block"), KVHTML_OK);
    KvhtmlIsElementVisible(find(r, "#in"), &visible);
    EXPECT_TRUE(visible);
    EXPECT_EQ(style_of(find(r, "#box"), "display"), L"block");
    EXPECT_EQ(KvhtmlSetStyleAttribute(find(r, "#box"), "display", nullptr), KVHTML_OK);
    EXPECT_EQ(style_of(find(r, "#box"), "display"), L"none");
    EXPECT_EQ(style_of(find(r, "#p"), "display"), L"<none>");  // the page does not set it
    EXPECT_EQ(KvhtmlSetStyleAttribute(find(r, "#box"), "no-such", L"1"), KVHTML_INVALID_PARAMETER);

    HELEMENT c = find(r, "#c");
    UINT state = 0;
    KvhtmlSetElementState(c, KVHTML_STATE_CHECKED | KVHTML_STATE_FOCUS, 0, TRUE);
    KvhtmlGetElementState(c, &state);
    EXPECT_EQ(state, static_cast<UINT>(KVHTML_STATE_CHECKED | KVHTML_STATE_FOCUS));
    KvhtmlIsElementVisible(c, &visible);
    EXPECT_FALSE(visible);  // :checked hides it
    KvhtmlSetElementState(c, 0, KVHTML_STATE_FOCUS, TRUE);
    KvhtmlGetElementState(c, &state);
    EXPECT_EQ(state, static_cast<UINT>(KVHTML_STATE_CHECKED));

    struct value_case {
        const char* selector;
        UINT type;
        std::wstring text;
    };
    const value_case values[] = {
        {"#c", T_BOOL, L"true"}, {"#t", T_STRING, L"abc"}, {"#s", T_STRING, L"2"}, {"#p", T_STRING, L"text"},
    };
    for (auto& v : values) {
        VALUE value;
        ValueInit(&value);
        ASSERT_EQ(KvhtmlControlGetValue(find(r, v.selector), &value), KVHTML_OK);
        EXPECT_EQ(value.t, v.type) << v.selector;
        ValueToString(&value, 0);
        LPCWSTR chars = nullptr;
        UINT length = 0;
        ValueStringData(&value, &chars, &length);
        EXPECT_EQ(std::wstring(chars, length), v.text) << v.selector;
        ValueClear(&value);
    }
    VALUE off;
    ValueInit(&off);
    off.t = T_BOOL;
    KvhtmlControlSetValue(c, &off);
    KvhtmlGetElementState(c, &state);
    EXPECT_EQ(state & KVHTML_STATE_CHECKED, 0u);
    ValueStringDataSet(&off, L"new", 3, 0);
    KvhtmlControlSetValue(find(r, "#t"), &off);
    EXPECT_EQ(attribute(find(r, "#t"), "value"), "new");
    ValueClear(&off);

    // Attributes: a null value removes.
    HELEMENT p = find(r, "#p");
    KvhtmlSetAttributeByName(p, "data-x", L"1");
    UINT count = 0;
    KvhtmlGetAttributeCount(p, &count);
    EXPECT_EQ(count, 2u);
    KvhtmlSetAttributeByName(p, "data-x", nullptr);
    EXPECT_EQ(attribute(p, "data-x"), "<none>");
}

}  // namespace
}  // namespace kvhtml_tests

namespace kvhtml_tests {
namespace {

TEST(kvhtml_api, handlers_attached_by_page_code_follow_their_subscription) {
    host h;
    ASSERT_TRUE(h.load("<div id=a><i id=b></i></div>"));
    HELEMENT a = find(root(h), "#a"), b = find(root(h), "#b");
    static std::vector<std::string>* calls;
    std::vector<std::string> seen;
    calls = &seen;
    auto proc = [](LPVOID tag, HELEMENT he, UINT group, LPVOID params) -> BOOL {
        if (group == KVHTML_HANDLE_BEHAVIOR_EVENT) {
            auto* p = static_cast<KVHTML_BEHAVIOR_EVENT_PARAMS*>(params);
            calls->push_back(std::string(static_cast<const char*>(tag)) + " " + id_of(he) +
                             (p->cmd & KVHTML_SINKING ? " v" : " ^"));
        }
        return FALSE;
    };
    static char events[] = "events", mouse[] = "mouse";
    ASSERT_EQ(KvhtmlAttachEventHandlerEx(a, proc, events, KVHTML_HANDLE_BEHAVIOR_EVENT), KVHTML_OK);
    ASSERT_EQ(KvhtmlAttachEventHandlerEx(a, proc, mouse, KVHTML_HANDLE_MOUSE), KVHTML_OK);
    BOOL handled = TRUE;
    KvhtmlSendEvent(b, KVHTML_BUTTON_CLICK, nullptr, 0, &handled);
    EXPECT_EQ(seen, (std::vector<std::string>{"events a v", "events a ^"}));
    EXPECT_FALSE(handled);
    EXPECT_EQ(KvhtmlDetachEventHandler(a, proc, events), KVHTML_OK);
    EXPECT_EQ(KvhtmlDetachEventHandler(a, proc, events), KVHTML_INVALID_PARAMETER);
    seen.clear();
    KvhtmlSendEvent(b, KVHTML_BUTTON_CLICK, nullptr, 0, &handled);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(KvhtmlAttachEventHandlerEx(nullptr, proc, events, 1), KVHTML_INVALID_HANDLE);
    EXPECT_EQ(KvhtmlAttachEventHandlerEx(a, nullptr, events, 1), KVHTML_INVALID_PARAMETER);
}

}  // namespace
}  // namespace kvhtml_tests

namespace kvhtml_tests {
namespace {

TEST(kvhtml_api, visits_elements_lists_attributes_and_names_the_window) {
    host h;
    ASSERT_TRUE(h.load("<div id=a k=1><p id=b k=2><p id=c k=1></div><p id=d>"));
    HELEMENT r = root(h);
    auto collect = [](HELEMENT he, LPVOID p) -> BOOL {
        static_cast<std::vector<std::string>*>(p)->push_back(id_of(he));
        return FALSE;
    };
    struct visit_case {
        const char* tag;
        const char* attribute;
        const wchar_t* value;
        UINT depth;
        std::vector<std::string> expected;
    };
    const visit_case cases[] = {
        {"p", nullptr, nullptr, 0, {"b", "c", "d"}},
        {"P", nullptr, nullptr, 1, {"d"}},
        {nullptr, "k", nullptr, 0, {"a", "b", "c"}},
        {nullptr, "k", L"1", 0, {"a", "c"}},
        {"p", "k", L"1", 0, {"c"}},
    };
    for (auto& c : cases) {
        std::vector<std::string> seen;
        ASSERT_EQ(KvhtmlVisitElements(r, c.tag, c.attribute, c.value, collect, &seen, c.depth), KVHTML_OK);
        EXPECT_EQ(seen, c.expected) << (c.tag ? c.tag : "*") << " " << (c.attribute ? c.attribute : "");
    }

    struct attribute_pair {
        std::string name;
        std::wstring value;
    } pair;
    HELEMENT a = find(r, "#a");
    ASSERT_EQ(KvhtmlGetNthAttribute(
                  a, 1, [](LPCSTR n, UINT len, LPVOID p) { static_cast<attribute_pair*>(p)->name.assign(n, len); },
                  [](LPCWSTR v, UINT len, LPVOID p) { static_cast<attribute_pair*>(p)->value.assign(v, len); }, &pair),
              KVHTML_OK);
    EXPECT_EQ(pair.name, "k");
    EXPECT_EQ(pair.value, L"1");
    EXPECT_EQ(KvhtmlGetNthAttribute(a, 2, nullptr, nullptr, nullptr), KVHTML_INVALID_PARAMETER);

    HWND w = nullptr;
    EXPECT_EQ(KvhtmlGetElementHwnd(a, &w, FALSE), KVHTML_OK);
    EXPECT_EQ(w, h.hwnd);
    HELEMENT made = nullptr;
    KvhtmlCreateElement("div", nullptr, &made);
    EXPECT_EQ(KvhtmlGetElementHwnd(made, &w, FALSE), KVHTML_OPERATION_FAILED);

    auto window_proc = [](LPVOID, HELEMENT, UINT, LPVOID) -> BOOL { return FALSE; };
    EXPECT_EQ(KvhtmlWindowAttachEventHandler(h.hwnd, window_proc, nullptr, KVHTML_HANDLE_ALL), KVHTML_OK);
    EXPECT_EQ(KvhtmlWindowDetachEventHandler(h.hwnd, window_proc, &h), KVHTML_INVALID_PARAMETER);
    EXPECT_EQ(KvhtmlWindowDetachEventHandler(h.hwnd, window_proc, nullptr), KVHTML_OK);
    EXPECT_EQ(KvhtmlWindowAttachEventHandler(nullptr, window_proc, nullptr, 1), KVHTML_INVALID_HWND);
}

}  // namespace
}  // namespace kvhtml_tests
