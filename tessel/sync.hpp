// Locks behind one interface and a guard that holds any of them for a scope.
#pragma once

#include <windows.h>

#include <string>

namespace tessel {

// The lock interface. The two hooks are extension points that no lock
// uses; they keep their slots so that every lock has the same shape.
class scope_semantics {
public:
    virtual void before_enter() {}
    virtual bool enter() = 0;
    virtual void after_enter() {}
    virtual void leave() = 0;

protected:
    scope_semantics() = default;
    ~scope_semantics() = default;
    scope_semantics(const scope_semantics&) = delete;
    scope_semantics& operator=(const scope_semantics&) = delete;
};

// In-process lock: one critical section, re-entrant for its owner.
class mutex : public scope_semantics {
public:
    mutex();
    ~mutex();
    bool enter() override;
    void leave() override;

private:
    CRITICAL_SECTION section_;
};

// A named system mutex shared between processes. On current Windows a name
// without a backslash lives in the "Global\" namespace.
class real_mutex : public scope_semantics {
public:
    explicit real_mutex(const std::string& name);   // ANSI name
    explicit real_mutex(const std::wstring& name);
    ~real_mutex();
    bool enter() override;  // false on time-out; an abandoned mutex counts as obtained
    void leave() override;

    const std::wstring& name() const { return name_; }
    // The name the system object gets for a given name on this system.
    static std::wstring system_name(const std::wstring& name);

private:
    std::wstring name_;
    HANDLE handle_ = nullptr;
};

// Holds a lock for its lifetime. A null target makes it do nothing.
class scope : public scope_semantics {
public:
    explicit scope(scope_semantics* target);
    explicit scope(scope_semantics& target) : scope(&target) {}
    ~scope();
    bool enter() override;
    void leave() override;

private:
    scope_semantics* target_;
};

}  // namespace tessel
