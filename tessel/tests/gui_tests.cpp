#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tessel/gui.hpp"

using namespace tessel::gui;

namespace {

class recording_window : public window {
public:
    std::vector<UINT> messages;
    LRESULT window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) override {
        messages.push_back(message);
        if (message == WM_APP + 1) return 1234;
        if (message == WM_GETMINMAXINFO) {
            // Let the tests size the window below the system's minimum
            // tracking size of a framed window.
            window::window_proc(hwnd, message, wparam, lparam);
            reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = POINT{1, 1};
            return 0;
        }
        return window::window_proc(hwnd, message, wparam, lparam);
    }
    bool saw(UINT message) const {
        for (UINT m : messages)
            if (m == message) return true;
        return false;
    }
};

class gui_test : public testing::Test {
protected:
    static void SetUpTestSuite() { cls_ = new window_class(L"KelvaneTestWindow"); }
    static void TearDownTestSuite() {
        cls_->unregister();
        delete cls_;
    }
    static window_class* cls_;
};
window_class* gui_test::cls_ = nullptr;

TEST_F(gui_test, create_calls_the_objects_window_proc) {
    recording_window w;
    EXPECT_EQ(w.hwnd(), nullptr);
    w.create(cls_->atom(), nullptr);
    ASSERT_NE(w.hwnd(), nullptr);
    EXPECT_TRUE(w.saw(WM_NCCREATE));
    EXPECT_TRUE(w.saw(WM_CREATE));
    EXPECT_EQ(::SendMessageW(w.hwnd(), WM_APP + 1, 0, 0), 1234);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(w.hwnd(), GWL_STYLE)) & 0x00CE0000u, 0x00CE0000u);
    w.destroy();
}

TEST_F(gui_test, move_sets_position_and_size) {
    recording_window w;
    w.create(cls_->atom(), nullptr);
    w.move(10, 20, 110, 220);
    RECT r{};
    ::GetWindowRect(w.hwnd(), &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 200);
    w.show();
    EXPECT_TRUE(::IsWindowVisible(w.hwnd()));
    w.destroy();
}

TEST_F(gui_test, destroy_without_a_window_and_twice_does_nothing) {
    recording_window never;
    EXPECT_NO_THROW(never.destroy());
    recording_window w;
    w.create(cls_->atom(), nullptr);
    HWND hwnd = w.hwnd();
    w.destroy();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(w.hwnd(), nullptr);
    EXPECT_NO_THROW(w.destroy());
}

TEST_F(gui_test, a_window_destroyed_elsewhere_leaves_the_object_without_a_handle) {
    recording_window w;
    w.create(cls_->atom(), nullptr);
    ::DestroyWindow(w.hwnd());
    EXPECT_EQ(w.hwnd(), nullptr);
    EXPECT_NO_THROW(w.destroy());
}

TEST_F(gui_test, close_posts_wm_close) {
    recording_window w;
    w.create(cls_->atom(), nullptr);
    w.close();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    EXPECT_TRUE(w.saw(WM_CLOSE));
    // Default handling of WM_CLOSE destroys the window.
    EXPECT_EQ(w.hwnd(), nullptr);
}

TEST_F(gui_test, messages_after_the_object_is_gone_get_default_handling) {
    HWND hwnd = nullptr;
    {
        recording_window w;
        w.create(cls_->atom(), nullptr);
        hwnd = w.hwnd();
    }
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP + 1, 0, 0), 0);  // DefWindowProc, not the object
    ::SetWindowTextW(hwnd, L"Tamsin \x00E9");
    wchar_t title[32] = {};
    ::GetWindowTextW(hwnd, title, 32);
    EXPECT_STREQ(title, L"Tamsin \x00E9");
    ::DestroyWindow(hwnd);
}

TEST_F(gui_test, registering_a_class_twice_fails_with_the_system_message) {
    try {
        window_class again(L"KelvaneTestWindow");
        FAIL() << "no exception";
    } catch (const base::generic& e) {
        EXPECT_EQ(e.kind(), "gui");
        const std::string message = e.message();
        EXPECT_EQ(message.rfind("RegisterClassEx failed: ", 0), 0u) << message;
        EXPECT_GT(message.size(), std::string("RegisterClassEx failed: ").size());
    }
}

TEST_F(gui_test, create_with_an_unknown_class_throws_and_keeps_no_handle) {
    recording_window w;
    EXPECT_THROW(w.create(static_cast<ATOM>(0xBEEF), nullptr), base::generic);
    EXPECT_EQ(w.hwnd(), nullptr);
}

}  // namespace
