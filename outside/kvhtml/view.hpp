// A document bound to a window: the host's callback, the window-level
// handler, posted events, and the bridge from the core's tree to the C
// interface (handles, notifications, behaviour attachment).
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "bindings/kvhtml.h"
#include "outside/kvhtml/core/dom.hpp"

namespace kvhtml::engine {

using core::element;

struct posted_event {
    element* target;  // both held by a handle until delivered
    element* source;
    UINT code;
    UINT_PTR reason;
};

class view : public core::document_hooks {
public:
    explicit view(HWND hwnd);
    ~view() override;

    // The view of a window, made on first use; null for no window.
    static view* of(HWND hwnd, bool create = true);
    static view* of(element* e);  // the view of the element's document, or null
    static void forget(HWND hwnd);
    // The document that holds elements made by KvhtmlCreateElement.
    static core::document& limbo();

    bool load(const BYTE* bytes, UINT size, LPCWSTR base_url);
    // Computes styles and attaches the behaviours elements newly name;
    // changed_only leaves sibling effects for the next full flush.
    void flush(bool changed_only = false);
    std::optional<std::string> fetch(const std::string& url, UINT data_type);
    bool supply(const std::wstring& uri, const BYTE* data, UINT size);  // KvhtmlDataReady

    bool send_behavior_event(element* target, UINT code, element* source, UINT_PTR reason);
    void post(posted_event e);
    void deliver_posted();

    HWND hwnd;
    core::document doc;
    KvhtmlHostCallback callback = nullptr;
    LPVOID callback_param = nullptr;
    core::handler_entry window_handler;
    static UINT posted_message();

private:
    void element_dying(element& e) override;
    void element_detaching(element& e) override;
    void attach_behavior(element& e, const std::string& name);

    std::deque<posted_event> posted_;
    bool post_pending_ = false;
    // Data that KvhtmlDataReady supplied during a data request.
    const std::wstring* requested_uri_ = nullptr;
    std::optional<std::string> supplied_;
};

// The element of a handle when it is alive, else null.
inline element* live(HELEMENT he) {
    auto* e = reinterpret_cast<element*>(he);
    return e && !e->dead && e->doc ? e : nullptr;
}
inline HELEMENT handle(element* e) { return reinterpret_cast<HELEMENT>(e); }

// Tells an element's handlers it is gone and runs its expando's finalizer.
void element_died(element& e);

// After a change: flushes what changed in the element's document.
void flush_of(element* e);
// Before reading computed styles: brings the whole document up to date.
void flush_all(element* e);
// For a change that may end the element (a removal): note its window
// first, and flush that window's document afterwards. The window is looked
// up again, since the host's handlers may have closed it meanwhile.
HWND window_of(element* e);
void flush_window(HWND hwnd);

std::wstring widen(const std::string& utf8);
std::string narrow(const wchar_t* text, size_t length);
inline std::string narrow(const wchar_t* text) { return text ? narrow(text, wcslen(text)) : std::string(); }

// Calls a handler's procedure, never letting anything escape.
BOOL call_proc(const core::handler_entry& h, element* owner, UINT group, void* params);

}  // namespace kvhtml::engine
