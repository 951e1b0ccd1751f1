#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "tessel/asynchronous_queue.hpp"
#include "tessel/sync.hpp"

namespace {

using task = std::function<void()>;
using queue = tessel::container::asynchronous_queue<task>;

class counting_lock : public tessel::scope_semantics {
public:
    int entered = 0, left = 0;
    bool enter() override {
        ++entered;
        return true;
    }
    void leave() override { ++left; }
};

TEST(scope, locks_for_its_lifetime_and_leave_forgets_the_target) {
    counting_lock lock;
    {
        tessel::scope guard(lock);
        EXPECT_EQ(lock.entered, 1);
        guard.leave();
        EXPECT_EQ(lock.left, 1);
    }
    EXPECT_EQ(lock.left, 1);  // not left a second time by the destructor
    {
        tessel::scope guard(&lock);
    }
    EXPECT_EQ(lock.entered, 2);
    EXPECT_EQ(lock.left, 2);
}

TEST(scope, null_target_does_nothing) {
    tessel::scope guard(nullptr);
    EXPECT_FALSE(guard.enter());
    guard.leave();
}

TEST(mutex, is_reentrant_for_its_owner_and_excludes_others) {
    tessel::mutex m;
    tessel::scope outer(m);
    tessel::scope inner(m);  // same thread: no deadlock
    std::atomic<bool> got{false};
    std::thread other([&] {
        tessel::scope g(m);
        got = true;
    });
    ::Sleep(50);
    EXPECT_FALSE(got);
    inner.leave();
    outer.leave();
    other.join();
    EXPECT_TRUE(got);
}

TEST(real_mutex, global_naming) {
    EXPECT_EQ(tessel::real_mutex::system_name(L"log-C:_x"), L"Global\\log-C:_x");
    EXPECT_EQ(tessel::real_mutex::system_name(L"Local\\mine"), L"Local\\mine");
    tessel::real_mutex m(std::string("kelvane-test-naming"));
    EXPECT_EQ(m.name(), L"Global\\kelvane-test-naming");
}

TEST(real_mutex, two_objects_of_one_name_exclude_each_other) {
    tessel::real_mutex a(std::wstring(L"kelvane-test-shared"));
    ASSERT_TRUE(a.enter());
    std::atomic<bool> got{false};
    std::thread other([&] {
        tessel::real_mutex b(std::wstring(L"kelvane-test-shared"));
        tessel::scope g(b);
        got = true;
    });
    ::Sleep(100);
    EXPECT_FALSE(got);
    a.leave();
    other.join();
    EXPECT_TRUE(got);
}

TEST(real_mutex, leave_without_owning_throws) {
    tessel::real_mutex m(std::wstring(L"kelvane-test-unowned"));
    try {
        m.leave();
        FAIL() << "no exception";
    } catch (const tessel::exception& e) {
        EXPECT_EQ(e.message().rfind("ReleaseMutex returned 0x", 0), 0u) << e.message();
    }
}

TEST(asynchronous_queue, pops_in_push_order) {
    queue q;
    std::vector<int> ran;
    for (int i = 1; i <= 3; ++i) q.push([&ran, i] { ran.push_back(i); });
    EXPECT_EQ(q.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        task t;
        q.pop(t);
        t();
    }
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(q.size(), 0u);
}

TEST(asynchronous_queue, pop_blocks_until_a_push) {
    queue q;
    std::atomic<bool> popped{false};
    int value = 0;
    std::thread consumer([&] {
        task t;
        q.pop(t);
        popped = true;
        t();
    });
    ::Sleep(100);
    EXPECT_FALSE(popped);
    q.push([&] { value = 7; });
    consumer.join();
    EXPECT_TRUE(popped);
    EXPECT_EQ(value, 7);
}

TEST(asynchronous_queue, two_pushes_wake_two_waiting_consumers) {
    queue q;
    std::atomic<int> done{0};
    auto consume = [&] {
        task t;
        q.pop(t);
        t();
    };
    std::thread a(consume), b(consume);
    ::Sleep(100);
    q.push([&] { ++done; });
    q.push([&] { ++done; });
    a.join();
    b.join();
    EXPECT_EQ(done, 2);
}

TEST(asynchronous_queue, close_wakes_every_consumer_and_keeps_tasks_back) {
    queue q;
    std::atomic<int> closed{0};
    auto consume = [&] {
        task t;
        try {
            q.pop(t);
        } catch (const queue::closed&) {
            ++closed;
        }
    };
    std::thread a(consume), b(consume), c(consume);
    ::Sleep(100);
    q.close();
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(closed, 3);

    bool ran = false;
    q.push([&] { ran = true; });  // push ignores the flag
    task t;
    EXPECT_THROW(q.pop(t), queue::closed);
    EXPECT_FALSE(ran);
    EXPECT_EQ(q.size(), 1u);
}

TEST(asynchronous_queue, many_producers_lose_nothing) {
    queue q;
    constexpr int producers = 4, each = 500;
    std::atomic<int> sum{0};
    std::vector<std::thread> threads;
    for (int p = 0; p < producers; ++p)
        threads.emplace_back([&] {
            for (int i = 0; i < each; ++i) q.push([&] { ++sum; });
        });
    int popped = 0;
    while (popped < producers * each) {
        task t;
        q.pop(t);
        t();
        ++popped;
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(sum, producers * each);
}

}  // namespace
