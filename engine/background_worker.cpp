#include "engine/background_worker.hpp"

#include "tessel/log.hpp"

background_worker::background_worker() : thread_([this](std::stop_token stop) { run(stop); }) {}

background_worker::~background_worker() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

void background_worker::post(action a) {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.push_back(std::move(a));
    wake_.notify_one();
}

void background_worker::run(std::stop_token stop) {
    for (;;) {
        try {
            std::unique_lock<std::mutex> guard(lock_);
            for (;;) {
                while (!queue_.empty() && !stop.stop_requested()) {
                    action next = std::move(queue_.front());
                    queue_.pop_front();
                    guard.unlock();
                    next();
                    guard.lock();
                }
                wake_.wait(guard, stop, [this] { return !queue_.empty(); });
                if (stop.stop_requested()) {
                    log_info("Background worker stopped");
                    return;
                }
            }
        } catch (...) {
            log_exception("background_worker:");
        }
    }
}
