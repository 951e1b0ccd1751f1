// Event routing: first the window-level handler, then down the ancestors to
// the target with the sinking flag; then from the target up to the root and
// the window-level handler without it. A handler that reports the event
// handled ends the route.
#pragma once

#include <cstdint>
#include <functional>

#include "outside/kvhtml/core/dom.hpp"

namespace kvhtml::core {

// owner is null for the window-level handler.
using handler_call = std::function<bool(element* owner, const handler_entry& handler, bool sinking)>;

// group_bit: the subscription bit of the event's group.
bool route_event(element* target, const handler_entry* window_handler, std::uint32_t group_bit, const handler_call& call);

// Attaching the same procedure and tag twice keeps one entry (its mask is
// updated). Detaching an unknown pair returns false.
void attach_handler(element& e, const handler_entry& h);
bool detach_handler(element& e, void* proc, void* tag);

}  // namespace kvhtml::core
