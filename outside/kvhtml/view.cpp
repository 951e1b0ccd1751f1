#include "outside/kvhtml/view.hpp"

#include <map>

#include "outside/kvhtml/core/events.hpp"
#include "outside/kvhtml/core/page.hpp"
#include "outside/kvhtml/core/style.hpp"
#include "outside/kvhtml/core/text.hpp"

namespace kvhtml::engine {

namespace {

std::map<HWND, std::unique_ptr<view>>& views() {
    static std::map<HWND, std::unique_ptr<view>> all;
    return all;
}

std::optional<std::string> read_resource(const std::wstring& name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(23));  // RT_HTML
    if (!found) found = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

std::optional<std::string> read_file(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        out.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = out.empty() || (ReadFile(file, out.data(), static_cast<DWORD>(out.size()), &got, nullptr) && got == out.size());
    }
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace

std::wstring widen(const std::string& utf8) {
    std::u16string w = core::utf8_to_utf16(utf8);
    return std::wstring(w.begin(), w.end());
}

std::string narrow(const wchar_t* text, size_t length) {
    if (!text) return {};
    return core::utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

BOOL call_proc(const core::handler_entry& h, element* owner, UINT group, void* params) {
    if (!h.proc) return FALSE;
    auto proc = reinterpret_cast<KvhtmlElementEventProc>(h.proc);
    return proc(h.tag, handle(owner), group, params);
}

view::view(HWND w) : hwnd(w) { doc.hooks = this; }

view::~view() {
    for (auto& p : posted_) {
        core::document::unuse(p.target);
        if (p.source) core::document::unuse(p.source);
    }
    posted_.clear();
    doc.clear();  // while this object can still hear about it
    doc.hooks = nullptr;
}

view* view::of(HWND hwnd, bool create) {
    if (!hwnd || !IsWindow(hwnd)) return nullptr;
    auto& all = views();
    auto it = all.find(hwnd);
    if (it != all.end()) return it->second.get();
    if (!create) return nullptr;
    return all.emplace(hwnd, std::make_unique<view>(hwnd)).first->second.get();
}

view* view::of(element* e) {
    if (!e || !e->doc) return nullptr;
    return dynamic_cast<view*>(e->doc->hooks);
}

void view::forget(HWND hwnd) {
    auto& all = views();
    auto it = all.find(hwnd);
    if (it == all.end()) return;
    std::unique_ptr<view> gone = std::move(it->second);
    all.erase(it);
}

core::document& view::limbo() {
    // Elements made but never inserted die here, finalizers and all.
    struct limbo_hooks : core::document_hooks {
        void element_dying(element& e) override { element_died(e); }
    };
    static limbo_hooks hooks;
    static core::document made;
    made.hooks = &hooks;
    return made;
}

UINT view::posted_message() {
    static UINT id = RegisterWindowMessageW(L"KvhtmlPostedEvent");
    return id;
}

bool view::load(const BYTE* bytes, UINT size, LPCWSTR base_url) {
    if (!bytes || !size) return false;
    std::string base = narrow(base_url);
    core::load_page(doc, std::string_view(reinterpret_cast<const char*>(bytes), size), base,
                    [this](const std::string& url) { return fetch(url, KVHTML_DATA_STYLE); });
    flush();
    if (callback) {
        KVHTML_NOTIFICATION n{KVHTML_DOCUMENT_COMPLETE, hwnd};
        callback(&n, callback_param);
    }
    return doc.root() != nullptr;
}

void view::flush(bool changed_only) {
    doc.styles->restyle(doc, [this](element& e, const std::string& name) { attach_behavior(e, name); }, changed_only);
}

std::optional<std::string> view::fetch(const std::string& url, UINT data_type) {
    std::wstring uri = widen(url);
    if (callback) {
        KVHTML_LOAD_DATA_NOTIFICATION n{KVHTML_LOAD_DATA, hwnd, uri.c_str(), nullptr, 0, data_type, nullptr};
        supplied_.reset();
        const std::wstring* outer = requested_uri_;
        requested_uri_ = &uri;
        UINT answer = callback(reinterpret_cast<KVHTML_NOTIFICATION*>(&n), callback_param);
        requested_uri_ = outer;
        std::optional<std::string> data = std::move(supplied_);
        supplied_.reset();
        if (answer == KVHTML_LOAD_DISCARD) return std::nullopt;
        if (data) return data;
    }
    // Nothing supplied: the engine's own means.
    if (uri.compare(0, 4, L"res:") == 0) {
        std::wstring name = uri.substr(4);
        while (!name.empty() && (name[0] == L'/' || name[0] == L'\\')) name.erase(0, 1);
        return read_resource(name);
    }
    std::wstring path = uri;
    if (path.compare(0, 8, L"file:///") == 0) path = path.substr(8);
    else if (path.compare(0, 5, L"file:") == 0) path = path.substr(5);
    return read_file(path);
}

bool view::supply(const std::wstring& uri, const BYTE* data, UINT size) {
    // Only during a request; the URI may differ in form (the host may
    // have resolved it), so it is not compared.
    (void)uri;
    if (!requested_uri_) return false;
    supplied_ = std::string(reinterpret_cast<const char*>(data), size);
    return true;
}

bool view::send_behavior_event(element* target, UINT code, element* source, UINT_PTR reason) {
    KVHTML_BEHAVIOR_EVENT_PARAMS p{};
    p.target = handle(source ? source : target);
    p.reason = reason;
    bool handled = core::route_event(target, &window_handler, KVHTML_HANDLE_BEHAVIOR_EVENT,
                                     [&](element* owner, const core::handler_entry& h, bool sinking) {
                                         p.cmd = code | (sinking ? KVHTML_SINKING : 0);
                                         p.he = handle(owner ? owner : target);
                                         return call_proc(h, owner ? owner : target, KVHTML_HANDLE_BEHAVIOR_EVENT, &p) != FALSE;
                                     });
    return handled;
}

void view::post(posted_event e) {
    core::document::use(e.target);
    if (e.source) core::document::use(e.source);
    posted_.push_back(e);
    if (!post_pending_) post_pending_ = PostMessageW(hwnd, posted_message(), 0, 0) != FALSE;
}

void view::deliver_posted() {
    post_pending_ = false;
    std::deque<posted_event> now;
    now.swap(posted_);
    for (auto& p : now) {
        if (live(handle(p.target)) && (!p.source || live(handle(p.source))))
            send_behavior_event(p.target, p.code, p.source, p.reason);
        core::document::unuse(p.target);
        if (p.source) core::document::unuse(p.source);
    }
}

void view::attach_behavior(element& e, const std::string& name) {
    if (!callback) return;
    KVHTML_ATTACH_BEHAVIOR_NOTIFICATION n{KVHTML_ATTACH_BEHAVIOR, hwnd, handle(&e), name.c_str(), nullptr, nullptr, 0};
    callback(reinterpret_cast<KVHTML_NOTIFICATION*>(&n), callback_param);
    if (!n.element_proc || e.dead) return;
    core::handler_entry h{reinterpret_cast<void*>(n.element_proc), n.element_tag, n.subscription, true};
    core::attach_handler(e, h);
    KVHTML_INITIALIZATION_PARAMS init{KVHTML_BEHAVIOR_ATTACH};
    call_proc(h, &e, KVHTML_HANDLE_INITIALIZATION, &init);
}

void view::element_dying(element& e) { element_died(e); }

void element_died(element& e) {
    std::vector<core::handler_entry> handlers = e.handlers;
    for (auto& h : handlers) {
        KVHTML_INITIALIZATION_PARAMS init{KVHTML_BEHAVIOR_DETACH};
        call_proc(h, &e, KVHTML_HANDLE_INITIALIZATION, &init);
    }
    if (e.expando_finalizer) {
        auto finalizer = reinterpret_cast<KvhtmlExpandoFinalizer>(e.expando_finalizer);
        void* expando = e.expando;
        e.expando_finalizer = nullptr;
        e.expando = nullptr;
        finalizer(handle(&e), expando);
    }
}

void view::element_detaching(element& top) {
    std::vector<element*> stack{&top};
    while (!stack.empty()) {
        element* e = stack.back();
        stack.pop_back();
        std::vector<core::handler_entry> handlers = e->handlers;
        for (auto& h : handlers) {
            if (!h.from_behavior) continue;
            core::detach_handler(*e, h.proc, h.tag);
            KVHTML_INITIALIZATION_PARAMS init{KVHTML_BEHAVIOR_DETACH};
            call_proc(h, e, KVHTML_HANDLE_INITIALIZATION, &init);
        }
        e->behaviors.clear();
        for (element* k : e->kids) stack.push_back(k);
    }
}

void flush_of(element* e) {
    if (view* v = view::of(e)) v->flush(true);
}

HWND window_of(element* e) {
    view* v = view::of(e);
    return v ? v->hwnd : nullptr;
}

void flush_window(HWND hwnd) {
    if (hwnd)
        if (view* v = view::of(hwnd, false)) v->flush(true);
}

void flush_all(element* e) {
    if (view* v = view::of(e)) v->flush();
    else if (e->doc) e->doc->styles->restyle(*e->doc);
}

}  // namespace kvhtml::engine
