#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "engine/background_worker.hpp"
#include "support.hpp"

namespace {

// Waits up to five seconds for a condition another thread makes true.
template <class Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

TEST(background_worker, runs_actions_in_order_and_survives_a_failing_one) {
    test_support::log_capture log;
    std::mutex lock;
    std::vector<int> order;
    std::atomic<int> done{0};
    {
        background_worker worker;
        for (int i = 0; i < 5; ++i) {
            worker.post([&, i] {
                if (i == 2) throw std::runtime_error("boom");
                std::lock_guard<std::mutex> guard(lock);
                order.push_back(i);
                ++done;
            });
        }
        ASSERT_TRUE(eventually([&] { return done == 4; }));
        worker.post([&] { ++done; });  // still running after the error
        ASSERT_TRUE(eventually([&] { return done == 5; }));
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 3, 4}));
    bool error_logged = false;
    for (const std::string& t : log.texts())
        if (t.starts_with("background_worker:") && t.find("boom") != std::string::npos) error_logged = true;
    EXPECT_TRUE(error_logged);
    EXPECT_EQ(log.texts().back(), "Background worker stopped");
}

TEST(background_worker, an_idle_worker_stops_promptly) {
    test_support::log_capture log;
    const auto start = std::chrono::steady_clock::now();
    { background_worker worker; }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(log.contains("Background worker stopped"));
}

TEST(background_worker, actions_queued_behind_a_running_one_are_dropped_at_destruction) {
    std::atomic<bool> release{false}, started{false};
    std::atomic<int> later{0};
    {
        background_worker worker;
        worker.post([&] {
            started = true;
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        ASSERT_TRUE(eventually([&] { return started.load(); }));
        worker.post([&] { ++later; });
        std::thread releaser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            release = true;
        });
        releaser.detach();
    }
    EXPECT_EQ(later, 0);
}

}  // namespace
