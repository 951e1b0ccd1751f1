#include "store/task_scheduler.hpp"

#include <comdef.h>
#define SECURITY_WIN32
#include <security.h>

#include "tessel/log.hpp"

using store::com_ptr;

namespace {

void check(HRESULT hr) {
    if (FAILED(hr)) throw _com_error(hr);
}

}  // namespace

CTask::CTask(com_ptr<ITaskScheduler> scheduler, com_ptr<ITask> task, std::wstring name)
    : task_(std::move(task)), scheduler_(std::move(scheduler)), name_(std::move(name)) {}

CTask::~CTask() {
    // Destructors must not throw: a failure here is logged, and callers that
    // need to know call save() first.
    try {
        save();
    } catch (...) {
        log_exception("CTask::~CTask");
    }
}

com_ptr<ITaskScheduler> CTask::create_scheduler() {
    com_ptr<ITaskScheduler> scheduler;
    check(::CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                             reinterpret_cast<void**>(scheduler.out())));
    return scheduler;
}

com_ptr<CTask> CTask::find(const com_ptr<ITaskScheduler>& scheduler, const std::wstring& name) {
    com_ptr<ITask> task;
    if (FAILED(scheduler->Activate(name.c_str(), IID_ITask, reinterpret_cast<IUnknown**>(task.out()))) || !task)
        return {};
    return com_ptr<CTask>::share(new CTask(scheduler, std::move(task), name));
}

com_ptr<CTask> CTask::make(const com_ptr<ITaskScheduler>& scheduler, const std::wstring& name) {
    com_ptr<ITask> task;
    HRESULT hr = ::CoCreateInstance(CLSID_CTask, nullptr, CLSCTX_INPROC_SERVER, IID_ITask,
                                    reinterpret_cast<void**>(task.out()));
    // Where the task class is not registered for CoCreateInstance (Wine),
    // the scheduler makes the object itself.
    if (hr == REGDB_E_CLASSNOTREG || hr == CLASS_E_CLASSNOTAVAILABLE)
        hr = scheduler->NewWorkItem(name.c_str(), CLSID_CTask, IID_ITask, reinterpret_cast<IUnknown**>(task.out()));
    check(hr);
    check(scheduler->AddWorkItem(name.c_str(), task.get()));
    return com_ptr<CTask>::share(new CTask(scheduler, std::move(task), name));
}

void CTask::remove() {
    check(scheduler_->Delete(name_.c_str()));
    task_.reset();
    changed_ = false;
}

com_ptr<CTask::CTrigger> CTask::add_trigger() {
    WORD index = 0;
    com_ptr<ITaskTrigger> trigger;
    check(task_->CreateTrigger(&index, trigger.out()));
    com_ptr<CTrigger> wrapper = com_ptr<CTrigger>::share(new CTrigger(trigger, com_ptr<CTask>::share(this), index));
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    TASK_TRIGGER& t = wrapper->trigger();
    t = TASK_TRIGGER{};
    t.cbTriggerSize = sizeof(TASK_TRIGGER);
    t.wBeginYear = today.wYear;
    t.wBeginMonth = today.wMonth;
    t.wBeginDay = today.wDay;
    return wrapper;
}

void CTask::set_account() {
    wchar_t user[257] = {};
    ULONG size = 257;
    if (!::GetUserNameExW(NameSamCompatible, user, &size)) throw _com_error(HRESULT_FROM_WIN32(::GetLastError()));
    check(task_->SetAccountInformation(user, nullptr));
    changed_ = true;
}

void CTask::set_application_name(const std::wstring& path) {
    check(task_->SetApplicationName(path.c_str()));
    changed_ = true;
}

void CTask::set_working_directory(const std::wstring& folder) {
    check(task_->SetWorkingDirectory(folder.c_str()));
    changed_ = true;
}

void CTask::set_parameters(const std::wstring& parameters) {
    check(task_->SetParameters(parameters.c_str()));
    changed_ = true;
}

void CTask::set_flags(DWORD flags) { check(task_->SetFlags(flags)); }

void CTask::save() {
    if (!changed_ || !task_) return;
    changed_ = false;
    com_ptr<IPersistFile> file;
    check(task_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out())));
    if (!file) throw _com_error(E_NOINTERFACE);
    check(file->Save(nullptr, TRUE));
}

CTask::CTrigger::CTrigger(com_ptr<ITaskTrigger> trigger, com_ptr<CTask> task, WORD index)
    : trigger_interface_(std::move(trigger)), task_(std::move(task)), index_(index) {
    trigger_.cbTriggerSize = sizeof(TASK_TRIGGER);
    check(trigger_interface_->GetTrigger(&trigger_));
}

CTask::CTrigger::~CTrigger() {
    try {
        commit();
    } catch (...) {
        log_exception("CTask::CTrigger::~CTrigger");
    }
}

void CTask::CTrigger::set_type(TASK_TRIGGER_TYPE type) { trigger().TriggerType = type; }

void CTask::CTrigger::commit() {
    if (!changed_) return;
    changed_ = false;
    check(trigger_interface_->SetTrigger(&trigger_));
    task_->set_changed();
}
