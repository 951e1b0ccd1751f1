#include "tessel/sync.hpp"

#include "tessel/exception.hpp"
#include "tessel/unicode.hpp"

namespace tessel {

mutex::mutex() { ::InitializeCriticalSection(&section_); }
mutex::~mutex() { ::DeleteCriticalSection(&section_); }

bool mutex::enter() {
    ::EnterCriticalSection(&section_);
    return true;
}

void mutex::leave() { ::LeaveCriticalSection(&section_); }

std::wstring real_mutex::system_name(const std::wstring& name) {
    const DWORD version = ::GetVersion();
    const unsigned major = LOBYTE(LOWORD(version));
    const std::size_t slash = name.rfind(L'\\');
    if (major < 5) return slash == std::wstring::npos ? name : name.substr(slash + 1);
    return slash == std::wstring::npos ? L"Global\\" + name : name;
}

real_mutex::real_mutex(const std::string& name) : real_mutex(unicode::to_wide(name, CP_ACP)) {}

real_mutex::real_mutex(const std::wstring& name) : name_(system_name(name)) {
    // A null access list: every process of every user may share the lock,
    // elevated or not.
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};

    handle_ = ::CreateMutexW(&attributes, FALSE, name_.c_str());
    if (!handle_) handle_ = ::OpenMutexW(MUTEX_MODIFY_STATE | SYNCHRONIZE, FALSE, name_.c_str());
    if (!handle_) throw tessel::exception("OpenMutex returned 0x%08x", static_cast<unsigned>(::GetLastError()));
}

real_mutex::~real_mutex() {
    if (handle_) ::CloseHandle(handle_);
}

bool real_mutex::enter() {
    switch (::WaitForSingleObject(handle_, INFINITE)) {
    case WAIT_TIMEOUT: return false;
    case WAIT_FAILED:
        throw tessel::exception("WaitForSingleObject returned 0x%08x", static_cast<unsigned>(::GetLastError()));
    default: return true;  // obtained, or abandoned by an owner that died
    }
}

void real_mutex::leave() {
    if (!::ReleaseMutex(handle_))
        throw tessel::exception("ReleaseMutex returned 0x%08x", static_cast<unsigned>(::GetLastError()));
}

scope::scope(scope_semantics* target) : target_(target) {
    if (target_) target_->enter();
}

scope::~scope() {
    try {
        leave();
    } catch (...) {
    }
}

bool scope::enter() { return target_ ? target_->enter() : false; }

void scope::leave() {
    if (target_) {
        scope_semantics* target = target_;
        target_ = nullptr;
        target->leave();
    }
}

}  // namespace tessel
