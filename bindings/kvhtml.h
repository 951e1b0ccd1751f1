/* The HTML engine's call interface (kvhtml.dll): documents bound to
 * windows, notifications to the host, elements, events and values. Shared
 * by the program and by the engine itself. All calls use the C calling
 * convention; no call throws. Strings handed to callbacks are valid only
 * during the call. */
#ifndef KELVANE_BINDINGS_KVHTML_H
#define KELVANE_BINDINGS_KVHTML_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KVCALL __cdecl
#ifdef KVHTML_BUILDING_DLL
#define KVHTML_API __declspec(dllexport)
#else
#define KVHTML_API __declspec(dllimport)
#endif

/* An element of a document; opaque, counted by Kvhtml_UseElement and
 * Kvhtml_UnuseElement. A handle stays safe to pass after its element has
 * been deleted: calls on it return KVHTML_INVALID_HANDLE. */
typedef struct kvhtml_element_t* HELEMENT;

/* Result codes. */
typedef int32_t KVHTML_RESULT;
enum {
    KVHTML_OK = 0,
    KVHTML_INVALID_HANDLE = 1,
    KVHTML_INVALID_FORMAT = 2, /* e.g. a selector that does not parse */
    KVHTML_INVALID_PARAMETER = 3,
    KVHTML_OPERATION_FAILED = 4,
    KVHTML_INVALID_HWND = 5,
    KVHTML_NOT_SUPPORTED = 6, /* needs the layout, which this build lacks */
    KVHTML_OK_NOT_HANDLED = -1
};

/* Element states. */
enum {
    KVHTML_STATE_HOVER = 0x02,
    KVHTML_STATE_ACTIVE = 0x04,
    KVHTML_STATE_FOCUS = 0x08,
    KVHTML_STATE_VISITED = 0x10,
    KVHTML_STATE_CURRENT = 0x20,
    KVHTML_STATE_CHECKED = 0x40,
    KVHTML_STATE_DISABLED = 0x80,
    KVHTML_STATE_EXPANDED = 0x200,
    KVHTML_STATE_COLLAPSED = 0x400,
    KVHTML_STATE_ANCHOR = 0x4000
};

/* The value record: 16 bytes on every platform. Strings are UTF-16,
 * shared between copies; every record ends with ValueClear. */
typedef struct VALUE {
    UINT t;
    UINT u;
    UINT64 d;
} VALUE;
enum { T_UNDEFINED = 0, T_NULL = 1, T_BOOL = 2, T_INT = 3, T_FLOAT = 4, T_STRING = 5 };
enum { HV_OK = 0, HV_BAD_PARAMETER = 1, HV_INCOMPATIBLE_TYPE = 2 };

/* Event groups: the bits of a subscription, and the group argument of an
 * event procedure (0 is the initialisation group, always delivered). */
enum {
    KVHTML_HANDLE_INITIALIZATION = 0x00,
    KVHTML_HANDLE_MOUSE = 0x01,
    KVHTML_HANDLE_KEY = 0x02,
    KVHTML_HANDLE_FOCUS = 0x04,
    KVHTML_HANDLE_SCROLL = 0x08,
    KVHTML_HANDLE_TIMER = 0x10,
    KVHTML_HANDLE_SIZE = 0x20,
    KVHTML_HANDLE_DRAW = 0x40,
    KVHTML_HANDLE_DATA_ARRIVED = 0x80,
    KVHTML_HANDLE_BEHAVIOR_EVENT = 0x100,
    KVHTML_HANDLE_METHOD_CALL = 0x200,
    KVHTML_HANDLE_ALL = 0x3FF
};

/* Set in an event code while the event travels down to its target. */
#define KVHTML_SINKING 0x8000

/* Initialisation events. */
enum { KVHTML_BEHAVIOR_DETACH = 0, KVHTML_BEHAVIOR_ATTACH = 1 };
typedef struct KVHTML_INITIALIZATION_PARAMS {
    UINT cmd;
} KVHTML_INITIALIZATION_PARAMS;

/* Mouse events and buttons. */
enum {
    KVHTML_MOUSE_ENTER = 0,
    KVHTML_MOUSE_LEAVE = 1,
    KVHTML_MOUSE_MOVE = 2,
    KVHTML_MOUSE_UP = 3,
    KVHTML_MOUSE_DOWN = 4,
    KVHTML_MOUSE_DCLICK = 5,
    KVHTML_MOUSE_WHEEL = 6
};
enum { KVHTML_MAIN_MOUSE_BUTTON = 1, KVHTML_PROP_MOUSE_BUTTON = 2, KVHTML_MIDDLE_MOUSE_BUTTON = 4 };
enum { KVHTML_CONTROL_KEY_PRESSED = 1, KVHTML_SHIFT_KEY_PRESSED = 2, KVHTML_ALT_KEY_PRESSED = 4 };
typedef struct KVHTML_MOUSE_PARAMS {
    UINT cmd;
    HELEMENT target;
    POINT pos;          /* in the element */
    POINT pos_document; /* in the document */
    UINT button_state;
    UINT alt_state;
    UINT cursor_type;
    BOOL is_on_icon;
} KVHTML_MOUSE_PARAMS;

