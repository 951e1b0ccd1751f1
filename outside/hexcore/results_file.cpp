#include "outside/hexcore/results_file.hpp"

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

constexpr char magic[4] = {'H', 'X', 'L', 'S'};
constexpr std::uint32_t format_version = 1;

void put(std::string& out, const void* data, std::size_t size) { out.append(static_cast<const char*>(data), size); }

void put_text(std::string& out, const std::wstring& text) {
    const auto n = static_cast<std::uint32_t>(text.size());
    put(out, &n, sizeof n);
    put(out, text.data(), n * sizeof(wchar_t));
}

struct reader {
    const std::string& bytes;
    std::size_t at = 0;
    bool get(void* data, std::size_t size) {
        if (bytes.size() - at < size) return false;
        std::memcpy(data, bytes.data() + at, size);
        at += size;
        return true;
    }
    bool get_text(std::wstring& text) {
        std::uint32_t n = 0;
        if (!get(&n, sizeof n) || n > 4096) return false;
        text.resize(n);
        return get(text.data(), n * sizeof(wchar_t));
    }
};

}  // namespace

void write_results_file(const std::wstring& path, const hx_scan_summary& summary,
                        const std::vector<scan_entry>& entries) {
    std::string out;
    put(out, magic, sizeof magic);
    put(out, &format_version, sizeof format_version);
    put(out, &summary, sizeof summary);
    const auto count = static_cast<std::uint32_t>(entries.size());
    put(out, &count, sizeof count);
    for (const scan_entry& e : entries) {
        put(out, &e.record, sizeof e.record);
        put_text(out, e.instance_id);
        put_text(out, e.matched_id);
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    const std::wstring temporary = path + L".new";
    HANDLE h = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error(utf8(temporary) + ": " + system_text(::GetLastError()));
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    ::CloseHandle(h);
    if (!ok || written != out.size() ||
        !::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        throw std::runtime_error(utf8(path) + ": " + system_text(error));
    }
}

bool read_results_file(const std::wstring& path, hx_scan_summary& summary, std::vector<scan_entry>& entries) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    ::CloseHandle(h);
    reader r{bytes};
    char m[4];
    std::uint32_t v = 0, count = 0;
    hx_scan_summary s{};
    if (!r.get(m, 4) || std::memcmp(m, magic, 4) != 0 || !r.get(&v, 4) || v != format_version || !r.get(&s, sizeof s) ||
        !r.get(&count, 4))
        return false;
    std::vector<scan_entry> list;
    for (std::uint32_t i = 0; i < count; ++i) {
        scan_entry e{};
        if (!r.get(&e.record, sizeof e.record) || !r.get_text(e.instance_id) || !r.get_text(e.matched_id)) return false;
        list.push_back(std::move(e));
    }
    if (static_cast<std::int32_t>(list.size()) != s.result_count) return false;
    summary = s;
    entries = std::move(list);
    return true;
}

}  // namespace hexcore
