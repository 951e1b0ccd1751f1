// The interface all page logic implements: one object handles the events
// of the elements it is attached to. The engine reaches it through
// element_proc, with the handler object as the tag. Every default reports
// "not handled" (FALSE) or does nothing; the handle_* operations take the
// engine's record apart and call the matching on_* operation.
#pragma once

#include <windows.h>

#include "bindings/kvhtml.h"

namespace kvhtml {

class event_handler {
public:
    explicit event_handler(UINT subscription = 0) : subscription(subscription) {}
    event_handler(const event_handler&) = delete;
    event_handler& operator=(const event_handler&) = delete;
    virtual ~event_handler() = default;

    virtual void detached(HELEMENT /*he*/) {}
    virtual void attached(HELEMENT /*he*/) {}
    // The handler for one more element; by default one shared handler.
    virtual event_handler* attach_instance(HELEMENT /*he*/) { return this; }

    virtual BOOL handle_mouse(HELEMENT he, KVHTML_MOUSE_PARAMS& p);
    virtual BOOL handle_key(HELEMENT he, KVHTML_KEY_PARAMS& p);
    virtual BOOL handle_focus(HELEMENT he, KVHTML_FOCUS_PARAMS& p);
    virtual BOOL handle_timer(HELEMENT he, KVHTML_TIMER_PARAMS& p);
    virtual void handle_size(HELEMENT he);
    virtual BOOL handle_scroll(HELEMENT he, KVHTML_SCROLL_PARAMS& p);
    virtual BOOL handle_draw(HELEMENT he, KVHTML_DRAW_PARAMS& p);
    virtual BOOL handle_method_call(HELEMENT he, KVHTML_METHOD_PARAMS& p);
    virtual BOOL handle_script_call(HELEMENT he, KVHTML_NAMED_CALL_PARAMS& p);
    virtual BOOL handle_event(HELEMENT he, KVHTML_BEHAVIOR_EVENT_PARAMS& p);
    virtual BOOL handle_data_arrived(HELEMENT he, KVHTML_DATA_ARRIVED_PARAMS& p);

    virtual BOOL on_mouse(HELEMENT /*he*/, HELEMENT /*target*/, UINT /*cmd*/, POINT /*pos*/, UINT /*buttons*/,
                          UINT /*keys*/) {
        return FALSE;
    }
    virtual BOOL on_key(HELEMENT /*he*/, HELEMENT /*target*/, UINT /*cmd*/, UINT /*code*/, UINT /*keys*/) {
        return FALSE;
    }
    virtual BOOL on_focus(HELEMENT /*he*/, HELEMENT /*target*/, UINT /*cmd*/) { return FALSE; }
    virtual BOOL on_timer(HELEMENT /*he*/, UINT_PTR /*id*/) { return FALSE; }
    virtual BOOL on_timer(HELEMENT /*he*/) { return FALSE; }
    virtual BOOL on_draw(HELEMENT /*he*/, UINT /*layer*/, HDC /*hdc*/, const RECT& /*area*/) { return FALSE; }
    virtual void on_size(HELEMENT /*he*/) {}
    virtual BOOL on_method_call(HELEMENT /*he*/, UINT /*method_id*/) { return FALSE; }
    virtual BOOL on_script_call(HELEMENT /*he*/, LPCSTR /*name*/, UINT /*argc*/, const VALUE* /*argv*/,
                                VALUE& /*result*/) {
        return FALSE;
    }
    virtual BOOL on_event(HELEMENT /*he*/, HELEMENT /*target*/, UINT /*code*/, UINT_PTR /*reason*/) {
        return FALSE;
    }
    virtual BOOL on_data_arrived(HELEMENT /*he*/, HELEMENT /*initiator*/, const BYTE* /*data*/, UINT /*size*/,
                                 UINT /*type*/) {
        return FALSE;
    }
    virtual BOOL on_scroll(HELEMENT /*he*/, HELEMENT /*target*/, UINT /*cmd*/, INT /*pos*/, BOOL /*vertical*/) {
        return FALSE;
    }

    // The engine's event groups this handler wants (0x01 mouse ... 0x200
    // method calls); initialisation events always arrive.
    UINT subscription;
};

// The one procedure the engine is given for every handler; the tag is the
// event_handler. A handler's exception is logged under "element_proc" and
// the event reported not handled.
BOOL KVCALL element_proc(LPVOID tag, HELEMENT he, UINT group, LPVOID params);

}  // namespace kvhtml
