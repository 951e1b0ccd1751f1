// A named behaviour: an event handler that pages ask for by name through
// their style sheets ("behavior: tabs"). Every behaviour object joins the
// process-wide registry when it is constructed and leaves it when it is
// destroyed; the program's behaviours are static objects, so the registry
// is complete before the first window exists and never changes while
// pages run. The newest behaviour is found first.
#pragma once

#include <string>

#include "htmlhost/event_handler.hpp"

namespace kvhtml {

class behavior : public event_handler {
public:
    behavior(const char* name, UINT subscription);
    ~behavior() override;

    const std::string& name() const { return name_; }

    // The first registered behaviour whose name equals `name` byte for byte,
    // or null.
    static behavior* find(const char* name);

private:
    behavior* next_ = nullptr;
    std::string name_;
};

// Answers the engine's request for a behaviour (notification 0xB07) from
// the registry: fills in the procedure, the handler and its subscription,
// or leaves the record empty when no behaviour has that name. True when
// one was found.
bool attach_named_behavior(KVHTML_ATTACH_BEHAVIOR_NOTIFICATION& request);

}  // namespace kvhtml
