// One extra thread that runs posted actions one after the other, away from
// the window thread. An action's error is logged and the loop goes on;
// destruction stops the thread at its next wait or between two actions.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "engine/async_action_handler.hpp"

class background_worker {
public:
    background_worker();
    ~background_worker();
    background_worker(const background_worker&) = delete;
    background_worker& operator=(const background_worker&) = delete;

    // Callable from any thread; never blocks for long.
    void post(action a);

private:
    void run(std::stop_token stop);

    std::mutex lock_;
    std::condition_variable_any wake_;
    std::deque<action> queue_;
    std::jthread thread_;  // last: starts after the members it uses exist
};
