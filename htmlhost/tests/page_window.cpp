#include "htmlhost/tests/page_window.hpp"

#include "htmlhost/behavior.hpp"

namespace htmlhost_tests {

namespace {
LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    BOOL handled = FALSE;
    LRESULT r = KvhtmlProcND(hwnd, msg, wp, lp, &handled);
    return handled ? r : DefWindowProcW(hwnd, msg, wp, lp);
}

// Behaviours named by the page come from the registry, as in the program.
UINT KVCALL host_callback(KVHTML_NOTIFICATION* n, LPVOID) {
    if (n->code == KVHTML_ATTACH_BEHAVIOR)
        kvhtml::attach_named_behavior(*reinterpret_cast<KVHTML_ATTACH_BEHAVIOR_NOTIFICATION*>(n));
    return 0;
}
}  // namespace

page_window::page_window(const std::string& html) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HtmlhostTestPage";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"page", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                            wc.hInstance, nullptr);
    KvhtmlSetCallback(hwnd_, host_callback, nullptr);
    KvhtmlLoadHtml(hwnd_, reinterpret_cast<const BYTE*>(html.data()), static_cast<UINT>(html.size()), L"");
}

page_window::~page_window() { DestroyWindow(hwnd_); }

kvhtml::dom::element page_window::root() const {
    HELEMENT r = nullptr;
    KvhtmlGetRootElement(hwnd_, &r);
    return kvhtml::dom::element(r, kvhtml::dom::element::checked);
}

void page_window::pump() const {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace htmlhost_tests
