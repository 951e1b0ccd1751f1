#include <gtest/gtest.h>

#include <stdexcept>

#include "htmlhost/tests/page_window.hpp"

namespace htmlhost_tests {
namespace {

using kvhtml::dom::element;

std::string what_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no exception";
}

TEST(dom_element, checked_constructor_and_counted_copies) {
    page_window page("<div id=a title=t><b id=b></b></div>");
    EXPECT_EQ(what_of([] { element e(nullptr, element::checked); }), "attempt to access non existing dom element");
    element unchecked(nullptr);
    EXPECT_FALSE(unchecked);
    EXPECT_EQ(what_of([&] { unchecked.children_count(); }), "attempt to access non existing dom element");

    element b = page.root().find_first("#%s", "b");
    element copy = b;
    element moved = std::move(copy);
    EXPECT_EQ(moved, b);
    EXPECT_FALSE(copy);
    b.remove();
    // The copies still hold their references: safe, and every call fails.
    EXPECT_NE(what_of([&] { moved.get_attribute("id"); }), "no exception");
    EXPECT_EQ(what_of([&] { element again(moved.handle(), element::checked); }),
              "attempt to access non existing dom element");
}

TEST(dom_element, find_first_and_find_all) {
    page_window page("<ul id=u><li id=l1>1<li id=l2>2<li id=l3>3</ul>");
    element root = page.root();
    EXPECT_EQ(root.find_first("li:nth-child(%d)", 2).get_attribute("id"), L"l2");
    EXPECT_EQ(what_of([&] { root.find_first("#%s", "none"); }), "Unable to find element using: #none");
    EXPECT_EQ(what_of([&] { root.find_first("div["); }), "Unable to find element using: div[");
    std::string long_selector(3000, 'a');
    EXPECT_NE(what_of([&] { root.find_first(long_selector.c_str()); }), "no exception");
    std::vector<std::wstring> seen;
    root.find_all("li", [&](const element& e) {
        seen.push_back(e.get_attribute("id"));
        return seen.size() == 2;
    });
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"l1", L"l2"}));
    EXPECT_EQ(what_of([&] { root.find_all("li", [](const element&) -> bool { throw std::runtime_error("mine"); }); }),
              "mine");
}

TEST(dom_element, attribute_accessor_with_style_names) {
    page_window page("<style>#s { color: red }</style><div id=s display=attr-value></div><div id=n></div>");
    element root = page.root();
    element s = root.find_first("#s");
    element n = root.find_first("#n");
    EXPECT_EQ(s["-color"].get(), L"red");
    EXPECT_EQ(s["-display"].get(), L"attr-value");  // no style display: the attribute
    EXPECT_EQ(n["-display"].get(), L"");
    n["-display"] = L"none";
    EXPECT_EQ(n["-display"].get(), L"none");
    EXPECT_EQ(n.get_attribute("display"), L"");  // went to the style, not the attribute
    n["title"] = L"hello";
    EXPECT_EQ(std::wstring(n["title"]), L"hello");
    n["title"] = nullptr;
    EXPECT_EQ(n["title"].get(), L"");
}

TEST(dom_element, tree_text_state_and_methods) {
    page_window page("<ul id=u><li>c</li><li>a</li><li>b</li></ul><input id=c type=checkbox>");
    element root = page.root();
    element u = root.find_first("#u");
    EXPECT_EQ(u.children_count(), 3u);
    EXPECT_EQ(u.child(1).get_text(), L"a");
    EXPECT_EQ(u.child(2).index(), 2u);
    EXPECT_EQ(u.child(0).parent(), u);
    EXPECT_EQ(u.type(), "ul");
    u.sort(0, 3, [](const element& x, const element& y) { return x.get_text() < y.get_text(); });
    EXPECT_EQ(u.get_html(false), "<li>a</li><li>b</li><li>c</li>");
    element copy = u.child(0).clone();
    copy.set_text(L"z");
    copy.set_text(nullptr);  // nothing
    u.insert(copy, KVHTML_APPEND_INDEX);
    EXPECT_EQ(u.child(3).get_text(), L"z");
    u.set_html("<li>only</li>");
    EXPECT_EQ(u.children_count(), 1u);
    EXPECT_EQ(what_of([&] { u.child(5); }), "kvhtml[KvhtmlGetNthChild failed with result 3]");

    element c = root.find_first("#c");
    c.set_state(KVHTML_STATE_CHECKED | KVHTML_STATE_FOCUS, true);
    c.set_state(KVHTML_STATE_FOCUS, false);
    EXPECT_EQ(c.get_state(), static_cast<UINT>(KVHTML_STATE_CHECKED));
    VALUE v = c.get_value();
    EXPECT_EQ(v.t, static_cast<UINT>(T_BOOL));
    EXPECT_EQ(v.d, 1u);
    ValueClear(&v);
    // No behaviour answers: an undefined result, no failure.
    VALUE one;
    ValueInit(&one);
    one.t = T_INT;
    VALUE r = c.call_method("anything", &one);
    EXPECT_EQ(r.t, static_cast<UINT>(T_UNDEFINED));
    c.post_event(KVHTML_ELEMENT_EXPANDED);
    page.pump();
}

}  // namespace
}  // namespace htmlhost_tests
