#include <gtest/gtest.h>

#include "outside/kvhtml/core/css.hpp"
#include "outside/kvhtml/core/tests/helpers.hpp"

namespace kvhtml::core::testing {
namespace {

struct cascade_case {
    const char* css;
    const char* element_attributes;
    const char* expected_color;
};

TEST(cascade, orders_by_importance_specificity_and_source) {
    const cascade_case cases[] = {
        {"p { color: red } p { color: blue }", "", "blue"},
        {".c { color: red } p { color: blue }", "class=c", "red"},
        {"#i { color: red } .c.d.e { color: blue }", "id=i class='c d e'", "red"},
        {"p { color: red !important } #i { color: blue }", "id=i", "red"},
        {"p { color: red !important } p { color: blue !important }", "", "blue"},
        {"#i { color: red }", "id=i style='color: green'", "green"},
        {"p { color: red !important }", "style='color: green'", "red"},
        {"p { color: red !important }", "style='color: green !important'", "green"},
        {"div p { color: red } p { color: blue }", "", "red"},
        {"p { color: red } @media print { p { color: blue } } @media screen { p { margin: 0 } }", "", "red"},
        {"@media screen, print { p { color: blue } }", "", "blue"},
        {"p { color: red; color: bogus-but-kept } x[ { color: blue } p { nonsense }", "", "bogus-but-kept"},
        {"/* c { } */ p { color: /* here */ red }", "", "red"},
        {"p { COLOR: RED }", "", "red"},
        {"div { color: red } p { color: inherit }", "", "red"},
        {"div { color: red } p { color: initial }", "", "black"},
        {"div { color: red }", "", "red"},  // inherited
        {"p { color: red", "", "red"},      // unclosed block at the end
    };
    for (auto& c : cases) {
        page p(std::string("<style>") + c.css + "</style><div><p " + c.element_attributes + ">x</p></div>");
        element* target = p.doc.root()->kids.at(1)->kids.at(0);
        EXPECT_EQ((*target->style)[property::color], c.expected_color) << c.css << " / " << c.element_attributes;
    }
}

TEST(cascade, host_values_outrank_the_page) {
    page p("<style>#a { display: flex !important }</style><div id=a style='display:inline'></div>");
    EXPECT_EQ(p.style("a", property::display), "flex");
    element* a = p.id("a");
    a->style_overrides = {{"display", "none"}};
    p.doc.mark_dirty(a);
    EXPECT_EQ(p.style("a", property::display), "none");
    a->style_overrides = {{"display", "block"}};
    p.doc.mark_dirty(a);
    EXPECT_EQ(p.style("a", property::display), "block");
}

TEST(cascade, expands_shorthands) {
    page p("<style>#a { margin: 1px 2px 3px; padding: 4px; border: 2px solid #abc; border-radius: 3px 5px;"
           " background: #fff url(a.png) no-repeat right top; font: italic bold 12px/14px \"Segoe UI\", sans-serif;"
           " flex: 2; overflow: hidden auto; border-left: dashed }</style><div id=a></div>");
    const std::pair<property, const char*> expected[] = {
        {property::margin_top, "1px"},          {property::margin_right, "2px"},
        {property::margin_bottom, "3px"},       {property::margin_left, "2px"},
        {property::padding_left, "4px"},        {property::border_top_width, "2px"},
        {property::border_top_style, "solid"},  {property::border_bottom_color, "#abc"},
        {property::border_left_style, "dashed"}, {property::border_left_width, "medium"},
        {property::border_top_left_radius, "3px"}, {property::border_top_right_radius, "5px"},
        {property::border_bottom_right_radius, "3px"}, {property::background_color, "#fff"},
        {property::background_image, "url(a.png)"}, {property::background_repeat, "no-repeat"},
        {property::background_position, "right top"}, {property::font_style, "italic"},
        {property::font_weight, "bold"},        {property::font_size, "12px"},
        {property::line_height, "14px"},        {property::font_family, "\"Segoe UI\", sans-serif"},
        {property::flex_grow, "2"},             {property::flex_shrink, "1"},
        {property::flex_basis, "0%"},           {property::overflow_x, "hidden"},
        {property::overflow_y, "auto"},
    };
    for (auto& [prop, value] : expected) EXPECT_EQ(p.style("a", prop), value) << info(prop).name;
}

TEST(cascade, built_in_sheet_gives_display_and_inheritance_works) {
    page p("<style>body { font-size: 20px; visibility: hidden } #v { visibility: visible }</style>"
           "<body><div id=d><span id=s>x</span></div><ul><li id=l></li></ul><b id=v></b></body>");
    EXPECT_EQ(p.style("d", property::display), "block");
    EXPECT_EQ(p.style("s", property::display), "inline");
    EXPECT_EQ(p.style("l", property::display), "list-item");
    EXPECT_EQ(p.style("s", property::font_size), "20px");
    EXPECT_EQ(p.style("s", property::visibility), "hidden");
    EXPECT_FALSE(is_visible(p.id("s")));
    EXPECT_TRUE(is_visible(p.id("v")));
}

TEST(cascade, visibility_follows_display_of_ancestors) {
    page p("<style>.gone { display: none }</style><div id=a><div id=b><i id=c></i></div></div>");
    EXPECT_TRUE(is_visible(p.id("c")));
    p.id("a")->set_attribute("class", "gone");
    p.doc.attributes_changed(p.id("a"), "class");
    p.doc.styles->restyle(p.doc);
    EXPECT_FALSE(is_visible(p.id("c")));
    element* c = p.id("c");
    p.doc.detach(c);
    p.doc.styles->restyle(p.doc);
    EXPECT_FALSE(is_visible(c));  // not in the document
}

TEST(cascade, sheets_come_from_links_and_imports_in_order) {
    page p("", {{"css/main.css", "@import url(\"parts/a.css\"); @import 'missing.css'; #x { margin-top: 3px }"},
                {"css/parts/a.css", "#x { color: red; margin-top: 1px } @import 'late.css';"},
                {"css/parts/late.css", "#x { color: blue }"},
                {"css/loop.css", "@import 'loop.css'; #x { padding-top: 9px }"}});
    p.load("<link rel=stylesheet href=css/main.css><link rel='Stylesheet' href='css/loop.css'>"
           "<style>#x { color: green }</style><link rel=icon href=icon.css><div id=x></div>",
           "page.html");
    EXPECT_EQ(p.style("x", property::color), "green");
    EXPECT_EQ(p.style("x", property::margin_top), "3px");
    EXPECT_EQ(p.style("x", property::padding_top), "9px");
    // @import after a rule is ignored, an icon is no sheet, and an import
    // cycle ends after a few rounds.
    EXPECT_EQ(std::count(p.fetched.begin(), p.fetched.end(), "css/parts/late.css"), 0);
    EXPECT_EQ(std::count(p.fetched.begin(), p.fetched.end(), "icon.css"), 0);
    EXPECT_EQ(std::count(p.fetched.begin(), p.fetched.end(), "css/missing.css"), 1);
    EXPECT_LE(std::count(p.fetched.begin(), p.fetched.end(), "css/loop.css"), 10);
    EXPECT_EQ(resolve_url("html/page.html", "../img/a.png"), "img/a.png");
    EXPECT_EQ(resolve_url("a/b.css", "res:x.css"), "res:x.css");
    EXPECT_EQ(resolve_url("a/b.css", "/x.css"), "/x.css");
}

TEST(cascade, reports_behaviours_once_per_element_and_name) {
    page p("<style>.tabs { behavior: tabs } #two { behavior: value focus } p { behavior: none }</style>"
           "<div id=one class=tabs></div><div id=two></div><p id=three></p>");
    std::vector<std::string> seen;
    auto sink = [&](element& e, const std::string& name) { seen.push_back(*e.attribute("id") + ":" + name); };
    for (element* e : {p.id("one"), p.id("two"), p.id("three")}) {
        e->behaviors.clear();
        p.doc.mark_dirty(e);
    }
    p.doc.styles->restyle(p.doc, sink);
    EXPECT_EQ(seen, (std::vector<std::string>{"one:tabs", "two:value", "two:focus"}));
    seen.clear();
    p.doc.mark_dirty(p.root());
    p.doc.styles->restyle(p.doc, sink);
    EXPECT_TRUE(seen.empty());
    // An element inserted later, and one made from markup.
    element* added = p.doc.create_element("div");
    added->set_attribute("id", "four");
    added->set_attribute("class", "tabs");
    p.doc.insert(p.root(), added, 0x7FFFFFFF);
    set_html(p.doc, p.id("three"), "<span id=five class=tabs></span>", 0);
    p.doc.styles->restyle(p.doc, sink);
    EXPECT_EQ(seen, (std::vector<std::string>{"five:tabs", "four:tabs"}));  // document order
}

TEST(cascade, specified_value_is_the_pages_own) {
    page p("<style>#a { color: red; margin: 2px }</style><div id=a style='padding-top: 1px'><i id=b></i></div>");
    p.doc.styles->restyle(p.doc);
    EXPECT_EQ(p.doc.styles->specified(p.doc, p.id("a"), "color"), "red");
    EXPECT_EQ(p.doc.styles->specified(p.doc, p.id("a"), "margin"), "2px");
    EXPECT_EQ(p.doc.styles->specified(p.doc, p.id("a"), "padding-top"), "1px");
    EXPECT_EQ(p.doc.styles->specified(p.doc, p.id("a"), "display"), "");  // built-in only
    EXPECT_EQ(p.doc.styles->specified(p.doc, p.id("b"), "color"), "");    // inherited only
    EXPECT_EQ(p.doc.styles->specified(p.doc, p.id("a"), "no-such"), "");
}

}  // namespace
}  // namespace kvhtml::core::testing

namespace kvhtml::core::testing {
namespace {

TEST(cascade, sibling_selectors_follow_inserts_at_the_next_full_restyle) {
    page p("<style>li:first-child { color: red } li + li { color: blue }</style><ul id=u><li id=a></li></ul>");
    EXPECT_EQ(p.style("a", property::color), "red");
    element* n = p.doc.create_element("li");
    n->set_attribute("id", "n");
    p.doc.insert(p.id("u"), n, 0);
    p.doc.styles->restyle(p.doc, {}, true);  // the new element only
    EXPECT_EQ((*n->style)[property::color], "red");
    EXPECT_EQ((*p.id("a")->style)[property::color], "red");  // not yet seen as second
    p.doc.styles->restyle(p.doc);
    EXPECT_EQ((*p.id("a")->style)[property::color], "blue");
    p.doc.destroy(n);
    EXPECT_EQ(p.style("a", property::color), "red");
}

}  // namespace
}  // namespace kvhtml::core::testing
