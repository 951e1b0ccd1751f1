#include <algorithm>
#include <initializer_list>
#include <vector>

#include "outside/kvhtml/core/html.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::core {

namespace {

// Deeper markup is still parsed, but flattened: the tree algorithms recurse.
constexpr size_t max_depth = 256;

bool one_of(std::string_view t, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (t == n) return true;
    return false;
}

bool closes_p(std::string_view t) {
    return one_of(t, {"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir", "div", "dl",
                      "fieldset", "figcaption", "figure", "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6",
                      "header", "hgroup", "hr", "li", "main", "menu", "nav", "ol", "p", "pre", "section", "table",
                      "ul", "dd", "dt"});
}

bool is_name_char(char c) { return !is_space(c) && c != '/' && c != '>' && c != '<' && c != '='; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class parser {
public:
    parser(document& d, element* container, std::string_view input, bool whole)
        : doc_(d), in_(input), whole_(whole) {
        stack_.push_back(container);
    }

    void run() {
        while (pos_ < in_.size()) {
            size_t lt = in_.find('<', pos_);
            if (lt == std::string_view::npos) lt = in_.size();
            if (lt > pos_) add_text(decode_entities(in_.substr(pos_, lt - pos_), false));
            pos_ = lt;
            if (pos_ >= in_.size()) break;
            markup();
        }
    }

private:
    element* top() const { return stack_.back(); }

    void add_text(std::string_view t) {
        if (t.empty()) return;
        element* p = top();
        if (!p->nodes.empty() && p->nodes.back()->kind == node::text_node) {
            p->nodes.back()->data += t;
            return;
        }
        doc_.insert_before_node(p, doc_.create_text(t), p->nodes.size());
    }

    void markup() {
        // in_[pos_] == '<'
        size_t n = pos_ + 1;
        if (n < in_.size() && in_[n] == '!') {
            if (in_.substr(n, 3) == "!--") {
                size_t end = in_.find("-->", n + 3);
                std::string_view body = in_.substr(n + 3, end == std::string_view::npos ? std::string_view::npos : end - n - 3);
                auto* c = new node(node::comment_node);
                c->data = body;
                doc_.insert_before_node(top(), c, top()->nodes.size());
                pos_ = end == std::string_view::npos ? in_.size() : end + 3;
            } else {
                skip_to_gt(n);  // doctype and the like
            }
            return;
        }
        if (n < in_.size() && in_[n] == '?') {
            skip_to_gt(n);
            return;
        }
        if (n < in_.size() && in_[n] == '/') {
            if (n + 1 < in_.size() && is_letter(in_[n + 1])) {
                size_t s = n + 1, e = s;
                while (e < in_.size() && is_name_char(in_[e])) ++e;
                end_tag(lower_ascii(in_.substr(s, e - s)));
                skip_to_gt(e);
            } else {
                skip_to_gt(n);  // "</>" and "</ x>" vanish, as in browsers
            }
            return;
        }
        if (n < in_.size() && is_letter(in_[n])) {
            start_tag(n);
            return;
        }
        add_text("<");
        ++pos_;
    }

    void skip_to_gt(size_t from) {
        size_t gt = in_.find('>', from);
        pos_ = gt == std::string_view::npos ? in_.size() : gt + 1;
    }

    void start_tag(size_t n) {
        size_t e = n;
        while (e < in_.size() && is_name_char(in_[e])) ++e;
        std::string name = lower_ascii(in_.substr(n, e - n));
        attribute_list attrs;
        bool self_closing = false;
        size_t i = e;
        for (;;) {
            while (i < in_.size() && (is_space(in_[i]) || in_[i] == '/')) {
                if (in_[i] == '/') self_closing = i + 1 < in_.size() && in_[i + 1] == '>';
                ++i;
            }
            if (i >= in_.size()) break;
            if (in_[i] == '>') {
                ++i;
                break;
            }
            size_t s = i;
            if (in_[i] == '=' || in_[i] == '<') ++i;  // a stray one is part of the name
            while (i < in_.size() && is_name_char(in_[i])) ++i;
            std::string aname = lower_ascii(in_.substr(s, i - s));
            std::string value;
            size_t k = i;
            while (k < in_.size() && is_space(in_[k])) ++k;
            if (k < in_.size() && in_[k] == '=') {
                ++k;
                while (k < in_.size() && is_space(in_[k])) ++k;
                if (k < in_.size() && (in_[k] == '"' || in_[k] == '\'')) {
                    char q = in_[k];
                    size_t close = in_.find(q, k + 1);
                    if (close == std::string_view::npos) close = in_.size();
                    value = decode_entities(in_.substr(k + 1, close - k - 1), true);
                    i = std::min(close + 1, in_.size());
                } else {
                    size_t v = k;
                    while (v < in_.size() && !is_space(in_[v]) && in_[v] != '>') ++v;
                    value = decode_entities(in_.substr(k, v - k), true);
                    i = v;
                }
            }
            bool duplicate = std::any_of(attrs.begin(), attrs.end(), [&](auto& a) { return a.first == aname; });
            if (!aname.empty() && !duplicate) attrs.emplace_back(std::move(aname), std::move(value));
        }
        pos_ = i;
        open(name, std::move(attrs), self_closing);
    }

    // Closes the nearest open element named one of `names`, unless one of
    // `stops` is nearer.
    void close_nearest(std::initializer_list<const char*> names, std::initializer_list<const char*> stops) {
        for (size_t k = stack_.size(); k-- > 1;) {
            const std::string& t = stack_[k]->tag;
            if (one_of(t, names)) {
                stack_.resize(k);
                return;
            }
            if (one_of(t, stops)) return;
        }
    }

    void open(const std::string& name, attribute_list attrs, bool self_closing) {
        if (whole_ && name == "html" && stack_.size() >= 1) {
            element* root = stack_.front();
            for (auto& a : attrs)
                if (!root->attribute(a.first)) root->attributes.push_back(std::move(a));
            return;
        }
        static const std::initializer_list<const char*> scope = {"table", "td", "th", "caption", "button", "object",
                                                                 "marquee", "applet", "template"};
        if (closes_p(name)) close_nearest({"p"}, scope);
        if (name == "li") close_nearest({"li"}, {"ul", "ol", "menu", "table", "td", "th"});
        if (name == "dd" || name == "dt") close_nearest({"dd", "dt"}, {"dl", "table", "td", "th"});
        if (name == "option") close_nearest({"option"}, {"select", "datalist", "optgroup", "options", "table", "td"});
        if (name == "optgroup") close_nearest({"optgroup", "option"}, {"select", "table", "td"});
        if (name == "tr") close_nearest({"tr"}, {"table", "thead", "tbody", "tfoot"});
        if (name == "td" || name == "th") close_nearest({"td", "th"}, {"tr", "table"});
        if (name == "thead" || name == "tbody" || name == "tfoot")
            close_nearest({"thead", "tbody", "tfoot"}, {"table"});
        if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6' && top()->tag.size() == 2 &&
            top()->tag[0] == 'h' && top()->tag[1] >= '1' && top()->tag[1] <= '6')
            stack_.pop_back();

        element* e = doc_.create_element(name, false);
        e->attributes = std::move(attrs);
        if (e->attribute("checked")) e->state |= state_checked;
        if (e->attribute("disabled")) e->state |= state_disabled;
        doc_.insert_before_node(top(), e, top()->nodes.size());
        if (is_void_element(name) || self_closing || stack_.size() >= max_depth) return;
        if (name == "script" || name == "style" || name == "textarea" || name == "title" || name == "xmp" ||
            name == "plaintext") {
            raw_text(e, name == "textarea" || name == "title");
            return;
        }
        stack_.push_back(e);
    }

    void raw_text(element* e, bool entities) {
        // Up to the matching end tag, compared without case.
        size_t end = pos_;
        for (;;) {
            end = in_.find("</", end);
            if (end == std::string_view::npos) {
                end = in_.size();
                break;
            }
            std::string_view after = in_.substr(end + 2);
            if (after.size() >= e->tag.size() && iequals(after.substr(0, e->tag.size()), e->tag) &&
                (after.size() == e->tag.size() || !is_name_char(after[e->tag.size()])))
                break;
            end += 2;
        }
        std::string_view body = in_.substr(pos_, end - pos_);
        if (!body.empty())
            doc_.insert_before_node(e, doc_.create_text(entities ? decode_entities(body, false) : std::string(body)), 0);
        if (end >= in_.size()) {
            pos_ = in_.size();
        } else {
            skip_to_gt(end + 2);
        }
    }

    void end_tag(const std::string& name) {
        if (whole_ && (name == "html" || name == "body" || name == "head")) {
            // Content after </body> or </html> still belongs to the page.
            if (name != "html") close_named(name);
            return;
        }
        close_named(name);
    }

    void close_named(const std::string& name) {
        for (size_t k = stack_.size(); k-- > 1;) {
            if (stack_[k]->tag == name) {
                stack_.resize(k);
                return;
            }
        }
    }

    document& doc_;
    std::string_view in_;
    bool whole_;
    size_t pos_ = 0;
    std::vector<element*> stack_;
};

}  // namespace

element* parse_document(document& doc, std::string_view utf8) {
    element* root = doc.create_element("html");
    parser(doc, root, utf8, true).run();
    doc.set_root(root);
    return root;
}

void parse_into(document& doc, element* parent, std::string_view utf8) { parser(doc, parent, utf8, false).run(); }

}  // namespace kvhtml::core
