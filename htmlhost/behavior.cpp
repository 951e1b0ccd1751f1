#include "htmlhost/behavior.hpp"

#include "tessel/log.hpp"

namespace kvhtml {

namespace {
// Constant-initialised, so static behaviours of any translation unit may
// register during static initialisation.
behavior* registry_head = nullptr;
}  // namespace

behavior::behavior(const char* name, UINT subscription) : event_handler(subscription), name_(name ? name : "") {
    next_ = registry_head;
    registry_head = this;
}

behavior::~behavior() {
    for (behavior** link = &registry_head; *link; link = &(*link)->next_) {
        if (*link == this) {
            *link = next_;
            break;
        }
    }
}

behavior* behavior::find(const char* name) {
    if (!name) return nullptr;
    for (behavior* b = registry_head; b; b = b->next_)
        if (b->name_ == name) return b;
    return nullptr;
}

bool attach_named_behavior(KVHTML_ATTACH_BEHAVIOR_NOTIFICATION& request) {
    behavior* b = behavior::find(request.behavior_name);
    if (!b) return false;
    event_handler* handler = nullptr;
    try {
        handler = b->attach_instance(request.element);
    } catch (...) {
        // This runs inside the engine's notification: nothing may unwind there.
        log_exception("attach_named_behavior");
    }
    if (!handler) return false;
    request.element_proc = element_proc;
    request.element_tag = handler;
    request.subscription = handler->subscription;
    return true;
}

}  // namespace kvhtml
