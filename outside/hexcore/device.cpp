#include "outside/hexcore/device.hpp"

#include <cwctype>
#include <cstdio>

namespace hexcore {
namespace {

template <class Char>
bool parse_version_of(const Char* text, version& out) {
    if (!text || !*text) return false;
    version v;
    std::size_t part = 0;
    long long value = 0;
    bool digits = false;
    for (const Char* p = text;; ++p) {
        if (*p >= '0' && *p <= '9') {
            value = value * 10 + (*p - '0');
            if (value > 0x7FFFFFFF) return false;
            digits = true;
        } else if (*p == '.' || *p == 0) {
            if (!digits || part >= 4) return false;
            v.parts[part++] = static_cast<std::int32_t>(value);
            value = 0;
            digits = false;
            if (*p == 0) break;
        } else {
            return false;
        }
    }
    out = v;
    return true;
}

}  // namespace

bool parse_version(const char* text, version& out) { return parse_version_of(text, out); }
bool parse_version(const wchar_t* text, version& out) { return parse_version_of(text, out); }

std::wstring version_text(const version& v) {
    return std::to_wstring(v.parts[0]) + L'.' + std::to_wstring(v.parts[1]) + L'.' + std::to_wstring(v.parts[2]) +
           L'.' + std::to_wstring(v.parts[3]);
}

bool parse_date(const char* text, SYSTEMTIME& out) {
    // "yyyy-mm-dd" exactly; read by hand since catalogs hold one per package.
    if (!text) return false;
    for (int i = 0; i < 10; ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? text[i] != '-' : (text[i] < '0' || text[i] > '9')) return false;
    }
    if (text[10] != 0) return false;
    const auto number = [text](int from, int count) {
        int v = 0;
        for (int i = from; i < from + count; ++i) v = v * 10 + (text[i] - '0');
        return v;
    };
    const int y = number(0, 4), m = number(5, 2), d = number(8, 2);
    if (y < 1980 || y > 2999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    out = SYSTEMTIME{};
    out.wYear = static_cast<WORD>(y);
    out.wMonth = static_cast<WORD>(m);
    out.wDay = static_cast<WORD>(d);
    // The day of the week (Sakamoto's method), so the record is a proper SYSTEMTIME.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int yy = m < 3 ? y - 1 : y;
    out.wDayOfWeek = static_cast<WORD>((yy + yy / 4 - yy / 100 + yy / 400 + offsets[m - 1] + d) % 7);
    return true;
}

std::wstring date_text(const SYSTEMTIME& t) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
    return buffer;
}

int compare_dates(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    const unsigned x = a.wYear * 10000u + a.wMonth * 100u + a.wDay;
    const unsigned y = b.wYear * 10000u + b.wMonth * 100u + b.wDay;
    return x < y ? -1 : x > y ? 1 : 0;
}

std::int32_t device_id_of(const std::wstring& instance_id) {
    // FNV-1a over the upper-cased id: instance ids compare without case.
    std::uint32_t h = 2166136261u;
    for (wchar_t c : instance_id) {
        const std::uint32_t u = static_cast<std::uint32_t>(std::towupper(c));
        h = (h ^ (u & 0xFF)) * 16777619u;
        h = (h ^ (u >> 8)) * 16777619u;
    }
    return static_cast<std::int32_t>(h & 0x7FFFFFFF);
}

std::int32_t device_type_of(const std::wstring& setup_class) {
    static const struct {
        const wchar_t* name;
        std::int32_t type;
    } types[] = {
        {L"Display", 1},    {L"MEDIA", 2},       {L"AudioEndpoint", 2}, {L"Net", 3},        {L"USB", 4},
        {L"Bluetooth", 5},  {L"DiskDrive", 6},   {L"HDC", 6},           {L"SCSIAdapter", 6}, {L"Keyboard", 7},
        {L"Mouse", 7},      {L"HIDClass", 7},    {L"Image", 8},         {L"Camera", 8},     {L"Printer", 9},
        {L"System", 10},    {L"Monitor", 11},
    };
    for (const auto& t : types)
        if (::lstrcmpiW(t.name, setup_class.c_str()) == 0) return t.type;
    return 0;
}

}  // namespace hexcore
