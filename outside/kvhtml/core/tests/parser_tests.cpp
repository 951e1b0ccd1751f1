#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "outside/kvhtml/core/html.hpp"
#include "outside/kvhtml/core/tests/helpers.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core::testing {

std::string shape(const node* n) {
    if (n->kind == node::text_node) return "'" + n->data + "'";
    if (n->kind == node::comment_node) return "!" + n->data;
    auto* e = static_cast<const element*>(n);
    std::string out = e->tag;
    if (const std::string* i = e->attribute("id")) out += "#" + *i;
    if (!e->nodes.empty()) {
        out += "(";
        for (size_t k = 0; k < e->nodes.size(); ++k) out += (k ? "," : "") + shape(e->nodes[k]);
        out += ")";
    }
    return out;
}

namespace {

std::string body_shape(const std::string& html) {
    document doc;
    load_page(doc, html, "", {});
    return shape(doc.root());
}

struct parse_case {
    const char* html;
    const char* shape;
};

TEST(html_parser, builds_the_tree_a_browser_would) {
    const parse_case cases[] = {
        {"<p>a<p>b", "html(p('a'),p('b'))"},
        {"<ul><li>a<li>b</ul>", "html(ul(li('a'),li('b')))"},
        {"<select><option>a<option>b</select>", "html(select(option('a'),option('b')))"},
        {"<table><tr><td>1<td>2<tr><td>3</table>", "html(table(tr(td('1'),td('2')),tr(td('3'))))"},
        {"<DIV ID=x>A</DIV>", "html(div#x('A'))"},
        {"<br><img src=a.png><input>", "html(br,img,input)"},
        {"<p>x<div>y</div>", "html(p('x'),div('y'))"},
        {"<div><p>x</div>y", "html(div(p('x')),'y')"},
        {"a &amp; b &lt;c&gt; &#65;&#x42; &nbsp;", "html('a & b <c> AB \xC2\xA0')"},
        {"&unknown; &amp", "html('&unknown; &')"},
        {"<!-- note --><b>x</b>", "html(! note ,b('x'))"},
        {"<!DOCTYPE html><html lang=en><body>x</body></html>", "html(body('x'))"},
        {"<style>p < b { }</style>", "html(style('p < b { }'))"},
        {"<script>if (a</b) x = '</scr';</script>z", "html(script('if (a</b) x = '</scr';'),'z')"},
        {"<textarea>&lt;b&gt;</textarea>", "html(textarea('<b>'))"},
        {"<dl><dt>a<dd>b<dt>c</dl>", "html(dl(dt('a'),dd('b'),dt('c')))"},
        {"<div/>x", "html(div,'x')"},
        {"</p>x</span>", "html('x')"},
        {"a < b", "html('a < b')"},
        {"<h1>a<h2>b", "html(h1('a'),h2('b'))"},
        {"<table><tbody><tr><td>1</tbody><tbody><tr><td>2</table>",
         "html(table(tbody(tr(td('1'))),tbody(tr(td('2')))))"},
    };
    for (auto& c : cases) EXPECT_EQ(body_shape(c.html), c.shape) << "markup: " << c.html;
}

TEST(html_parser, reads_attributes_in_every_quoting) {
    document doc;
    load_page(doc, R"(<a href="x y" title='q"t' data-n=5 checked Data-Up="&amp;&copy=1" href="second">)", "", {});
    element* a = doc.root()->kids.at(0);
    EXPECT_EQ(*a->attribute("href"), "x y");  // the first of two wins
    EXPECT_EQ(*a->attribute("title"), "q\"t");
    EXPECT_EQ(*a->attribute("data-n"), "5");
    EXPECT_EQ(*a->attribute("checked"), "");
    EXPECT_EQ(*a->attribute("data-up"), "&&copy=1");
    EXPECT_EQ(a->attributes.size(), 5u);
    EXPECT_TRUE(a->state & state_checked);
}

TEST(html_parser, decodes_every_input_encoding) {
    const std::string text = "<p>\xC3\xA9</p>";  // é
    std::u16string wide = u"<p>\u00E9</p>";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t c : wide) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8);
        be += static_cast<char>(c & 0xFF);
    }
    for (const std::string& bytes : {text, "\xEF\xBB\xBF" + text, le, be}) {
        document doc;
        load_page(doc, bytes, "", {});
        EXPECT_EQ(doc.root()->inner_text(), "\xC3\xA9");
    }
    // Broken UTF-8 stays text, each bad byte one replacement character.
    EXPECT_EQ(decode_bytes("a\xFF\xC3z"), "a\xEF\xBF\xBD\xEF\xBF\xBDz");
    EXPECT_EQ(utf16_to_utf8(utf8_to_utf16("x\xF0\x9F\x98\x80y")), "x\xF0\x9F\x98\x80y");
}

