#include "tessel/gui.hpp"

#include "tessel/system_message.hpp"

namespace tessel::gui {
namespace {

HINSTANCE module_instance() { return ::GetModuleHandleW(nullptr); }

LPCSTR atom_name(ATOM atom) { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)); }

[[noreturn]] void fail(const char* what) { throw base::generic(what + system_message_narrow(::GetLastError())); }

base* stored(HWND hwnd) { return reinterpret_cast<base*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

}  // namespace

LRESULT default_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return ::IsWindowUnicode(hwnd) ? ::DefWindowProcW(hwnd, message, wparam, lparam)
                                   : ::DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<base*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        if (object) object->hwnd_ = hwnd;
    }
    base* object = stored(hwnd);
    if (!object) return default_window_proc(hwnd, message, wparam, lparam);
    const LRESULT result = static_cast<window*>(object)->window_proc(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        // The window is gone, however it went: the object no longer has one.
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (object->hwnd_ == hwnd) object->hwnd_ = nullptr;
    }
    return result;
}

INT_PTR CALLBACK dialog_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* object = reinterpret_cast<base*>(lparam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, lparam);
        if (object) object->hwnd_ = hwnd;
    }
    base* object = stored(hwnd);
    if (!object) return 0;
    const INT_PTR result = static_cast<dialog*>(object)->dialog_proc(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (object->hwnd_ == hwnd) object->hwnd_ = nullptr;
    }
    return result;
}

void base::create(ATOM window_class, HWND parent) {
    HWND hwnd = ::CreateWindowExA(0, atom_name(window_class), nullptr, 0x00CE0000, 0, 0, 0, 0, parent, nullptr,
                                  module_instance(), self_);
    if (!hwnd) {
        hwnd_ = nullptr;
        fail("CreateWindow failed: ");
    }
    hwnd_ = hwnd;
}

void base::move(int left, int top, int right, int bottom) {
    if (!::MoveWindow(hwnd_, left, top, right - left, bottom - top, TRUE)) fail("MoveWindow failed: ");
}

void base::show() { ::ShowWindow(hwnd_, SW_SHOW); }

void base::close() { ::PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void base::destroy() {
    if (!hwnd_) return;
    if (!::DestroyWindow(hwnd_)) fail("DestroyWindow failed: ");
    hwnd_ = nullptr;
}

window::~window() {
    if (hwnd_ && ::IsWindow(hwnd_) && stored(hwnd_) == this) ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

LRESULT window::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return default_window_proc(hwnd, message, wparam, lparam);
}

dialog::~dialog() {
    if (hwnd_ && ::IsWindow(hwnd_) && stored(hwnd_) == this) ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

INT_PTR dialog::dialog_proc(HWND, UINT, WPARAM, LPARAM) { return 0; }

window_class::window_class(const std::wstring& name) : name_(name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = window_procedure;
    wc.hInstance = module_instance();
    wc.lpszClassName = name_.c_str();
    atom_ = ::RegisterClassExW(&wc);
    if (!atom_) fail("RegisterClassEx failed: ");
}

bool window_class::unregister() {
    if (!atom_) return false;
    const bool ok = ::UnregisterClassA(atom_name(atom_), module_instance()) != 0;
    atom_ = 0;
    return ok;
}

}  // namespace tessel::gui
