// A small wrapper over the Task Scheduler 1.0 interfaces: CTask for one
// scheduled task, CTask::CTrigger for one of its triggers. Every failing
// call throws a _com_error carrying the HRESULT. Changes are kept until
// save() / commit(); releasing a changed object saves it as a last resort.
#pragma once

#include <windows.h>
#include <mstask.h>
#include <unknwn.h>

#include <string>

#include "store/com_ptr.hpp"

// Reference counting with an initial count.
template <long Initial>
class CRefCount {
public:
    ULONG add() { return static_cast<ULONG>(::InterlockedIncrement(&count_)); }
    ULONG release() { return static_cast<ULONG>(::InterlockedDecrement(&count_)); }

private:
    LONG count_ = Initial;
};

// QueryInterface answers for IUnknown only.
struct CIUnknownOnly {
    static bool answers(REFIID iid) { return ::IsEqualIID(iid, IID_IUnknown) != FALSE; }
};

// The last Release deletes the object.
struct CDeleteThis {
    template <class T>
    static void destroy(T* object) {
        delete object;
    }
};

template <class Interface, class Count, class Query, class Destroy>
class CUnknownFoundation : public Interface {
public:
    CUnknownFoundation() = default;
    CUnknownFoundation(const CUnknownFoundation&) = delete;
    CUnknownFoundation& operator=(const CUnknownFoundation&) = delete;
    virtual ~CUnknownFoundation() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (!Query::answers(iid)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return count_.add(); }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = count_.release();
        if (left == 0) Destroy::destroy(this);
        return left;
    }

private:
    Count count_;
};

using task_unknown = CUnknownFoundation<IUnknown, CRefCount<0>, CIUnknownOnly, CDeleteThis>;

class CTask : public task_unknown {
public:
    class CTrigger;

    static store::com_ptr<ITaskScheduler> create_scheduler();
    // The task of that name, or nothing when there is none.
    static store::com_ptr<CTask> find(const store::com_ptr<ITaskScheduler>& scheduler, const std::wstring& name);
    // A new task, added to the scheduler under its name.
    static store::com_ptr<CTask> make(const store::com_ptr<ITaskScheduler>& scheduler, const std::wstring& name);

    ~CTask() override;

    // Deletes the task from the scheduler; the object is empty afterwards.
    void remove();
    store::com_ptr<CTrigger> add_trigger();
    // The user running the program (DOMAIN\user), with no password.
    void set_account();
    void set_application_name(const std::wstring& path);
    void set_working_directory(const std::wstring& folder);
    void set_parameters(const std::wstring& parameters);
    void set_flags(DWORD flags);
    void set_changed() { changed_ = true; }
    // Writes the task through IPersistFile when it has changed.
    void save();

    const std::wstring& name() const { return name_; }
    ITask* task() const { return task_.get(); }

private:
    CTask(store::com_ptr<ITaskScheduler> scheduler, store::com_ptr<ITask> task, std::wstring name);

    store::com_ptr<ITask> task_;
    store::com_ptr<ITaskScheduler> scheduler_;
    std::wstring name_;
    bool changed_ = false;
};

class CTask::CTrigger : public task_unknown {
public:
    ~CTrigger() override;

    TASK_TRIGGER& trigger() {
        changed_ = true;
        return trigger_;
    }
    const TASK_TRIGGER& trigger() const { return trigger_; }
    void set_type(TASK_TRIGGER_TYPE type);
    // Writes the trigger back and marks the task changed.
    void commit();

private:
    friend class CTask;
    CTrigger(store::com_ptr<ITaskTrigger> trigger, store::com_ptr<CTask> task, WORD index);

    store::com_ptr<ITaskTrigger> trigger_interface_;
    store::com_ptr<CTask> task_;
    WORD index_ = 0;
    TASK_TRIGGER trigger_{};
    bool changed_ = false;
};
