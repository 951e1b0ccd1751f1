#include "outside/kvhtml/tests/host.hpp"

#include <cstring>

namespace kvhtml_tests {

namespace {

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    BOOL handled = FALSE;
    LRESULT r = KvhtmlProcND(hwnd, msg, wp, lp, &handled);
    return handled ? r : DefWindowProcW(hwnd, msg, wp, lp);
}

std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

UINT KVCALL notify(KVHTML_NOTIFICATION* n, LPVOID param) {
    auto* h = static_cast<host*>(param);
    switch (n->code) {
    case KVHTML_LOAD_DATA: {
        auto* d = reinterpret_cast<KVHTML_LOAD_DATA_NOTIFICATION*>(n);
        std::wstring uri = d->uri;
        h->log.push_back("load " + narrow(uri));
        for (auto& x : h->dropped)
            if (x == uri) return KVHTML_LOAD_DISCARD;
        auto it = h->files.find(uri);
        if (it != h->files.end() &&
            !KvhtmlDataReady(n->hwnd, d->uri, reinterpret_cast<const BYTE*>(it->second.data()), static_cast<UINT>(it->second.size())))
            h->log.push_back("refused");
        return KVHTML_LOAD_OK;
    }
    case KVHTML_DOCUMENT_COMPLETE: h->log.push_back("complete"); return 0;
    case KVHTML_ATTACH_BEHAVIOR: {
        auto* b = reinterpret_cast<KVHTML_ATTACH_BEHAVIOR_NOTIFICATION*>(n);
        h->log.push_back("behavior " + id_of(b->element) + " " + b->behavior_name);
        if (std::strcmp(b->behavior_name, "probe") == 0) {
            b->element_proc = probe_proc;
            b->element_tag = h;
            b->subscription = KVHTML_HANDLE_BEHAVIOR_EVENT | KVHTML_HANDLE_METHOD_CALL;
        }
        return 0;
    }
    }
    return 0;
}

void KVCALL take_w(LPCWSTR text, UINT length, LPVOID param) { static_cast<std::wstring*>(param)->assign(text, length); }
void KVCALL take_bytes(const BYTE* b, UINT n, LPVOID param) {
    static_cast<std::string*>(param)->assign(reinterpret_cast<const char*>(b), n);
}
BOOL KVCALL take_first(HELEMENT he, LPVOID param) {
    *static_cast<HELEMENT*>(param) = he;
    return TRUE;
}

}  // namespace

BOOL KVCALL probe_proc(LPVOID tag, HELEMENT he, UINT group, LPVOID params) {
    auto* h = static_cast<host*>(tag);
    if (group == KVHTML_HANDLE_INITIALIZATION) {
        auto* p = static_cast<KVHTML_INITIALIZATION_PARAMS*>(params);
        h->log.push_back((p->cmd == KVHTML_BEHAVIOR_ATTACH ? "attached " : "detached ") + id_of(he));
        return TRUE;
    }
    if (group == KVHTML_HANDLE_BEHAVIOR_EVENT) {
        auto* p = static_cast<KVHTML_BEHAVIOR_EVENT_PARAMS*>(params);
        std::string at = id_of(he) + (p->cmd & KVHTML_SINKING ? ":v" : ":^");
        h->log.push_back("event " + std::to_string(p->cmd & ~KVHTML_SINKING) + " " + at + " from " + id_of(p->target));
        return at == h->handle_at;
    }
    if (group == KVHTML_HANDLE_METHOD_CALL) {
        auto* m = static_cast<KVHTML_METHOD_PARAMS*>(params);
        if (m->method_id != KVHTML_NAMED_METHOD) return FALSE;
        auto* call = static_cast<KVHTML_NAMED_CALL_PARAMS*>(params);
        if (std::strcmp(call->name, "join") != 0) return FALSE;
        // Joins the arguments' texts with "+".
        std::wstring joined;
        for (UINT i = 0; i < call->argc; ++i) {
            VALUE copy;
            ValueInit(&copy);
            ValueCopy(&copy, &call->argv[i]);
            ValueToString(&copy, 0);
            LPCWSTR chars = nullptr;
            UINT length = 0;
            ValueStringData(&copy, &chars, &length);
            joined += (i ? L"+" : L"") + std::wstring(chars, length);
            ValueClear(&copy);
        }
        ValueStringDataSet(&call->result, joined.c_str(), static_cast<UINT>(joined.size()), 0);
        return TRUE;
    }
    return FALSE;
}

host::host() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KvhtmlTestHost";
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd = CreateWindowExW(0, L"KvhtmlTestHost", L"test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    KvhtmlSetCallback(hwnd, notify, this);
}

host::~host() {
    if (hwnd) DestroyWindow(hwnd);
}

bool host::load(const std::string& html) {
    return KvhtmlLoadHtml(hwnd, reinterpret_cast<const BYTE*>(html.data()), static_cast<UINT>(html.size()), L"") != FALSE;
}

HELEMENT root(host& h) {
    HELEMENT r = nullptr;
    KvhtmlGetRootElement(h.hwnd, &r);
    return r;
}

HELEMENT find(HELEMENT under, const char* selector) {
    HELEMENT found = nullptr;
    KvhtmlSelectElements(under, selector, take_first, &found);
    return found;
}

std::string attribute(HELEMENT he, const char* name) {
    std::wstring w;
    if (KvhtmlGetAttributeByName(he, name, take_w, &w) != KVHTML_OK) return "<none>";
    return narrow(w);
}

std::string id_of(HELEMENT he) {
    std::string id = attribute(he, "id");
    return id == "<none>" ? "?" : id;
}

std::string html_of(HELEMENT he, bool outer) {
    std::string s;
    KvhtmlGetElementHtml(he, outer, take_bytes, &s);
    return s;
}

std::wstring text_of(HELEMENT he) {
    std::wstring w;
    KvhtmlGetElementInnerText16(he, take_w, &w);
    return w;
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace kvhtml_tests
