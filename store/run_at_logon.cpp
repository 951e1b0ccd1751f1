// Run at logon: a Task Scheduler task named "<product> Auto Start" that
// starts the program with "/scheduled" when the user logs on.
#include <windows.h>
#include <objbase.h>

#include "store/settings.hpp"
#include "store/task_scheduler.hpp"
#include "tessel/config.hpp"
#include "tessel/log.hpp"

namespace {

constexpr DWORD task_flags = TASK_FLAG_INTERACTIVE | TASK_FLAG_RUN_IF_CONNECTED_TO_INTERNET | TASK_FLAG_RUN_ONLY_IF_LOGGED_ON;
static_assert(task_flags == 0x2401);

// COM for the length of one call; uninitialised only if it was initialised.
class com_scope {
public:
    com_scope() : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~com_scope() {
        if (initialized_) ::CoUninitialize();
    }
    com_scope(const com_scope&) = delete;
    com_scope& operator=(const com_scope&) = delete;

private:
    bool initialized_;
};

}  // namespace

std::wstring settings::run_at_logon_task_name() { return tessel::config::product_name() + L" Auto Start"; }

void settings::set_run_at_logon(bool enable) {
    log_info("Enabling Run At Logon");
    try {
        const com_scope com;
        {
            const store::com_ptr<ITaskScheduler> scheduler = CTask::create_scheduler();
            store::com_ptr<CTask> task = CTask::find(scheduler, run_at_logon_task_name());
            if (enable && !task) {
                task = CTask::make(scheduler, run_at_logon_task_name());
                {
                    store::com_ptr<CTask::CTrigger> trigger = task->add_trigger();
                    trigger->set_type(TASK_EVENT_TRIGGER_AT_LOGON);
                    trigger->commit();
                }
                task->set_account();
                const std::wstring folder = tessel::config::program_folder();
                task->set_working_directory(folder);
                task->set_application_name(folder + tessel::config::program_file_name());
                task->set_parameters(L"/scheduled");
                task->set_flags(task_flags);
                task->set_changed();
                task->save();
            } else if (!enable && task) {
                task->remove();
            }
        }
    } catch (...) {
        log_exception("settings::set_run_at_logon");
    }
}

bool settings::run_at_logon() {
    log_info("Disabling Run At Logon");
    try {
        const com_scope com;
        bool found = false;
        {
            const store::com_ptr<ITaskScheduler> scheduler = CTask::create_scheduler();
            found = static_cast<bool>(CTask::find(scheduler, run_at_logon_task_name()));
        }
        return found;
    } catch (...) {
        log_exception("Run at Logon Scheduler");
        return false;
    }
}
