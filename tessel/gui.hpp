// Puts an object behind a Win32 window: the class's window procedure finds
// the object stored with the window and calls its virtual window_proc.
#pragma once

#include <windows.h>

#include <string>

#include "tessel/exception.hpp"

namespace tessel::gui {

class base {
public:
    TESSEL_EXCEPTION(generic, tessel::exception, "gui");

    base() : self_(this) {}
    virtual ~base() = default;
    base(const base&) = delete;
    base& operator=(const base&) = delete;

    // CreateWindowEx with the class atom, no title, a caption, a system
    // menu, a sizing frame and a minimise box; position and size 0.
    void create(ATOM window_class, HWND parent);
    void move(int left, int top, int right, int bottom);
    void show();
    void close();    // posts WM_CLOSE
    void destroy();  // does nothing when there is no window

    HWND hwnd() const { return hwnd_; }

protected:
    HWND hwnd_ = nullptr;
    base* self_;

    friend LRESULT CALLBACK window_procedure(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR CALLBACK dialog_procedure(HWND, UINT, WPARAM, LPARAM);
};

class window : public base {
public:
    ~window() override;
    virtual LRESULT window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
};

class dialog : public base {
public:
    ~dialog() override;
    virtual INT_PTR dialog_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
};

// The window procedure of every class registered here, and the dialog
// procedure for dialogs created with the object as their init parameter.
LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK dialog_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Default handling for a window: the procedure that matches its character set.
LRESULT default_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

class window_class {
public:
    explicit window_class(const std::wstring& name);
    window_class(window_class&& other) noexcept : name_(std::move(other.name_)), atom_(other.atom_) {
        other.atom_ = 0;
    }
    window_class(const window_class&) = delete;
    window_class& operator=(const window_class&) = delete;
    ~window_class() = default;  // unregistering is explicit (after the message loop)

    bool unregister();
    ATOM atom() const { return atom_; }
    const std::wstring& name() const { return name_; }

private:
    std::wstring name_;
    ATOM atom_ = 0;
};

}  // namespace tessel::gui