enum { KVHTML_KEY_DOWN = 0, KVHTML_KEY_UP = 1, KVHTML_KEY_CHAR = 2 };
typedef struct KVHTML_KEY_PARAMS {
    UINT cmd;
    HELEMENT target;
    UINT key_code;
    UINT alt_state;
} KVHTML_KEY_PARAMS;

enum { KVHTML_FOCUS_LOST = 0, KVHTML_FOCUS_GOT = 1 };
typedef struct KVHTML_FOCUS_PARAMS {
    UINT cmd;
    HELEMENT target;
    BOOL by_mouse_click;
    BOOL cancel;
} KVHTML_FOCUS_PARAMS;

typedef struct KVHTML_SCROLL_PARAMS {
    UINT cmd;
    HELEMENT target;
    INT pos;
    BOOL vertical;
} KVHTML_SCROLL_PARAMS;

typedef struct KVHTML_TIMER_PARAMS {
    UINT_PTR timer_id;
} KVHTML_TIMER_PARAMS;

enum { KVHTML_DRAW_BACKGROUND = 0, KVHTML_DRAW_CONTENT = 1, KVHTML_DRAW_FOREGROUND = 2 };
typedef struct KVHTML_DRAW_PARAMS {
    UINT cmd; /* the layer */
    HDC hdc;
    RECT area;
    UINT reserved;
} KVHTML_DRAW_PARAMS;

typedef struct KVHTML_DATA_ARRIVED_PARAMS {
    HELEMENT initiator;
    const BYTE* data;
    UINT data_size;
    UINT data_type;
    UINT status;
    LPCWSTR uri;
} KVHTML_DATA_ARRIVED_PARAMS;

/* Behaviour events (group 0x100). */
enum {
    KVHTML_BUTTON_CLICK = 0,
    KVHTML_BUTTON_PRESS = 1,
    KVHTML_BUTTON_STATE_CHANGED = 2,
    KVHTML_EDIT_VALUE_CHANGING = 3,
    KVHTML_EDIT_VALUE_CHANGED = 4,
    KVHTML_SELECT_SELECTION_CHANGED = 5,
    KVHTML_SELECT_STATE_CHANGED = 6,
    KVHTML_POPUP_REQUEST = 7,
    KVHTML_POPUP_READY = 8,
    KVHTML_POPUP_DISMISSED = 9,
    KVHTML_MENU_ITEM_ACTIVE = 0xA,
    KVHTML_MENU_ITEM_CLICK = 0xB,
    KVHTML_VISIBILITY_CHANGED = 0x11,
    KVHTML_HYPERLINK_CLICK = 0x80,
    KVHTML_TABLE_HEADER_CLICK = 0x81,
    KVHTML_TABLE_ROW_CLICK = 0x82,
    KVHTML_TABLE_ROW_DBL_CLICK = 0x83,
    KVHTML_ELEMENT_COLLAPSED = 0x90,
    KVHTML_ELEMENT_EXPANDED = 0x91,
    KVHTML_ACTIVATE_CHILD = 0x92
};
typedef struct KVHTML_BEHAVIOR_EVENT_PARAMS {
    UINT cmd;         /* code, with KVHTML_SINKING while sinking */
    HELEMENT target;  /* the source of the event */
    HELEMENT he;      /* the element the handler is attached to */
    UINT_PTR reason;
    VALUE data;
} KVHTML_BEHAVIOR_EVENT_PARAMS;

/* Method calls (group 0x200). Method 0xFF is a named call. */
#define KVHTML_NAMED_METHOD 0xFF
typedef struct KVHTML_METHOD_PARAMS {
    UINT method_id;
} KVHTML_METHOD_PARAMS;
typedef struct KVHTML_NAMED_CALL_PARAMS {
    UINT method_id; /* KVHTML_NAMED_METHOD */
    LPCSTR name;
    UINT argc;      /* at most 8 */
    const VALUE* argv;
    VALUE result;
} KVHTML_NAMED_CALL_PARAMS;

/* The procedure of an event handler: nonzero means handled. */
typedef BOOL(KVCALL* KvhtmlElementEventProc)(LPVOID tag, HELEMENT he, UINT group, LPVOID params);

