#include <gtest/gtest.h>

#include "htmlhost/htmlaux.hpp"
#include "htmlhost/tests/page_window.hpp"
#include "support.hpp"

namespace htmlhost_tests {
namespace {

using kvhtml::dom::element;

bool visible(const element& e) {
    BOOL v = FALSE;
    KvhtmlIsElementVisible(e.handle(), &v);
    return v != FALSE;
}

TEST(htmlaux, show_hide_enable_disable_check) {
    page_window page("<style>#p { display: none }</style><div id=p><i id=in></i></div><input id=c type=checkbox>");
    element root = page.root();
    element p = root.find_first("#p");
    EXPECT_FALSE(visible(root.find_first("#in")));
    htmlaux::hide(root, "#p");
    htmlaux::show(root, "#p");
    EXPECT_EQ(p["-display"].get(), L"block");  // whatever the sheet said
    EXPECT_TRUE(visible(root.find_first("#in")));
    htmlaux::hide(root, "#p");
    EXPECT_FALSE(visible(root.find_first("#in")));

    element c = root.find_first("#c");
    htmlaux::disable(root, "#c");
    EXPECT_EQ(c.get_state() & KVHTML_STATE_DISABLED, static_cast<UINT>(KVHTML_STATE_DISABLED));
    htmlaux::enable(root, "#c");
    EXPECT_EQ(c.get_state() & KVHTML_STATE_DISABLED, 0u);
    htmlaux::check(root, "#c", false);  // already unchecked: unchanged
    EXPECT_EQ(c.get_state(), 0u);
    EXPECT_FALSE(htmlaux::is_checked(root, "#c"));
    htmlaux::check(root, "#c", true);
    EXPECT_TRUE(htmlaux::is_checked(root, "#c"));
    htmlaux::set_text(root, "#p", L"new text");
    EXPECT_EQ(p.get_text(), L"new text");
}

TEST(htmlaux, missing_elements_are_logged_and_skipped) {
    page_window page("<div id=p>keep</div>");
    element root = page.root();
    struct helper_case {
        const char* scope;
        std::function<void()> call;
    };
    bool checked = true;
    const helper_case cases[] = {
        {"htmlaux::show", [&] { htmlaux::show(root, "#missing"); }},
        {"htmlaux::hide", [&] { htmlaux::hide(root, "#missing"); }},
        {"htmlaux::enable", [&] { htmlaux::enable(root, "#missing"); }},
        {"htmlaux::disable", [&] { htmlaux::disable(root, "#missing"); }},
        {"htmlaux::check", [&] { htmlaux::check(root, "#missing", true); }},
        {"htmlaux::is_checked", [&] { checked = htmlaux::is_checked(root, "#missing"); }},
        {"htmlaux::set_text", [&] { htmlaux::set_text(root, "#missing", L"x"); }},
    };
    for (auto& c : cases) {
        test_support::log_capture log;
        c.call();
        auto texts = log.texts();
        ASSERT_EQ(texts.size(), 1u) << c.scope;
        EXPECT_NE(texts[0].find(c.scope), std::string::npos) << texts[0];
        EXPECT_NE(texts[0].find("Unable to find element using: #missing"), std::string::npos) << texts[0];
        EXPECT_EQ(log.levels().at(0), 3) << c.scope;
    }
    EXPECT_FALSE(checked);
    // An invalid selector and a root without element are skipped the same way.
    test_support::log_capture log;
    htmlaux::set_text(root, "div[", L"x");
    htmlaux::show(element(), "#p");
    EXPECT_EQ(log.texts().size(), 2u);
    EXPECT_EQ(root.find_first("#p").get_text(), L"keep");
}

}  // namespace
}  // namespace htmlhost_tests
