// Event calls: handlers on elements, sending and posting behaviour events,
// and named method calls.
#include "outside/kvhtml/core/events.hpp"
#include "outside/kvhtml/view.hpp"

using namespace kvhtml;
using namespace kvhtml::engine;

extern "C" {

KVHTML_RESULT KVCALL KvhtmlAttachEventHandlerEx(HELEMENT he, KvhtmlElementEventProc proc, LPVOID tag, UINT subscription) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!proc) return KVHTML_INVALID_PARAMETER;
    core::attach_handler(*e, {reinterpret_cast<void*>(proc), tag, subscription, false});
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlDetachEventHandler(HELEMENT he, KvhtmlElementEventProc proc, LPVOID tag) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    return core::detach_handler(*e, reinterpret_cast<void*>(proc), tag) ? KVHTML_OK : KVHTML_INVALID_PARAMETER;
}

KVHTML_RESULT KVCALL KvhtmlSendEvent(HELEMENT he, UINT code, HELEMENT source, UINT_PTR reason, BOOL* handled) {
    if (handled) *handled = FALSE;
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (source && !live(source)) return KVHTML_INVALID_HANDLE;
    view* v = view::of(e);
    bool done = false;
    if (v) {
        done = v->send_behavior_event(e, code, live(source), reason);
    } else {
        // Not in a window's document: only the element's own ancestors hear it.
        KVHTML_BEHAVIOR_EVENT_PARAMS p{};
        p.target = source ? source : he;
        p.reason = reason;
        done = core::route_event(e, nullptr, KVHTML_HANDLE_BEHAVIOR_EVENT,
                                 [&](element* owner, const core::handler_entry& h, bool sinking) {
                                     p.cmd = code | (sinking ? KVHTML_SINKING : 0);
                                     p.he = handle(owner);
                                     return call_proc(h, owner, KVHTML_HANDLE_BEHAVIOR_EVENT, &p) != FALSE;
                                 });
    }
    if (handled) *handled = done ? TRUE : FALSE;
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlPostEvent(HELEMENT he, UINT code, HELEMENT source, UINT_PTR reason) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (source && !live(source)) return KVHTML_INVALID_HANDLE;
    view* v = view::of(e);
    if (!v) return KVHTML_OPERATION_FAILED;  // no window, no queue
    v->post({e, live(source), code, reason});
    return KVHTML_OK;
}

KVHTML_RESULT KVCALL KvhtmlCallBehaviorMethod(HELEMENT he, KVHTML_METHOD_PARAMS* params) {
    element* e = live(he);
    if (!e) return KVHTML_INVALID_HANDLE;
    if (!params) return KVHTML_INVALID_PARAMETER;
    if (params->method_id == KVHTML_NAMED_METHOD) {
        auto* call = reinterpret_cast<KVHTML_NAMED_CALL_PARAMS*>(params);
        if (!call->name || call->argc > 8 || (call->argc && !call->argv)) return KVHTML_INVALID_PARAMETER;
    }
    // The element's own handlers, in order, until one takes the call.
    core::document::use(e);
    std::vector<core::handler_entry> handlers = e->handlers;
    bool handled = false;
    for (auto& h : handlers) {
        if (e->dead) break;
        if (!(h.subscription & KVHTML_HANDLE_METHOD_CALL)) continue;
        if (call_proc(h, e, KVHTML_HANDLE_METHOD_CALL, params)) {
            handled = true;
            break;
        }
    }
    core::document::unuse(e);
    return handled ? KVHTML_OK : KVHTML_OK_NOT_HANDLED;
}

}  // extern "C"