/* Notifications to the host. */
enum { KVHTML_LOAD_DATA = 0xB01, KVHTML_DOCUMENT_COMPLETE = 0xB04, KVHTML_ATTACH_BEHAVIOR = 0xB07 };
/* Answers to KVHTML_LOAD_DATA. */
enum { KVHTML_LOAD_OK = 0, KVHTML_LOAD_DISCARD = 1 };
typedef struct KVHTML_NOTIFICATION {
    UINT code;
    HWND hwnd;
} KVHTML_NOTIFICATION;
typedef struct KVHTML_LOAD_DATA_NOTIFICATION {
    UINT code;
    HWND hwnd;
    LPCWSTR uri;
    const BYTE* out_data; /* what KvhtmlDataReady supplied, if anything */
    UINT out_data_size;
    UINT data_type;       /* 0 html, 1 style sheet, other: ours */
    HELEMENT principal;
} KVHTML_LOAD_DATA_NOTIFICATION;
typedef struct KVHTML_ATTACH_BEHAVIOR_NOTIFICATION {
    UINT code;
    HWND hwnd;
    HELEMENT element;
    LPCSTR behavior_name;
    KvhtmlElementEventProc element_proc; /* filled in by the host */
    LPVOID element_tag;                  /* filled in by the host */
    UINT subscription;                   /* filled in by the host */
} KVHTML_ATTACH_BEHAVIOR_NOTIFICATION;
enum { KVHTML_DATA_HTML = 0, KVHTML_DATA_STYLE = 1 };

typedef UINT(KVCALL* KvhtmlHostCallback)(KVHTML_NOTIFICATION* notification, LPVOID param);

/* Receivers of results and per-element callbacks (nonzero stops). */
typedef void(KVCALL* KvhtmlStringReceiverW)(LPCWSTR text, UINT length, LPVOID param);
typedef void(KVCALL* KvhtmlStringReceiverA)(LPCSTR text, UINT length, LPVOID param);
typedef void(KVCALL* KvhtmlBytesReceiver)(const BYTE* bytes, UINT length, LPVOID param);
typedef BOOL(KVCALL* KvhtmlElementCallback)(HELEMENT he, LPVOID param);
typedef INT(KVCALL* KvhtmlElementComparator)(HELEMENT a, HELEMENT b, LPVOID param);
typedef void(KVCALL* KvhtmlExpandoFinalizer)(HELEMENT he, LPVOID expando);

/* Modes of KvhtmlSetElementHtml. */
enum {
    KVHTML_SIH_REPLACE_CONTENT = 0,
    KVHTML_SIH_INSERT_AT_START = 1,
    KVHTML_SIH_APPEND_AFTER_LAST = 2,
    KVHTML_SOH_REPLACE = 3,
    KVHTML_SOH_INSERT_BEFORE = 4,
    KVHTML_SOH_INSERT_AFTER = 5
};
#define KVHTML_APPEND_INDEX 0x7FFFFFFF

/* Window. */
KVHTML_API LRESULT KVCALL KvhtmlProcND(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, BOOL* handled);
KVHTML_API void KVCALL KvhtmlSetCallback(HWND hwnd, KvhtmlHostCallback callback, LPVOID param);
KVHTML_API BOOL KVCALL KvhtmlLoadHtml(HWND hwnd, const BYTE* html, UINT size, LPCWSTR base_url);
KVHTML_API BOOL KVCALL KvhtmlDataReady(HWND hwnd, LPCWSTR uri, const BYTE* data, UINT size);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlWindowAttachEventHandler(HWND hwnd, KvhtmlElementEventProc proc, LPVOID tag, UINT subscription);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlWindowDetachEventHandler(HWND hwnd, KvhtmlElementEventProc proc, LPVOID tag);

/* Handles. */
KVHTML_API KVHTML_RESULT KVCALL Kvhtml_UseElement(HELEMENT he);
KVHTML_API KVHTML_RESULT KVCALL Kvhtml_UnuseElement(HELEMENT he);

