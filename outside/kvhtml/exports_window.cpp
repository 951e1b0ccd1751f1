// Window-level calls: the message hook, the host callback, loading pages
// and their data, the window-level event handler.
#include "outside/kvhtml/view.hpp"

using namespace kvhtml::engine;

extern "C" {

LRESULT KVCALL KvhtmlProcND(HWND hwnd, UINT msg, WPARAM, LPARAM, BOOL* handled) {
    if (handled) *handled = FALSE;
    if (msg == view::posted_message()) {
        if (view* v = view::of(hwnd, false)) v->deliver_posted();
        if (handled) *handled = TRUE;
        return 0;
    }
    if (msg == WM_NCDESTROY) view::forget(hwnd);
    // Painting and input belong to the layout side.
    return 0;
}

void KVCALL KvhtmlSetCallback(HWND hwnd, KvhtmlHostCallback callback, LPVOID param) {
    if (view* v = view::of(hwnd)) {
        v->callback = callback;
        v->callback_param = param;
    }
}

BOOL KVCALL KvhtmlLoadHtml(HWND hwnd, const BYTE* html, UINT size, LPCWSTR base_url) {
    view* v = view::of(hwnd);
    return v && v->load(html, size, base_url) ? TRUE : FALSE;
}

BOOL KVCALL KvhtmlDataReady(HWND hwnd, LPCWSTR uri, const BYTE* data, UINT size) {
    view* v = view::of(hwnd, false);
    if (!v || !uri || (!data && size)) return FALSE;
    return v->supply(uri, data, size) ? TRUE : FALSE;
}

KVHTML_RESULT KVCALL KvhtmlWindowAttachEventHandler(HWND hwnd, KvhtmlElementEventProc proc, LPVOID tag, UINT subscription) {
    view* v = view::of(hwnd);
    if (!v) return KVHTML_INVALID_HWND;
    if (!proc) return KVHTML_INVALID_PARAMETER;
    v->window_handler = {reinterpret_cast<void*>(proc), tag, subscription, false};
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlWindowDetachEventHandler(HWND hwnd, KvhtmlElementEventProc proc, LPVOID tag) {
    view* v = view::of(hwnd, false);
    if (!v) return KVHTML_INVALID_HWND;
    if (v->window_handler.proc != reinterpret_cast<void*>(proc) || v->window_handler.tag != tag)
        return KVHTML_INVALID_PARAMETER;
    v->window_handler = {};
    return KVHTML_OK;
}

}  // extern "C"
