#include <gtest/gtest.h>

#include "outside/kvhtml/core/html.hpp"
#include "outside/kvhtml/core/tests/helpers.hpp"

namespace kvhtml::core::testing {
namespace {

struct recording_hooks : document_hooks {
    std::vector<std::string> dying, detaching;
    void element_dying(element& e) override { dying.push_back(name(e)); }
    void element_detaching(element& e) override { detaching.push_back(name(e)); }
    static std::string name(element& e) {
        const std::string* i = e.attribute("id");
        return i ? *i : e.tag;
    }
};

TEST(dom, handles_outlive_deleted_elements) {
    recording_hooks hooks;  // outlives the page, which reports to it until its end
    page p("<div id=a><b id=b><i id=c></i></b></div>");
    p.doc.hooks = &hooks;
    element* b = p.id("b");
    element* c = p.id("c");
    document::use(b);
    document::use(c);
    std::uint32_t uid_b = b->uid, uid_c = c->uid;
    EXPECT_EQ(p.doc.by_uid(uid_b), b);
    p.doc.destroy(p.id("a"));
    EXPECT_EQ(hooks.dying, (std::vector<std::string>{"a", "b", "c"}));
    // Still memory the host may touch, but dead and unreachable.
    EXPECT_TRUE(b->dead);
    EXPECT_TRUE(c->dead);
    EXPECT_EQ(b->parent, nullptr);
    EXPECT_EQ(c->parent, nullptr);
    EXPECT_EQ(p.doc.by_uid(uid_b), nullptr);
    EXPECT_EQ(p.doc.by_uid(uid_c), nullptr);
    EXPECT_EQ(p.root()->child_count(), 0u);
    document::unuse(b);
    document::unuse(c);
}

TEST(dom, loose_elements_die_with_their_last_handle) {
    recording_hooks hooks;
    page p("<div id=a></div>");
    p.doc.hooks = &hooks;
    element* made = p.doc.create_element("SPAN");
    EXPECT_EQ(made->tag, "span");
    document::use(made);
    document::use(made);
    document::unuse(made);
    EXPECT_TRUE(hooks.dying.empty());
    document::unuse(made);
    EXPECT_EQ(hooks.dying, (std::vector<std::string>{"span"}));

    element* a = p.id("a");
    document::use(a);
    p.doc.detach(a);
    EXPECT_EQ(hooks.detaching, (std::vector<std::string>{"a"}));
    EXPECT_FALSE(a->dead);
    EXPECT_TRUE(p.doc.insert(p.root(), a, 0));  // a detached element comes back
    document::unuse(a);
    EXPECT_FALSE(a->dead);  // in the tree again: the tree holds it
}

TEST(dom, insert_counts_element_children_and_refuses_cycles) {
    page p("<div id=a>t1<b id=x></b>t2<b id=y></b></div>");
    element* a = p.id("a");
    element* n = p.doc.create_element("i");
    n->set_attribute("id", "n");
    EXPECT_TRUE(p.doc.insert(a, n, 1));
    EXPECT_EQ(shape(a), "div#a('t1',b#x,'t2',i#n,b#y)");
    EXPECT_EQ(n->index, 1u);
    EXPECT_EQ(p.id("y")->index, 2u);
    EXPECT_TRUE(p.doc.insert(a, p.id("x"), 0x7FFFFFFF));  // moves to the end
    EXPECT_EQ(shape(a), "div#a('t1','t2',i#n,b#y,b#x)");
    EXPECT_FALSE(p.doc.insert(n, a, 0));  // a into its own child
    EXPECT_FALSE(p.doc.insert(a, a, 0));
    EXPECT_EQ(shape(a), "div#a('t1','t2',i#n,b#y,b#x)");
}

TEST(dom, clone_is_deep_and_new) {
    page p("<div id=a class=k>x<b>y</b></div>");
    element* a = p.id("a");
    a->state = state_checked;
    a->handlers.push_back({reinterpret_cast<void*>(1), nullptr, 1, false});
    element* copy = p.doc.clone(a);
    EXPECT_EQ(to_html(*copy, true), to_html(*a, true));
    EXPECT_NE(copy->uid, a->uid);
    EXPECT_EQ(copy->state, state_checked);
    EXPECT_TRUE(copy->handlers.empty());
    EXPECT_EQ(copy->parent, nullptr);
    p.doc.insert(p.root(), copy, 0x7FFFFFFF);
    EXPECT_EQ(p.root()->child_count(), 2u);
}

TEST(dom, set_html_modes) {
    struct html_case {
        int mode;
        const char* expected;  // the shape of the container after the change
    };
    const html_case cases[] = {
        {0, "div#c(i#n)"},
        {1, "div#c(i#n,'a',b#t,'z')"},
        {2, "div#c('a',b#t,'z',i#n)"},
        {3, "div#c('a',i#n,'z')"},
        {4, "div#c('a',i#n,b#t,'z')"},
        {5, "div#c('a',b#t,i#n,'z')"},
    };
    for (auto& c : cases) {
        page p("<div id=c>a<b id=t></b>z</div>");
        element* target = c.mode >= 3 ? p.id("t") : p.id("c");
        element* container = p.id("c");
        EXPECT_TRUE(set_html(p.doc, target, "<i id=n></i>", c.mode)) << c.mode;
        EXPECT_EQ(shape(container), c.expected) << "mode " << c.mode;
        EXPECT_EQ(p.select("#n"), "n");
    }
    page p("<div id=c></div>");
    EXPECT_FALSE(set_html(p.doc, p.id("c"), "x", 6));
    EXPECT_FALSE(set_html(p.doc, p.root(), "x", 3));  // the root has no parent
    set_text(p.doc, p.id("c"), "<b>");
    EXPECT_EQ(to_html(*p.id("c"), false), "&lt;b&gt;");
    EXPECT_EQ(p.id("c")->inner_text(), "<b>");
}

TEST(dom, sort_orders_a_range_and_keeps_text_in_place) {
    page p("<ul id=u><li>9</li>,<li>3</li>,<li>5</li>,<li>1</li></ul>");
    element* u = p.id("u");
    auto by_text = [](element* a, element* b) { return a->inner_text().compare(b->inner_text()); };
    p.doc.sort(u, 1, 4, by_text);
    EXPECT_EQ(to_html(*u, false), "<li>9</li>,<li>1</li>,<li>3</li>,<li>5</li>");
    for (size_t i = 0; i < u->kids.size(); ++i) EXPECT_EQ(u->kids[i]->index, i);
    p.doc.sort(u, 0, 100, by_text);
    EXPECT_EQ(to_html(*u, false), "<li>1</li>,<li>3</li>,<li>5</li>,<li>9</li>");
    // A comparator that contradicts itself still leaves every element there.
    int flip = 0;
    p.doc.sort(u, 0, 4, [&](element*, element*) { return (flip++ % 3) - 1; });
    EXPECT_EQ(u->kids.size(), 4u);
    std::string all;
    for (element* e : u->kids) all += e->inner_text();
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, "1359");
}

TEST(dom, destroying_the_document_leaves_shells_for_kept_handles) {
    element* kept = nullptr;
    {
        page p("<div id=a><b id=b></b></div>");
        kept = p.id("b");
        document::use(kept);
    }
    EXPECT_TRUE(kept->dead);
    EXPECT_EQ(kept->doc, nullptr);
    document::unuse(kept);  // frees it; nothing to see but no crash or leak
}

}  // namespace
}  // namespace kvhtml::core::testing

namespace kvhtml::core::testing {
namespace {

TEST(dom, elements_made_elsewhere_move_into_the_document) {
    document limbo;
    element* made = limbo.create_element("div");
    made->set_attribute("id", "m");
    set_html(limbo, made, "<b id=inner></b>", 0);
    std::uint32_t uid = made->uid;
    page p("<div id=a></div>");
    EXPECT_TRUE(p.doc.insert(p.id("a"), made, 0x7FFFFFFF));
    EXPECT_EQ(made->doc, &p.doc);
    EXPECT_EQ(p.doc.by_uid(uid), made);
    EXPECT_EQ(limbo.by_uid(uid), nullptr);
    EXPECT_EQ(p.select("#inner"), "inner");
    EXPECT_FALSE(limbo.insert(limbo.create_element("x"), p.id("a"), 0));  // not loose: stays
}

}  // namespace
}  // namespace kvhtml::core::testing
