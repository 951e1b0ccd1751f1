#include "tessel/file_version_info.hpp"

#include <cstring>

#include "tessel/format.hpp"

namespace tessel {

void FileVersionInfo::reset() {
    block_.clear();
    fixed_ = {};
    valid_ = false;
    translations_.clear();
    selected_ = 0;
}

bool FileVersionInfo::open(HMODULE module) {
    if (!module) return false;
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    return open(std::wstring(path, n));
}

bool FileVersionInfo::open(const std::wstring& path) {
    reset();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    block_.resize(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block_.data())) {
        reset();
        return false;
    }
    void* data = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(block_.data(), L"\\", &data, &length) && data && length >= sizeof fixed_) {
        std::memcpy(&fixed_, data, sizeof fixed_);
        valid_ = fixed_.dwSignature == 0xFEEF04BD;
    }
    if (valid_ && ::VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &data, &length) && data) {
        const auto* table = static_cast<const translation*>(data);
        translations_.assign(table, table + length / sizeof(translation));
    }
    if (!valid_ || translations_.empty()) {
        reset();
        return false;
    }
    return true;
}

std::wstring FileVersionInfo::string_path(const std::wstring& name) const {
    if (translations_.empty() || selected_ >= translations_.size()) return {};
    const translation& t = translations_[selected_];
    return format(L"\\StringFileInfo\\%04X%04X\\%s", t.language, t.code_page, name.c_str());
}

std::wstring FileVersionInfo::query_string(const std::wstring& name) const {
    if (name.empty() || block_.empty()) return {};
    const std::wstring path = string_path(name);
    if (path.empty()) return {};
    void* data = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(const_cast<unsigned char*>(block_.data()), path.c_str(), &data, &length) || !data)
        return {};
    std::wstring text(static_cast<const wchar_t*>(data), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

}  // namespace tessel