/* Finding and walking. Returned handles are borrowed: Kvhtml_UseElement
 * keeps one. */
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetRootElement(HWND hwnd, HELEMENT* out);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSelectElements(HELEMENT he, LPCSTR selector, KvhtmlElementCallback callback, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSelectElementsW(HELEMENT he, LPCWSTR selector, KvhtmlElementCallback callback, LPVOID param);
/* The nearest of he and its ancestors that matches; depth 0: any level,
 * 1: he only, n: he and n-1 ancestors. */
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSelectParent(HELEMENT he, LPCSTR selector, UINT depth, HELEMENT* out);
/* Elements below he (depth 0: any level, 1: children, ...) with the tag
 * (null: any) and the attribute (null name: any; null value: present). */
KVHTML_API KVHTML_RESULT KVCALL KvhtmlVisitElements(HELEMENT he, LPCSTR tag, LPCSTR attribute, LPCWSTR value, KvhtmlElementCallback callback, LPVOID param, UINT depth);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetChildrenCount(HELEMENT he, UINT* count);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetNthChild(HELEMENT he, UINT n, HELEMENT* out);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetParentElement(HELEMENT he, HELEMENT* out);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementIndex(HELEMENT he, UINT* index);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementType(HELEMENT he, KvhtmlStringReceiverA receiver, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementUID(HELEMENT he, UINT* uid);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementByUID(HWND hwnd, UINT uid, HELEMENT* out);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementHwnd(HELEMENT he, HWND* out, BOOL root_window);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlIsElementVisible(HELEMENT he, BOOL* visible);

/* Changing. */
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetAttributeByName(HELEMENT he, LPCSTR name, KvhtmlStringReceiverW receiver, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSetAttributeByName(HELEMENT he, LPCSTR name, LPCWSTR value);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetAttributeCount(HELEMENT he, UINT* count);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetNthAttribute(HELEMENT he, UINT n, KvhtmlStringReceiverA name, KvhtmlStringReceiverW value, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetStyleAttribute(HELEMENT he, LPCSTR name, KvhtmlStringReceiverW receiver, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSetStyleAttribute(HELEMENT he, LPCSTR name, LPCWSTR value);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementState(HELEMENT he, UINT* state);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSetElementState(HELEMENT he, UINT bits_to_set, UINT bits_to_clear, BOOL update);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementInnerText16(HELEMENT he, KvhtmlStringReceiverW receiver, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSetElementInnerText16(HELEMENT he, LPCWSTR text, UINT length);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetElementHtml(HELEMENT he, BOOL outer, KvhtmlBytesReceiver receiver, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSetElementHtml(HELEMENT he, const BYTE* html, UINT size, UINT mode);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlCreateElement(LPCSTR tag, LPCWSTR text, HELEMENT* out);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlCloneElement(HELEMENT he, HELEMENT* out);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlInsertElement(HELEMENT he, HELEMENT parent, UINT index);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlDeleteElement(HELEMENT he);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlDetachElement(HELEMENT he);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSortElements(HELEMENT parent, UINT first, UINT last, KvhtmlElementComparator comparator, LPVOID param);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlUpdateElement(HELEMENT he, BOOL render_now);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlScrollToView(HELEMENT he, UINT flags);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlElementSetExpando(HELEMENT he, LPVOID expando, KvhtmlExpandoFinalizer finalizer);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlElementGetExpando(HELEMENT he, LPVOID* expando);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetMinWidth(HELEMENT he, INT* width);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlGetMinHeight(HELEMENT he, INT width, INT* height);

/* Events. */
KVHTML_API KVHTML_RESULT KVCALL KvhtmlAttachEventHandlerEx(HELEMENT he, KvhtmlElementEventProc proc, LPVOID tag, UINT subscription);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlDetachEventHandler(HELEMENT he, KvhtmlElementEventProc proc, LPVOID tag);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlSendEvent(HELEMENT he, UINT code, HELEMENT source, UINT_PTR reason, BOOL* handled);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlPostEvent(HELEMENT he, UINT code, HELEMENT source, UINT_PTR reason);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlCallBehaviorMethod(HELEMENT he, KVHTML_METHOD_PARAMS* params);

/* Values. */
KVHTML_API KVHTML_RESULT KVCALL KvhtmlControlGetValue(HELEMENT he, VALUE* value);
KVHTML_API KVHTML_RESULT KVCALL KvhtmlControlSetValue(HELEMENT he, const VALUE* value);
KVHTML_API UINT KVCALL ValueInit(VALUE* value);
KVHTML_API UINT KVCALL ValueClear(VALUE* value);
KVHTML_API UINT KVCALL ValueCopy(VALUE* dst, const VALUE* src);
KVHTML_API UINT KVCALL ValueToString(VALUE* value, UINT how);
KVHTML_API UINT KVCALL ValueStringData(const VALUE* value, LPCWSTR* chars, UINT* length);
KVHTML_API UINT KVCALL ValueStringDataSet(VALUE* value, LPCWSTR chars, UINT length, UINT units);

#ifdef __cplusplus
}

static_assert(sizeof(VALUE) == 16, "the value record is 16 bytes");
static_assert(sizeof(KVHTML_METHOD_PARAMS) == 4, "method records start with the method id");
#endif

#endif
