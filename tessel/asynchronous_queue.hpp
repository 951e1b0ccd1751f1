// A thread-safe first-in first-out queue of tasks. Any thread may push;
// consumers block in pop until a task is there. An auto-reset event wakes
// one consumer per signal, and every successful pop passes the signal on
// while tasks remain, so a burst of pushes is drained by all consumers.
#pragma once

#include <windows.h>

#include <deque>
#include <queue>
#include <utility>

#include "tessel/exception.hpp"
#include "tessel/sync.hpp"

namespace tessel::container {

template <class T, class C = std::queue<T, std::deque<T>>>
class asynchronous_queue {
public:
    TESSEL_EXCEPTION(generic, tessel::exception, "generic");
    TESSEL_EXCEPTION(closed, generic, "closed");

    asynchronous_queue() : event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~asynchronous_queue() {
        if (event_) ::CloseHandle(event_);
    }
    asynchronous_queue(const asynchronous_queue&) = delete;
    asynchronous_queue& operator=(const asynchronous_queue&) = delete;

    // Never blocks. Tasks pushed after close stay in the queue unused.
    void push(T task) {
        scope guard(lock_);
        container_.push(std::move(task));
        signal();
    }

    // Blocks until a task is there; throws closed once the queue is closed.
    void pop(T& out) {
        for (;;) {
            {
                scope guard(lock_);
                if (closed_) {
                    signal();  // so every other waiting consumer sees it too
                    throw closed();
                }
                if (!container_.empty()) {
                    using std::swap;
                    swap(out, container_.front());
                    container_.pop();
                    if (!container_.empty()) signal();
                    return;
                }
            }
            if (::WaitForSingleObject(event_, INFINITE) == WAIT_FAILED)
                throw tessel::exception("WaitForSingleObject returned 0x%08x",
                                        static_cast<unsigned>(::GetLastError()));
        }
    }

    std::size_t size() {
        scope guard(lock_);
        return container_.size();
    }

    // Wakes every consumer; from now on pop throws closed.
    void close() {
        scope guard(lock_);
        closed_ = true;
        signal();
    }

    bool is_closed() {
        scope guard(lock_);
        return closed_;
    }

private:
    void signal() {
        if (!::SetEvent(event_))
            throw tessel::exception("SetEvent returned 0x%08x", static_cast<unsigned>(::GetLastError()));
    }

    tessel::mutex lock_;
    HANDLE event_;
    bool closed_ = false;
    C container_;
};

}  // namespace tessel::container
