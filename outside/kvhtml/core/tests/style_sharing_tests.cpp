// Elements styled alike share one computed style, and rules whose ancestor
// parts no ancestor can match are passed over quickly. Neither shortcut may
// change a single computed value: these cases look for one that does.
#include <gtest/gtest.h>

#include <memory>

#include "outside/kvhtml/core/css.hpp"
#include "outside/kvhtml/core/tests/helpers.hpp"

namespace kvhtml::core::testing {
namespace {

std::string color(element* e) { return (*e->style)[property::color]; }

TEST(shared_styles, alike_elements_share_and_each_change_stays_its_own) {
    page p("<style>li { color: blue } .hot { color: red }</style>"
           "<div style='font-size: 20px'><ul><li id=a></li><li id=b></li><li id=c></li></ul></div>"
           "<ul><li id=d></li></ul>");
    element *a = p.id("a"), *b = p.id("b"), *c = p.id("c"), *d = p.id("d");
    EXPECT_EQ(a->style.get(), b->style.get());
    EXPECT_EQ(b->style.get(), c->style.get());
    // Same rules, another parent style: its own (the font size inherits).
    EXPECT_NE(a->style.get(), d->style.get());
    EXPECT_EQ((*a->style)[property::font_size], "20px");
    EXPECT_NE((*d->style)[property::font_size], "20px");

    // A host value on one element, a class on another, a style attribute
    // on a third: each changes that element only.
    a->style_overrides = {{"color", "green"}};
    p.doc.mark_dirty(a);
    b->set_attribute("class", "hot");
    p.doc.mark_dirty(b);
    c->set_attribute("style", "color: navy");
    p.doc.mark_dirty(c);
    p.doc.styles->restyle(p.doc);
    EXPECT_EQ(color(a), "green");
    EXPECT_EQ(color(b), "red");
    EXPECT_EQ(color(c), "navy");
    EXPECT_EQ(color(d), "blue");

    // The same style attribute text on two elements gives the same values.
    d->set_attribute("style", "color: navy");
    p.doc.mark_dirty(d);
    p.doc.styles->restyle(p.doc);
    EXPECT_EQ(color(d), "navy");
    EXPECT_EQ(color(c), "navy");
}

TEST(shared_styles, a_sheet_added_later_reaches_elements_that_shared) {
    page p("<style>p { color: blue }</style><p id=a></p><p id=b></p>");
    ASSERT_EQ(p.id("a")->style.get(), p.id("b")->style.get());
    p.doc.styles->add_sheet(std::make_shared<stylesheet>(parse_stylesheet("#b { color: red }")), style_engine::author);
    p.doc.mark_dirty(p.root());
    p.doc.styles->restyle(p.doc);
    EXPECT_EQ(color(p.id("a")), "blue");
    EXPECT_EQ(color(p.id("b")), "red");
}

struct ancestor_case {
    const char* css;
    const char* html;  // the element with id=t is looked at
    const char* expected_color;
};

TEST(ancestor_filter, passes_over_only_rules_that_cannot_match) {
    const ancestor_case cases[] = {
        {".x span { color: red }", "<div class='a x b'><p><span id=t></span></p></div>", "red"},
        {".x span { color: red }", "<div class='xx'><span id=t></span></div>", "black"},
        {"#o > span { color: red }", "<div id=o><span id=t></span></div>", "red"},
        {"div#o span { color: red }", "<p id=o><span id=t></span></p>", "black"},
        {"[data-k=v] span { color: red }", "<div data-k=v><span id=t></span></div>", "red"},
        {"[data-k=v] span { color: red }", "<div data-k=w><span id=t></span></div>", "black"},
        {"[data-k=V i] span { color: red }", "<div data-k=v><span id=t></span></div>", "red"},
        {"[data-k^=v] span { color: red }", "<div data-k=vw><span id=t></span></div>", "red"},
        {"[DATA-K=v] span { color: red }", "<div Data-K=v><span id=t></span></div>", "red"},
        {"DIV.x SPAN { color: red }", "<div class=x><span id=t></span></div>", "red"},
        // An ancestor of a sibling is an ancestor of the element too.
        {".x i + span { color: red }", "<div class=x><i></i><span id=t></span></div>", "red"},
        {".x ~ span { color: red }", "<div><i class=x></i><span id=t></span></div>", "red"},
        {"ul:not(.y) .x span { color: red }", "<ul><li class=x><span id=t></span></li></ul>", "red"},
    };
    for (auto& c : cases) {
        page p(std::string("<style>") + c.css + "</style>" + c.html);
        ASSERT_NE(p.id("t"), nullptr) << c.html;
        EXPECT_EQ(color(p.id("t")), c.expected_color) << c.css << " / " << c.html;
    }
}

TEST(ancestor_filter, follows_changes_to_ancestors_and_deep_trees) {
    page p("<style>.on span { color: red } [data-s=open] span { color: green }</style>"
           "<div id=o><p><span id=t></span></p></div>");
    EXPECT_EQ(color(p.id("t")), "black");
    element* o = p.id("o");
    o->set_attribute("class", "on");
    p.doc.mark_dirty(o);
    p.doc.styles->restyle(p.doc, {}, true);
    EXPECT_EQ(color(p.id("t")), "red");
    o->set_attribute("data-s", "open");
    p.doc.mark_dirty(o);
    p.doc.styles->restyle(p.doc, {}, true);
    EXPECT_EQ(color(p.id("t")), "green");

    // Hundreds of ancestors alike fill the filter's counts to the top; a
    // rule that needs what none of them has still fails, one that needs
    // what they have still matches, and a subtree styled afterwards is
    // judged afresh.
    std::string deep = "<style>.d span { color: blue } .none span { color: red }</style>";
    for (int i = 0; i < 300; ++i) deep += "<div class=d>";
    deep += "<span id=t></span>";
    for (int i = 0; i < 300; ++i) deep += "</div>";
    deep += "<section><span id=u></span></section>";
    page q(deep);
    EXPECT_EQ(color(q.id("t")), "blue");
    EXPECT_EQ(color(q.id("u")), "black");
}

}  // namespace
}  // namespace kvhtml::core::testing
