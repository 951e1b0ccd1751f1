#include <gtest/gtest.h>

#include "outside/kvhtml/core/tests/helpers.hpp"

namespace kvhtml::core::testing {
namespace {

const char* const sample = R"(
<div id=top class="box main" lang=en-US data-x="alpha beta">
  <div id=strip class=strip><span id=t1 panel=a selected>1</span><span id=t2 panel=b>2</span></div>
  <div id=pages><p id=pa name=a>A</p><p id=pb name=b></p><p id=pc name=c>C</p></div>
  <div id=inner class=box><div id=nested class=strip><b id=deep></b></div></div>
  <input id=check type=checkbox checked><input id=off type=checkbox disabled>
</div>
<div id=shim1 class=shim></div><div id=shim2 class=shim></div>
)";

struct selector_case {
    const char* selector;
    const char* under;  // id of the scope element; "" for the root
    const char* expected;
};

TEST(selectors, match_as_a_table_of_cases) {
    page p(sample);
    const selector_case cases[] = {
        {"#t1", "", "t1"},
        {"span", "", "t1,t2"},
        {"SPAN", "", "t1,t2"},
        {"*", "pages", "pa,pb,pc"},
        {".box", "", "top,inner"},
        {".box.main", "", "top"},
        {"div.strip", "", "strip,nested"},
        {"[panel]", "", "t1,t2"},
        {"[panel=b]", "", "t2"},
        {"[panel='a'][selected]", "", "t1"},
        {"[data-x~=beta]", "", "top"},
        {"[data-x~=alp]", "", ""},
        {"[lang|=en]", "", "top"},
        {"[data-x^=alp]", "", "top"},
        {"[data-x$=\"beta\"]", "", "top"},
        {"[data-x*=\"ha b\"]", "", "top"},
        {"[data-x^='']", "", ""},
        {"[panel=A i]", "", "t1"},
        {"p:first-child", "", "pa"},
        {"p:last-child", "", "pc"},
        {"b:only-child", "", "deep"},
        {"p:nth-child(2)", "", "pb"},
        {"p:nth-child(odd)", "", "pa,pc"},
        {"p:nth-child(2n+1)", "", "pa,pc"},
        {"p:nth-child(-n+2)", "", "pa,pb"},
        {"p:nth-last-child(1)", "", "pc"},
        {"p:empty", "", "pb"},
        {"p:not(:empty)", "", "pa,pc"},
        {"span:not([selected], #x)", "", "t2"},
        {"input:checked", "", "check"},
        {"input:disabled", "", "off"},
        {"#top > .strip", "", "strip"},
        {"#top .strip", "", "strip,nested"},
        {"#pa + p", "", "pb"},
        {"#pa ~ p", "", "pb,pc"},
        {"#strip ~ div > p:first-child", "", "pa"},
        {"#t1, #pc, #t1", "", "t1,pc"},
        // The scope is what :root stands for.
        {":root>.strip", "top", "strip"},
        {":root>.strip", "inner", "nested"},
        {":root .strip", "top", "strip,nested"},
        {":root>div.shim", "", "shim1,shim2"},
        {":root>div.shim:last-child", "", "shim2"},
        {":root>[panel][selected]", "strip", "t1"},
        {"#deep", "inner", "deep"},
        {"#deep", "pages", ""},
        {"#top", "top", ""},  // the scope element itself is not below itself
        // Invalid selectors are errors, not empty results.
        {"", "", "invalid"},
        {"div >", "", "invalid"},
        {"[a", "", "invalid"},
        {"[a=]", "", "invalid"},
        {"p:nth-child(x)", "", "invalid"},
        {":no-such-class", "", "invalid"},
        {"a::before", "", "invalid"},
        {"#", "", "invalid"},
        {"a,,b", "", "invalid"},
        {"p:not(", "", "invalid"},
        {"[a='x]", "", "invalid"},
    };
    for (auto& c : cases) {
        element* under = *c.under ? p.id(c.under) : p.root();
        EXPECT_EQ(p.select(c.selector, under), c.expected) << "selector " << c.selector << " under '" << c.under << "'";
    }
}

TEST(selectors, state_classes_follow_the_state_bits) {
    page p(sample);
    const std::pair<const char*, std::uint32_t> states[] = {
        {":focus", state_focus},         {":current", state_current}, {":checked", state_checked},
        {":disabled", state_disabled},   {":hover", state_hover},     {":active", state_active},
        {":expanded", state_expanded},   {":collapsed", state_collapsed}, {":anchor", state_anchor},
    };
    element* t2 = p.id("t2");
    for (auto& [name, bit] : states) {
        std::string sel = std::string("span") + name;
        EXPECT_EQ(p.select(sel), "") << name;
        t2->state |= bit;
        EXPECT_EQ(p.select(sel), "t2") << name;
        t2->state &= ~bit;
    }
}

TEST(selectors, specificity_counts_ids_classes_and_types) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"*", 0}, {"p", 1}, {"div p", 2}, {".a", 0x100}, {"p.a[b]:first-child", 0x301},
        {"#x", 0x10000}, {"#x .y > p", 0x10101}, {":not(#x, .y)", 0x10000}, {"p:not(.a)", 0x101},
    };
    for (auto& [text, weight] : cases) {
        auto s = parse_selector(text);
        ASSERT_TRUE(s) << text;
        EXPECT_EQ(s->items[0].specificity, weight) << text;
    }
}

TEST(selectors, id_lookup_follows_tree_changes) {
    page p(sample);
    element* pb = p.id("pb");
    pb->set_attribute("id", "renamed");
    p.doc.attributes_changed(pb, "id");
    EXPECT_EQ(p.select("#renamed"), "renamed");
    EXPECT_EQ(p.select("#pb"), "");
    element* extra = p.doc.create_element("i");
    extra->set_attribute("id", "pc");  // a second element with the same id
    p.doc.insert(p.id("top"), extra, 0);
    EXPECT_EQ(p.select("#pc"), "pc,pc");
    p.doc.destroy(extra);
    EXPECT_EQ(p.select("#pc"), "pc");
}

}  // namespace
}  // namespace kvhtml::core::testing
