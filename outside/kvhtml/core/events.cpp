#include "outside/kvhtml/core/events.hpp"

#include <algorithm>
#include <vector>

namespace kvhtml::core {

namespace {

// Calls the element's handlers as they are at the time; one detached by an
// earlier handler of the same route is skipped.
bool call_handlers(element* e, std::uint32_t group_bit, bool sinking, const handler_call& call) {
    std::vector<handler_entry> snapshot = e->handlers;
    for (auto& h : snapshot) {
        if (e->dead) return false;
        if (!(h.subscription & group_bit)) continue;
        bool still = std::any_of(e->handlers.begin(), e->handlers.end(),
                                 [&](const handler_entry& x) { return x.proc == h.proc && x.tag == h.tag; });
        if (still && call(e, h, sinking)) return true;
    }
    return false;
}

}  // namespace

bool route_event(element* target, const handler_entry* window, std::uint32_t group_bit, const handler_call& call) {
    std::vector<element*> path;  // target first
    for (element* e = target; e; e = e->parent) path.push_back(e);
    for (element* e : path) ++e->refs;  // kept while handlers run
    bool handled = false;
    handler_entry win = window ? *window : handler_entry{};
    bool has_window = window && window->proc && (window->subscription & group_bit);
    if (has_window) handled = call(nullptr, win, true);
    for (size_t i = path.size(); !handled && i-- > 0;)
        if (!path[i]->dead) handled = call_handlers(path[i], group_bit, true, call);
    for (size_t i = 0; !handled && i < path.size(); ++i)
        if (!path[i]->dead) handled = call_handlers(path[i], group_bit, false, call);
    if (!handled && has_window) handled = call(nullptr, win, false);
    for (element* e : path) {
        if (--e->refs == 0 && e->dead && !e->parent) delete e;
    }
    return handled;
}

void attach_handler(element& e, const handler_entry& h) {
    for (auto& x : e.handlers)
        if (x.proc == h.proc && x.tag == h.tag) {
            x.subscription = h.subscription;
            return;
        }
    e.handlers.push_back(h);
}

bool detach_handler(element& e, void* proc, void* tag) {
    for (auto it = e.handlers.begin(); it != e.handlers.end(); ++it)
        if (it->proc == proc && it->tag == tag) {
            e.handlers.erase(it);
            return true;
        }
    return false;
}

}  // namespace kvhtml::core