TEST(html_parser, writes_markup_back) {
    document doc;
    load_page(doc, "<div id=a class='x'>1 &lt; 2<br><b>\"q\"</b><style>a>b{}</style></div>", "", {});
    element* div = doc.root()->kids.at(0);
    EXPECT_EQ(to_html(*div, true),
              "<div id=\"a\" class=\"x\">1 &lt; 2<br><b>\"q\"</b><style>a>b{}</style></div>");
    EXPECT_EQ(to_html(*div->kids.at(1), false), "\"q\"");
    // What is written parses back to the same tree.
    document again;
    load_page(again, to_html(*doc.root(), false), "", {});
    EXPECT_EQ(shape(again.root()), shape(doc.root()));
}

TEST(html_parser, survives_malformed_markup) {
    const char* cases[] = {
        "", "<", "<<<<", "</", "<!", "<!--", "<!-- x", "<a", "<a b", "<a b=", "<a b='", "<a b=\"x",
        "<script>", "<style>x", "<textarea>", "&", "&#", "&#x", "&#99999999999;", "&#0;", "&#xD800;",
        "<a/b/c>", "<=>", "<a =x>", "</a b c>", "<p><p><p></p></p></p></p>", "\0\0\0", "<\xFF\xFE>",
        "<table><td><tr><th></table></td>", "<option><optgroup><option></select>",
    };
    for (const char* c : cases) {
        document doc;
        load_page(doc, c, "", {});
        ASSERT_NE(doc.root(), nullptr) << c;
        EXPECT_EQ(doc.root()->tag, "html");
    }
    // Very deep nesting is flattened instead of recursing without end.
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<div>";
    document doc;
    load_page(doc, deep, "", {});
    doc.styles->restyle(doc);
    size_t depth = 0;
    for (element* e = doc.root(); !e->kids.empty(); e = e->kids.back()) ++depth;
    EXPECT_LE(depth, 300u);
}

TEST(html_parser, random_and_mutated_input_never_crashes_or_hangs) {
    std::mt19937 random(20261211);
    const std::string seed_page =
        "<!DOCTYPE html><html><head><style>@import 'a.css'; div > p:first-child { color: red }</style></head>"
        "<body class=x><div id=a><p>one &amp; two<p>three</div><ul><li>a<li><b>b</b></ul>"
        "<table><tr><td>1</td></tr></table><select><option selected>x</select><!-- c --></body></html>";
    const std::string alphabet = "<>/=\"' &#;!-abcdeiprstvxy\n";
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 3000; ++round) {
        std::string input;
        if (round % 2 == 0) {
            input = seed_page;
            int edits = 1 + static_cast<int>(random() % 8);
            for (int k = 0; k < edits && !input.empty(); ++k) {
                size_t at = random() % input.size();
                switch (random() % 3) {
                case 0: input.erase(at, 1 + random() % 5); break;
                case 1: input.insert(at, 1, alphabet[random() % alphabet.size()]); break;
                default: input[at] = static_cast<char>(random() % 256);
                }
            }
        } else {
            size_t length = random() % 200;
            for (size_t k = 0; k < length; ++k) input += alphabet[random() % alphabet.size()];
        }
        document doc;
        load_page(doc, input, "", [](const std::string&) { return std::optional<std::string>("p{color:blue"); });
        doc.styles->restyle(doc);
        ASSERT_NE(doc.root(), nullptr);
        to_html(*doc.root(), true);
    }
    // Generous: only an endless loop or a quadratic blow-up would pass it.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

}  // namespace
}  // namespace kvhtml::core::testing
