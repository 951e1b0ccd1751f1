// Hands a function object over to be run later on the window thread, in
// the order of posting. The main window implements it.
#pragma once

#include <functional>

using action = std::function<void()>;

class async_action_handler {
public:
    virtual ~async_action_handler() = default;
    // Callable from any thread.
    virtual void post(action a) = 0;
};
