// Behaviours named by rules that look at siblings: the host hears of them
// with the change that brings them (the restyle of changed elements that
// follows every change), not at some later full restyle.
#include <gtest/gtest.h>

#include <functional>

#include "outside/kvhtml/core/tests/helpers.hpp"

namespace kvhtml::core::testing {
namespace {

element* made(page& p, const char* tag, const char* id) {
    element* e = p.doc.create_element(tag);
    e->set_attribute("id", id);
    return e;
}

void set(page& p, const char* id, const char* name, const char* value) {
    p.id(id)->set_attribute(name, value);
    p.doc.attributes_changed(p.id(id), name);
}

struct sibling_case {
    const char* what;
    const char* markup;  // sheet and elements
    std::function<void(page&)> change;
    std::vector<std::string> expected;  // "id:behaviour" the change brings, in document order
};

TEST(sibling_behaviors, are_reported_with_the_change_that_brings_them) {
    const char* head_tail = "<style>li:first-child { behavior: head } li + li { behavior: tail }</style>"
                            "<ul id=u><li id=a></li><li id=b></li></ul>";
    const sibling_case cases[] = {
        {"insertion before the first child", head_tail,
         [](page& p) { p.doc.insert(p.id("u"), made(p, "li", "n"), 0); }, {"n:head", "a:tail"}},
        {"removal of the first child", head_tail, [](page& p) { p.doc.destroy(p.id("a")); }, {"b:head"}},
        {"detaching the first child", head_tail, [](page& p) { p.doc.detach(p.id("a")); }, {"b:head"}},
        {"attribute that makes [a] + p match",
         "<style>[a] + p { behavior: after-a }</style><div id=x></div><p id=p></p><p id=q></p>",
         [](page& p) { set(p, "x", "a", ""); }, {"p:after-a"}},
        {"attribute seen through ~ far ahead",
         "<style>[a] ~ p { behavior: later }</style><div id=x></div><i></i><i></i><p id=p></p>",
         [](page& p) { set(p, "x", "a", "1"); }, {"p:later"}},
        {"state seen by the next sibling",
         "<style>:checked + label { behavior: on }</style><input id=c><label id=l></label>",
         [](page& p) {
             p.id("c")->state |= state_checked;
             p.doc.attributes_changed(p.id("c"), "");
         },
         {"l:on"}},
        {"append after the last child",
         "<style>li:not(:last-child) { behavior: sep }</style><ul id=u><li id=a></li></ul>",
         [](page& p) { p.doc.insert(p.id("u"), made(p, "li", "n"), 0x7FFFFFFF); }, {"a:sep"}},
        {"a chain of + two places on",
         "<style>li:first-child + li + li { behavior: third }</style>"
         "<ul id=u><li id=a></li><li id=b></li><li id=c></li><li id=d></li></ul>",
         [](page& p) { p.doc.insert(p.id("u"), made(p, "li", "n"), 0); }, {"b:third"}},
        {"nth-child far from the insertion",
         "<style>li:nth-child(5) { behavior: fifth }</style>"
         "<ul id=u><li id=a></li><li id=b></li><li id=c></li><li id=d></li><li id=e></li><li id=f></li></ul>",
         [](page& p) { p.doc.insert(p.id("u"), made(p, "li", "n"), 0); }, {"d:fifth"}},
        {"nth-last-child before an append",
         "<style>li:nth-last-child(3) { behavior: x }</style>"
         "<ul id=u><li id=a></li><li id=b></li><li id=c></li><li id=d></li></ul>",
         [](page& p) { p.doc.insert(p.id("u"), made(p, "li", "n"), 0x7FFFFFFF); }, {"c:x"}},
        {"a structural rule that says none gives way",
         "<style>p { behavior: plain } p:first-child { behavior: none }</style>"
         "<div id=d><p id=a></p><p id=b></p></div>",
         [](page& p) { p.doc.insert(p.id("d"), made(p, "p", "n"), 0); }, {"a:plain"}},
        {"an element that became empty, seen by its next sibling",
         "<style>div:empty + p { behavior: e }</style><div id=d>x</div><p id=p></p>",
         [](page& p) { set_text(p.doc, p.id("d"), ""); }, {"p:e"}},
        {"an element that is no longer empty",
         "<style>div:not(:empty) + p { behavior: full }</style><div id=d></div><p id=p></p>",
         [](page& p) { p.doc.insert(p.id("d"), made(p, "i", "i"), 0); }, {"p:full"}},
        {"a structural rule above the element",
         "<style>li:first-child > span { behavior: inner }</style>"
         "<ul id=u><li id=a></li><li id=b><span id=s></span></li></ul>",
         [](page& p) { p.doc.destroy(p.id("a")); }, {"s:inner"}},
        {"sorting", head_tail,
         [](page& p) { p.doc.sort(p.id("u"), 0, 2, [](element* x, element* y) { return x->uid > y->uid ? -1 : 1; }); },
         {"b:head", "a:tail"}},
    };
    for (auto& c : cases) {
        page p(c.markup);
        std::vector<std::string> seen;
        auto sink = [&](element& e, const std::string& name) {
            const std::string* id = e.attribute("id");
            seen.push_back((id ? *id : e.tag) + ":" + name);
        };
        // What the page names from the start is no news.
        p.doc.mark_dirty(p.root());
        p.doc.styles->restyle(p.doc, sink);
        seen.clear();
        c.change(p);
        p.doc.styles->restyle(p.doc, sink, true);
        EXPECT_EQ(seen, c.expected) << c.what;
        // A full restyle later has nothing more to tell.
        seen.clear();
        p.doc.styles->restyle(p.doc, sink);
        EXPECT_TRUE(seen.empty()) << c.what;
    }
}

}  // namespace
}  // namespace kvhtml::core::testing
