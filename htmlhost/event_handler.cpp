#include "htmlhost/event_handler.hpp"

#include "tessel/log.hpp"

namespace kvhtml {

BOOL event_handler::handle_mouse(HELEMENT he, KVHTML_MOUSE_PARAMS& p) {
    return on_mouse(he, p.target, p.cmd, p.pos, p.button_state, p.alt_state);
}

BOOL event_handler::handle_key(HELEMENT he, KVHTML_KEY_PARAMS& p) {
    return on_key(he, p.target, p.cmd, p.key_code, p.alt_state);
}

BOOL event_handler::handle_focus(HELEMENT he, KVHTML_FOCUS_PARAMS& p) { return on_focus(he, p.target, p.cmd); }

BOOL event_handler::handle_timer(HELEMENT he, KVHTML_TIMER_PARAMS& p) {
    return p.timer_id ? on_timer(he, p.timer_id) : on_timer(he);
}

void event_handler::handle_size(HELEMENT he) { on_size(he); }

BOOL event_handler::handle_scroll(HELEMENT he, KVHTML_SCROLL_PARAMS& p) {
    return on_scroll(he, p.target, p.cmd, p.pos, p.vertical);
}

BOOL event_handler::handle_draw(HELEMENT he, KVHTML_DRAW_PARAMS& p) { return on_draw(he, p.cmd, p.hdc, p.area); }

BOOL event_handler::handle_method_call(HELEMENT he, KVHTML_METHOD_PARAMS& p) { return on_method_call(he, p.method_id); }

BOOL event_handler::handle_script_call(HELEMENT he, KVHTML_NAMED_CALL_PARAMS& p) {
    return on_script_call(he, p.name, p.argc, p.argv, p.result);
}

BOOL event_handler::handle_event(HELEMENT he, KVHTML_BEHAVIOR_EVENT_PARAMS& p) {
    return on_event(he, p.target, p.cmd, p.reason);
}

BOOL event_handler::handle_data_arrived(HELEMENT he, KVHTML_DATA_ARRIVED_PARAMS& p) {
    return on_data_arrived(he, p.initiator, p.data, p.data_size, p.data_type);
}

namespace {

BOOL dispatch(event_handler& h, HELEMENT he, UINT group, LPVOID params) {
    switch (group) {
    case KVHTML_HANDLE_INITIALIZATION: {
        auto& p = *static_cast<KVHTML_INITIALIZATION_PARAMS*>(params);
        if (p.cmd == KVHTML_BEHAVIOR_DETACH) h.detached(he);
        else if (p.cmd == KVHTML_BEHAVIOR_ATTACH) h.attached(he);
        return TRUE;
    }
    case KVHTML_HANDLE_MOUSE: return h.handle_mouse(he, *static_cast<KVHTML_MOUSE_PARAMS*>(params));
    case KVHTML_HANDLE_KEY: return h.handle_key(he, *static_cast<KVHTML_KEY_PARAMS*>(params));
    case KVHTML_HANDLE_FOCUS: return h.handle_focus(he, *static_cast<KVHTML_FOCUS_PARAMS*>(params));
    case KVHTML_HANDLE_SCROLL: return h.handle_scroll(he, *static_cast<KVHTML_SCROLL_PARAMS*>(params));
    case KVHTML_HANDLE_TIMER: return h.handle_timer(he, *static_cast<KVHTML_TIMER_PARAMS*>(params));
    case KVHTML_HANDLE_SIZE: h.handle_size(he); return FALSE;
    case KVHTML_HANDLE_DRAW: return h.handle_draw(he, *static_cast<KVHTML_DRAW_PARAMS*>(params));
    case KVHTML_HANDLE_DATA_ARRIVED:
        return h.handle_data_arrived(he, *static_cast<KVHTML_DATA_ARRIVED_PARAMS*>(params));
    case KVHTML_HANDLE_BEHAVIOR_EVENT: return h.handle_event(he, *static_cast<KVHTML_BEHAVIOR_EVENT_PARAMS*>(params));
    case KVHTML_HANDLE_METHOD_CALL: {
        auto* p = static_cast<KVHTML_METHOD_PARAMS*>(params);
        if (p->method_id == KVHTML_NAMED_METHOD)
            return h.handle_script_call(he, *reinterpret_cast<KVHTML_NAMED_CALL_PARAMS*>(p));
        return h.handle_method_call(he, *p);
    }
    default: return FALSE;
    }
}

}  // namespace

BOOL KVCALL element_proc(LPVOID tag, HELEMENT he, UINT group, LPVOID params) {
    if (!tag) return FALSE;
    // Every group but initialisation needs its record; the engine always
    // gives one, a stray caller may not.
    if (!params) return FALSE;
    try {
        return dispatch(*static_cast<event_handler*>(tag), he, group, params);
    } catch (...) {
        log_exception("element_proc");
        return FALSE;
    }
}

}  // namespace kvhtml
