#include <gtest/gtest.h>

#include <windows.h>
#include <mstask.h>
#define SECURITY_WIN32
#include <security.h>

#include <string>

#include "store/settings.hpp"
#include "store/task_scheduler.hpp"
#include "store_test_support.hpp"
#include "support.hpp"
#include "tessel/config.hpp"

using namespace store_test;

namespace {

// Reads the task as the Task Scheduler keeps it.
struct stored_task {
    bool found = false;
    std::wstring application, parameters, folder;
    DWORD flags = 0;
    WORD triggers = 0;
    TASK_TRIGGER trigger{};
    HRESULT account_result = E_FAIL;
    std::wstring account;

    static stored_task read() {
        stored_task t;
        ITaskScheduler* s = nullptr;
        EXPECT_EQ(::CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                     reinterpret_cast<void**>(&s)),
                  S_OK);
        if (!s) return t;
        ITask* task = nullptr;
        if (SUCCEEDED(s->Activate(L"Tamsin Auto Start", IID_ITask, reinterpret_cast<IUnknown**>(&task))) && task) {
            t.found = true;
            auto text = [](HRESULT hr, LPWSTR p) {
                std::wstring r = SUCCEEDED(hr) && p ? p : L"";
                ::CoTaskMemFree(p);
                return r;
            };
            LPWSTR p = nullptr;
            HRESULT hr = task->GetApplicationName(&p);
            t.application = text(hr, p);
            p = nullptr;
            hr = task->GetParameters(&p);
            t.parameters = text(hr, p);
            p = nullptr;
            hr = task->GetWorkingDirectory(&p);
            t.folder = text(hr, p);
            p = nullptr;
            t.account_result = task->GetAccountInformation(&p);
            t.account = text(t.account_result, p);
            task->GetFlags(&t.flags);
            task->GetTriggerCount(&t.triggers);
            ITaskTrigger* trigger = nullptr;
            if (SUCCEEDED(task->GetTrigger(0, &trigger)) && trigger) {
                t.trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
                trigger->GetTrigger(&t.trigger);
                trigger->Release();
            }
            task->Release();
        }
        s->Release();
        return t;
    }
};

class run_at_logon : public testing::Test {
protected:
    void SetUp() override {
        use_product_names();
        ::CoInitialize(nullptr);
        delete_logon_task();
    }
    void TearDown() override {
        delete_logon_task();
        ::CoUninitialize();
    }
    static std::vector<std::string> errors(const test_support::log_capture& log) {
        std::vector<std::string> found;
        const auto levels = log.levels();
        const auto texts = log.texts();
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (levels[i] == 3) found.push_back(texts[i]);
        return found;
    }
};

TEST_F(run_at_logon, switching_on_makes_a_task_that_starts_the_program_scheduled_at_logon) {
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    test_support::log_capture log;
    settings::set_run_at_logon(true);
    EXPECT_TRUE(log.contains("Enabling Run At Logon"));
    EXPECT_TRUE(errors(log).empty()) << errors(log)[0];

    const stored_task t = stored_task::read();
    ASSERT_TRUE(t.found);
    const std::wstring folder = tessel::config::program_folder();
    EXPECT_EQ(t.application, test_support::self_path());
    EXPECT_EQ(t.application, folder + tessel::config::program_file_name());
    EXPECT_EQ(t.folder, folder);
    EXPECT_EQ(t.folder.back(), L'\\');
    EXPECT_EQ(t.parameters, L"/scheduled");
    EXPECT_EQ(t.flags, 0x2401u);
    ASSERT_EQ(t.triggers, 1);
    EXPECT_EQ(t.trigger.TriggerType, TASK_EVENT_TRIGGER_AT_LOGON);
    EXPECT_EQ(t.trigger.wBeginYear, today.wYear);
    EXPECT_EQ(t.trigger.wBeginMonth, today.wMonth);
    EXPECT_EQ(t.trigger.wBeginDay, today.wDay);
    EXPECT_EQ(t.trigger.wStartHour, 0);
    EXPECT_EQ(t.trigger.MinutesDuration, 0u);
    EXPECT_EQ(t.trigger.rgFlags, 0u);

    wchar_t user[257] = {};
    ULONG size = 257;
    ASSERT_TRUE(::GetUserNameExW(NameSamCompatible, user, &size));
    if (SUCCEEDED(t.account_result))
        EXPECT_EQ(t.account, user);
    else  // Wine accepts the account but keeps none.
        EXPECT_EQ(t.account_result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

    EXPECT_TRUE(settings::run_at_logon());
}

TEST_F(run_at_logon, switching_on_twice_leaves_the_first_task_as_it_is) {
    settings::set_run_at_logon(true);
    {
        // Change the task by hand: the second call must not bring it back.
        const store::com_ptr<ITaskScheduler> scheduler = CTask::create_scheduler();
        store::com_ptr<CTask> task = CTask::find(scheduler, L"Tamsin Auto Start");
        ASSERT_TRUE(task);
        task->set_parameters(L"/by-hand");
        task->save();
    }
    settings::set_run_at_logon(true);
    EXPECT_EQ(stored_task::read().parameters, L"/by-hand");
    EXPECT_TRUE(settings::run_at_logon());
}

TEST_F(run_at_logon, a_task_made_by_hand_counts_as_switched_on) {
    {
        const store::com_ptr<ITaskScheduler> scheduler = CTask::create_scheduler();
        store::com_ptr<CTask> task = CTask::make(scheduler, L"Tamsin Auto Start");
        task->set_application_name(L"C:\\Elsewhere\\Other.exe");
        task->save();
    }
    EXPECT_TRUE(settings::run_at_logon());
    settings::set_run_at_logon(true);
    const stored_task t = stored_task::read();
    EXPECT_EQ(t.application, L"C:\\Elsewhere\\Other.exe");
    EXPECT_EQ(t.parameters, L"");
}

TEST_F(run_at_logon, switching_off_deletes_the_task_and_is_quiet_without_one) {
    settings::set_run_at_logon(true);
    ASSERT_TRUE(stored_task::read().found);
    settings::set_run_at_logon(false);
    EXPECT_FALSE(stored_task::read().found);

    test_support::log_capture log;
    settings::set_run_at_logon(false);
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"Enabling Run At Logon"}));
    EXPECT_FALSE(settings::run_at_logon());
    EXPECT_TRUE(log.contains("Disabling Run At Logon"));
    EXPECT_TRUE(errors(log).empty());
}

}  // namespace
