#include <gtest/gtest.h>

#include "outside/kvhtml/core/events.hpp"
#include "outside/kvhtml/core/tests/helpers.hpp"

namespace kvhtml::core::testing {
namespace {

void* tag(int n) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(n)); }

TEST(events, route_sinks_from_the_window_and_bubbles_back) {
    page p("<div id=a><div id=b><i id=c></i></div></div>");
    void* proc = tag(100);
    attach_handler(*p.id("a"), {proc, tag(1), 0x01});
    attach_handler(*p.id("b"), {proc, tag(2), 0x01});
    attach_handler(*p.id("b"), {proc, tag(22), 0x02});  // another group: never called
    attach_handler(*p.id("c"), {proc, tag(3), 0x3FF});
    handler_entry window{proc, tag(9), 0x3FF};

    struct route_case {
        void* handled_by;  // the tag whose handler reports handled, in which phase
        bool handled_sinking;
        const char* expected;
        bool handled;
    };
    const route_case cases[] = {
        {nullptr, false, "9v 1v 2v 3v 3^ 2^ 1^ 9^", false},
        {tag(9), true, "9v", true},
        {tag(2), true, "9v 1v 2v", true},
        {tag(3), false, "9v 1v 2v 3v 3^", true},
        {tag(9), false, "9v 1v 2v 3v 3^ 2^ 1^ 9^", true},
    };
    for (auto& c : cases) {
        std::string trace;
        bool handled = route_event(p.id("c"), &window, 0x01, [&](element*, const handler_entry& h, bool sinking) {
            trace += (trace.empty() ? "" : " ") + std::to_string(reinterpret_cast<std::intptr_t>(h.tag)) + (sinking ? "v" : "^");
            return h.tag == c.handled_by && sinking == c.handled_sinking;
        });
        EXPECT_EQ(trace, c.expected);
        EXPECT_EQ(handled, c.handled);
    }
}

TEST(events, handlers_changed_during_a_route_are_respected) {
    page p("<div id=a><i id=c></i></div>");
    element* a = p.id("a");
    void* proc = tag(100);
    attach_handler(*a, {proc, tag(1), 0x01});
    attach_handler(*a, {proc, tag(2), 0x01});
    attach_handler(*a, {proc, tag(1), 0x01});  // the same pair once
    EXPECT_EQ(a->handlers.size(), 2u);
    std::string trace;
    route_event(p.id("c"), nullptr, 0x01, [&](element* owner, const handler_entry& h, bool sinking) {
        trace += std::to_string(reinterpret_cast<std::intptr_t>(h.tag)) + (sinking ? "v " : "^ ");
        if (h.tag == tag(1)) detach_handler(*owner, proc, tag(2));
        return false;
    });
    EXPECT_EQ(trace, "1v 1^ ");
    EXPECT_FALSE(detach_handler(*a, proc, tag(2)));
    // A handler that deletes the target ends nothing badly.
    attach_handler(*p.id("c"), {proc, tag(3), 0x01});
    route_event(p.id("c"), nullptr, 0x01, [&](element* owner, const handler_entry&, bool) {
        if (owner && owner->attribute("id") && *owner->attribute("id") == "c") p.doc.destroy(owner);
        return false;
    });
    EXPECT_EQ(p.select("#c"), "");
}

}  // namespace
}  // namespace kvhtml::core::testing
