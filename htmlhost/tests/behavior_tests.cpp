#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "htmlhost/behavior_value.hpp"
#include "htmlhost/htmlaux.hpp"
#include "htmlhost/tests/page_window.hpp"
#include "support.hpp"

namespace htmlhost_tests {
namespace {

using kvhtml::dom::element;

// Records which operation the procedure reached.
class recording_handler : public kvhtml::event_handler {
public:
    std::string called;
    BOOL answer = TRUE;
    bool fail = false;

    void detached(HELEMENT) override { note("detached"); }
    void attached(HELEMENT) override { note("attached"); }
    BOOL on_mouse(HELEMENT, HELEMENT, UINT cmd, POINT pos, UINT, UINT) override {
        return note("mouse " + std::to_string(cmd) + " " + std::to_string(pos.x));
    }
    BOOL on_key(HELEMENT, HELEMENT, UINT, UINT code, UINT) override { return note("key " + std::to_string(code)); }
    BOOL on_focus(HELEMENT, HELEMENT, UINT cmd) override { return note("focus " + std::to_string(cmd)); }
    BOOL on_timer(HELEMENT, UINT_PTR id) override { return note("timer " + std::to_string(id)); }
    BOOL on_timer(HELEMENT) override { return note("timer"); }
    BOOL on_draw(HELEMENT, UINT layer, HDC, const RECT&) override { return note("draw " + std::to_string(layer)); }
    void on_size(HELEMENT) override { note("size"); }
    BOOL on_method_call(HELEMENT, UINT id) override { return note("method " + std::to_string(id)); }
    BOOL on_script_call(HELEMENT, LPCSTR name, UINT argc, const VALUE*, VALUE&) override {
        return note(std::string("call ") + name + " " + std::to_string(argc));
    }
    BOOL on_event(HELEMENT, HELEMENT, UINT code, UINT_PTR reason) override {
        return note("event " + std::to_string(code) + " " + std::to_string(reason));
    }
    BOOL on_data_arrived(HELEMENT, HELEMENT, const BYTE*, UINT size, UINT) override {
        return note("data " + std::to_string(size));
    }
    BOOL on_scroll(HELEMENT, HELEMENT, UINT, INT pos, BOOL) override { return note("scroll " + std::to_string(pos)); }

private:
    BOOL note(std::string what) {
        if (fail) throw std::runtime_error("handler failed");
        called = std::move(what);
        return answer;
    }
};

TEST(element_proc, delivers_each_group_to_its_operation) {
    KVHTML_INITIALIZATION_PARAMS attach{KVHTML_BEHAVIOR_ATTACH}, detach{KVHTML_BEHAVIOR_DETACH};
    KVHTML_MOUSE_PARAMS mouse{};
    mouse.cmd = KVHTML_MOUSE_DOWN;
    mouse.pos = {7, 9};
    KVHTML_KEY_PARAMS key{KVHTML_KEY_DOWN, nullptr, 13, 0};
    KVHTML_FOCUS_PARAMS focus{KVHTML_FOCUS_GOT, nullptr, FALSE, FALSE};
    KVHTML_SCROLL_PARAMS scroll{0, nullptr, 42, TRUE};
    KVHTML_TIMER_PARAMS timer{5}, timer0{0};
    KVHTML_DRAW_PARAMS draw{KVHTML_DRAW_CONTENT, nullptr, {}, 0};
    BYTE bytes[3] = {1, 2, 3};
    KVHTML_DATA_ARRIVED_PARAMS data{nullptr, bytes, 3, 0, 0, L"x"};
    KVHTML_BEHAVIOR_EVENT_PARAMS ev{};
    ev.cmd = KVHTML_ACTIVATE_CHILD;
    ev.reason = 3;
    KVHTML_METHOD_PARAMS method{17};
    KVHTML_NAMED_CALL_PARAMS call{};
    call.method_id = KVHTML_NAMED_METHOD;
    call.name = "show";
    call.argc = 2;
    struct delivery {
        UINT group;
        void* record;
        const char* called;
        BOOL result;  // with a handler that answers "handled"
    };
    const delivery cases[] = {
        {KVHTML_HANDLE_INITIALIZATION, &attach, "attached", TRUE},
        {KVHTML_HANDLE_INITIALIZATION, &detach, "detached", TRUE},
        {KVHTML_HANDLE_MOUSE, &mouse, "mouse 4 7", TRUE},
        {KVHTML_HANDLE_KEY, &key, "key 13", TRUE},
        {KVHTML_HANDLE_FOCUS, &focus, "focus 1", TRUE},
        {KVHTML_HANDLE_SCROLL, &scroll, "scroll 42", TRUE},
        {KVHTML_HANDLE_TIMER, &timer, "timer 5", TRUE},
        {KVHTML_HANDLE_TIMER, &timer0, "timer", TRUE},
        {KVHTML_HANDLE_SIZE, &timer, "size", FALSE},  // size is never "handled"
        {KVHTML_HANDLE_DRAW, &draw, "draw 1", TRUE},
        {KVHTML_HANDLE_DATA_ARRIVED, &data, "data 3", TRUE},
        {KVHTML_HANDLE_BEHAVIOR_EVENT, &ev, "event 146 3", TRUE},
        {KVHTML_HANDLE_METHOD_CALL, &method, "method 17", TRUE},
        {KVHTML_HANDLE_METHOD_CALL, &call, "call show 2", TRUE},
        {0x400, &ev, "", FALSE},  // a group nobody knows
    };
    for (auto& c : cases) {
        recording_handler h;
        EXPECT_EQ(kvhtml::element_proc(&h, nullptr, c.group, c.record), c.result) << c.called;
        EXPECT_EQ(h.called, c.called);
    }
    // The result is the handler's own answer, and a null tag is nobody's event.
    recording_handler declines;
    declines.answer = FALSE;
    EXPECT_FALSE(kvhtml::element_proc(&declines, nullptr, KVHTML_HANDLE_KEY, &key));
    EXPECT_EQ(declines.called, "key 13");
    EXPECT_FALSE(kvhtml::element_proc(nullptr, nullptr, KVHTML_HANDLE_KEY, &key));
}

TEST(element_proc, a_failing_handler_is_logged_and_not_handled) {
    recording_handler h;
    h.fail = true;
    KVHTML_KEY_PARAMS key{KVHTML_KEY_DOWN, nullptr, 27, 0};
    test_support::log_capture log;
    EXPECT_FALSE(kvhtml::element_proc(&h, nullptr, KVHTML_HANDLE_KEY, &key));
    auto texts = log.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("element_proc"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("handler failed"), std::string::npos) << texts[0];
}

class named : public kvhtml::behavior {
public:
    named(const char* name, UINT subscription) : behavior(name, subscription) {}
};

TEST(behavior, registry_finds_the_newest_of_a_name_byte_for_byte) {
    EXPECT_EQ(kvhtml::behavior::find("probe"), nullptr);
    named older("probe", 0x01);
    EXPECT_EQ(kvhtml::behavior::find("probe"), &older);
    {
        named newer("probe", 0x02);
        named other("probe-2", 0x04);
        EXPECT_EQ(kvhtml::behavior::find("probe"), &newer);
        EXPECT_EQ(kvhtml::behavior::find("probe-2"), &other);
        EXPECT_EQ(kvhtml::behavior::find("Probe"), nullptr);
        EXPECT_EQ(kvhtml::behavior::find("probe "), nullptr);
        EXPECT_EQ(kvhtml::behavior::find(nullptr), nullptr);
    }
    // Destroyed behaviours leave the registry.
    EXPECT_EQ(kvhtml::behavior::find("probe"), &older);
    EXPECT_EQ(kvhtml::behavior::find("probe-2"), nullptr);

    KVHTML_ATTACH_BEHAVIOR_NOTIFICATION request{KVHTML_ATTACH_BEHAVIOR, nullptr, nullptr, "probe", nullptr, nullptr, 0};
    EXPECT_TRUE(kvhtml::attach_named_behavior(request));
    EXPECT_EQ(request.element_proc, &kvhtml::element_proc);
    EXPECT_EQ(request.element_tag, static_cast<kvhtml::event_handler*>(&older));
    EXPECT_EQ(request.subscription, 0x01u);
    KVHTML_ATTACH_BEHAVIOR_NOTIFICATION unknown{KVHTML_ATTACH_BEHAVIOR, nullptr, nullptr, "nobody", nullptr, nullptr, 0};
    EXPECT_FALSE(kvhtml::attach_named_behavior(unknown));
    EXPECT_EQ(unknown.element_proc, nullptr);
    EXPECT_EQ(unknown.element_tag, nullptr);
}

// Phrases from a table, as the translator gives them.
class table_translator : public kvhtml::behavior_value {
public:
    std::map<std::wstring, std::string> phrases;
    int asked = 0;
    std::string value_for_key(const std::wstring& key) override {
        ++asked;
        auto it = phrases.find(key);
        return it == phrases.end() ? std::string() : it->second;
    }
};

const char translated_page[] =
    "<style>[key] { behavior: value }</style>"
    "<p id=a key=K1>page one</p>"
    "<p id=b key=UNKNOWN>page two</p>"
    "<div role=overflow-tooltip><span id=c key=K1>tip</span></div>"
    "<div id=later></div>";

TEST(behavior_value, translates_bound_elements_and_keeps_unknown_ones) {
    table_translator tr;
    tr.phrases = {{L"K1", "<b>Hello</b>"}, {L"K2", "Second"}};
    page_window page(translated_page);
    element root = page.root();
    element a = root.find_first("#a");
    EXPECT_EQ(a.get_text(), L"Hello");
    EXPECT_EQ(a.child(0).type(), "b");
    EXPECT_EQ(root.find_first("#b").get_text(), L"page two");  // no phrase: the page's text stays
    EXPECT_EQ(root.find_first("#c").get_text(), L"tip");       // inside an overflow tooltip: never
    EXPECT_EQ(tr.bound_count(L"K1"), 1u);
    EXPECT_EQ(tr.bound_count(L"UNKNOWN"), 1u);

    // Elements that arrive later are bound as they come.
    root.find_first("#later").set_html("<i id=d key=K2>x</i><i id=e key=K1>y</i>");
    EXPECT_EQ(root.find_first("#d").get_text(), L"Second");
    EXPECT_EQ(tr.bound_count(L"K1"), 2u);

    // A new language: one key, then all of them.
    tr.phrases[L"K1"] = "Hallo";
    tr.phrases[L"K2"] = "Zweite";
    tr.refresh(L"K1");
    EXPECT_EQ(a.get_text(), L"Hallo");
    EXPECT_EQ(root.find_first("#e").get_text(), L"Hallo");
    EXPECT_EQ(root.find_first("#d").get_text(), L"Second");
    tr.refresh(L"");
    EXPECT_EQ(root.find_first("#d").get_text(), L"Zweite");
    // A key whose phrase went away keeps what it shows.
    tr.phrases.erase(L"K1");
    tr.refresh(L"");
    EXPECT_EQ(a.get_text(), L"Hallo");

    // Deleted elements leave their key's set; an empty set goes.
    root.find_first("#d").remove();
    EXPECT_EQ(tr.bound_count(L"K2"), 0u);
    a.remove();
    EXPECT_EQ(tr.bound_count(L"K1"), 1u);
}

TEST(behavior_value, replace_key_moves_an_element_to_another_key) {
    table_translator tr;
    tr.phrases = {{L"SCANNING", "Scanning..."}, {L"DONE", "Done"}};
    page_window page(translated_page);
    element root = page.root();
    element b = root.find_first("#b");

    htmlaux::replace_key(root, "#b", L"SCANNING", tr);
    EXPECT_EQ(b.get_attribute("key"), L"SCANNING");
    EXPECT_EQ(b.get_text(), L"Scanning...");
    EXPECT_EQ(tr.bound_count(L"UNKNOWN"), 0u);
    EXPECT_EQ(tr.bound_count(L"SCANNING"), 1u);
    htmlaux::replace_key(root, "#b", L"DONE", tr);
    EXPECT_EQ(b.get_text(), L"Done");
    EXPECT_EQ(tr.bound_count(L"SCANNING"), 0u);
    EXPECT_EQ(tr.bound_count(L"DONE"), 1u);
    // Later language changes follow the new key.
    tr.phrases[L"DONE"] = "Fertig";
    tr.refresh(L"DONE");
    EXPECT_EQ(b.get_text(), L"Fertig");
    // A key without a phrase binds, and leaves the text as it is.
    htmlaux::replace_key(root, "#b", L"NOTHING", tr);
    EXPECT_EQ(b.get_attribute("key"), L"NOTHING");
    EXPECT_EQ(b.get_text(), L"Fertig");
    EXPECT_EQ(tr.bound_count(L"DONE"), 0u);

    // An element whose key changed behind the translator's back still
    // leaves every set when it goes.
    element a = root.find_first("#a");
    a.set_attribute("key", L"OTHER");
    a.remove();
    EXPECT_EQ(tr.bound_count(L"K1"), 0u);

    test_support::log_capture log;
    htmlaux::replace_key(root, "#missing", L"DONE", tr);
    auto texts = log.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("htmlaux::replace_key"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("Unable to find element using: #missing"), std::string::npos) << texts[0];
    EXPECT_EQ(tr.bound_count(L"DONE"), 0u);
}

}  // namespace
}  // namespace htmlhost_tests
