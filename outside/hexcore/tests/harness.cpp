#include "harness.hpp"

#include <sstream>

#include "outside/hexcore/sha256.hpp"
#include "tessel/unicode.hpp"

namespace harness {
namespace {

std::mutex lock;
std::condition_variable changed;
std::vector<event> seen;
std::function<void(const event&)> hook;

void record(event e) {
    std::function<void(const event&)> h;
    {
        std::lock_guard<std::mutex> guard(lock);
        seen.push_back(e);
        h = hook;
    }
    changed.notify_all();
    if (h) h(e);
}

void HXCALL on_start(int32_t op, const wchar_t* text) {
    event e;
    e.kind = event::start;
    e.operation = op;
    e.text = text ? text : L"";
    record(e);
}
void HXCALL on_progress(double p, const wchar_t* text, int32_t state, const hx_engine_driver* r) {
    event e;
    e.kind = event::progress;
    e.fraction = p;
    e.text = text ? text : L"";
    e.state = state;
    if (r) {
        e.has_record = true;
        e.record = *r;
    }
    record(e);
}
void HXCALL on_complete(int32_t op) {
    event e;
    e.kind = event::complete;
    e.operation = op;
    record(e);
}
void HXCALL on_error(int32_t op, const wchar_t* text, int32_t code) {
    event e;
    e.kind = event::error;
    e.operation = op;
    e.text = text ? text : L"";
    e.state = code;
    record(e);
}

std::string utf8(const std::wstring& w) { return tessel::unicode::to_utf8(w); }

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

}  // namespace

std::wstring here() {
    const std::wstring self = test_support::self_path();
    return self.substr(0, self.find_last_of(L'\\') + 1);
}

const functions& engine() {
    static const functions table = [] {
        functions f;
        HMODULE module = ::LoadLibraryW((here() + L"hexcoreengine.dll").c_str());
        if (!module) throw std::runtime_error("hexcoreengine.dll does not load");
#define HARNESS_RESOLVE(name, args) \
    f.name = reinterpret_cast<name##_fn>(reinterpret_cast<void*>(::GetProcAddress(module, #name)));
        HX_FUNCTIONS(HARNESS_RESOLVE)
#undef HARNESS_RESOLVE
        f.hxSetOperationStartCallback(on_start);
        f.hxSetOperationProgressCallback(on_progress);
        f.hxSetOperationCompleteCallback(on_complete);
        f.hxSetOperationErrorCallback(on_error);
        return f;
    }();
    return table;
}

std::vector<event> events() {
    std::lock_guard<std::mutex> guard(lock);
    return seen;
}

void clear_events() {
    std::lock_guard<std::mutex> guard(lock);
    seen.clear();
}

void on_event(std::function<void(const event&)> h) {
    std::lock_guard<std::mutex> guard(lock);
    hook = std::move(h);
}

bool wait_complete(std::int32_t operation, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, limit, [&] {
        for (const event& e : seen)
            if (e.kind == event::complete && e.operation == operation) return true;
        return false;
    });
}

std::int32_t configure(const std::string& xml, const std::wstring& log_base) {
    test_support::write_file(here() + L"hexcore.xml", xml);
    return engine().hxEngineInit(L"6F1C2B7E-93A4-4D58-B0E2-5A7C9D31E846", log_base.c_str());
}

std::string sha256_of_file(const std::wstring& path) {
    const std::string bytes = test_support::read_file(path);
    hexcore::sha256 h;
    h.add(bytes.data(), bytes.size());
    return h.hex();
}

world::world(const std::wstring& name) : folder_(name) {
    ::CreateDirectoryW((folder_ / L"packages").c_str(), nullptr);
}

std::string world::narrow(const std::wstring& name) const { return utf8(path(name)); }

void world::write_profile(const std::vector<device_spec>& devices) {
    std::ostringstream x;
    x << "<profile>\n";
    for (const device_spec& d : devices) {
        x << "  <device instance-id=\"" << escape(d.instance_id) << "\" description=\"" << escape(d.description)
          << "\" manufacturer=\"Contoso\" class=\"" << d.setup_class << "\" class-guid=\"{4d36e968-e325-11ce-bfc1-08002be10318}\">\n";
        if (!d.hardware_id.empty()) x << "    <hardware-id>" << escape(d.hardware_id) << "</hardware-id>\n";
        if (!d.compatible_id.empty()) x << "    <compatible-id>" << escape(d.compatible_id) << "</compatible-id>\n";
        if (!d.version.empty())
            x << "    <driver provider=\"Old Corp\" version=\"" << d.version << "\" date=\"" << d.date << "\"/>\n";
        x << "  </device>\n";
    }
    x << "</profile>\n";
    test_support::write_file(path(L"profile.xml"), x.str());
}

void world::write_catalog(const std::vector<package_spec>& packages) {
    std::ostringstream x;
    x << "<catalog>\n";
    for (const package_spec& p : packages) {
        std::string size = "1", sha = p.sha256;
        if (!p.cab.empty()) {
            const std::wstring source = here() + L"packages\\" + tessel::unicode::from_utf8(p.cab);
            const std::string bytes = test_support::read_file(source);
            test_support::write_file(path(L"packages\\" + tessel::unicode::from_utf8(p.cab)), bytes);
            size = std::to_string(bytes.size());
            if (sha.empty()) sha = sha256_of_file(source);
        }
        if (sha.empty()) sha = std::string(64, '0');
        x << "  <package id=\"" << p.id << "\" provider=\"" << p.provider << "\" version=\"" << p.version
          << "\" date=\"" << p.date << "\" description=\"" << p.description << "\" location=\""
          << escape(p.location.empty() ? "packages/" + p.cab : p.location) << "\" size=\"" << size
          << "\" sha256=\"" << sha << "\">\n";
        if (!p.hardware_id.empty()) x << "    <hardware-id>" << escape(p.hardware_id) << "</hardware-id>\n";
        x << "  </package>\n";
    }
    x << "</catalog>\n";
    test_support::write_file(path(L"catalog.xml"), x.str());
}

std::string world::config(const std::string& catalog_location, const std::string& extra) const {
    return "<hexcore>\n  <inventory source=\"file\" profile=\"" + escape(narrow(L"profile.xml")) +
           "\"/>\n  <catalog location=\"" +
           escape(catalog_location.empty() ? narrow(L"catalog.xml") : catalog_location) + "\"/>\n  <cache folder=\"" +
           escape(narrow(L"cache")) + "\"/>\n" +
           (extra.empty() ? "  <restore-point mode=\"journal\"/>\n" : extra) + "</hexcore>\n";
}

}  // namespace harness
