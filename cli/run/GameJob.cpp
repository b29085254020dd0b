// The game in a job object, with a time-out and a stop event.
#include "cli/run/GameJob.h"

#include "bench/GameProcess.h"
#include "framework/Format.h"
#include "framework/Handles.h"
#include "framework/SystemError.h"

namespace cli {

namespace {

// How long to wait for an ended game's process to be gone.
constexpr DWORD kEndWaitMs = 10000;

// What JobProblem() says on a system without job objects.
constexpr char kNoJobObjects[] = "this Windows has no job objects";

// GetProcAddress's answer as the function type it stands for.
template <typename Function> void LookUp(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

JobObjectApi LookUpJobObjectApi() {
    JobObjectApi api;
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (kernel != nullptr) {
        LookUp(kernel, "CreateJobObjectA", api.createJobObject);
        LookUp(kernel, "SetInformationJobObject", api.setInformationJobObject);
        LookUp(kernel, "AssignProcessToJobObject", api.assignProcessToJobObject);
        LookUp(kernel, "TerminateJobObject", api.terminateJobObject);
    }
    return api.Present() ? api : JobObjectApi{};
}

framework::UniqueHandle MakeGameJob(const JobObjectApi& jobs, std::string& problem) {
    if (!jobs.Present()) {
        problem = kNoJobObjects;
        return {};
    }
    framework::UniqueHandle job(jobs.createJobObject(nullptr, nullptr));
    if (!job) {
        problem = framework::SystemErrorText(::GetLastError());
        return job;
    }
    // Should korvane-cli itself end, the game ends with it.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!jobs.setInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        problem = framework::SystemErrorText(::GetLastError());
        job.reset();
    }
    return job;
}

} // namespace

const JobObjectApi& SystemJobObjectApi() {
    static const JobObjectApi api = LookUpJobObjectApi();
    return api;
}

bench::GameEnd GameJobLauncher::operator()(const std::string& gameExecutable, const std::string& commandLine,
                                           const std::string& workingDirectory, std::string& failureReason) {
    bench::GameProcess game;
    if (!bench::StartGame(gameExecutable, commandLine, workingDirectory, CREATE_SUSPENDED, game,
                          failureReason)) {
        return bench::GameEnd::NotStarted;
    }
    std::string problem;
    framework::UniqueHandle job = MakeGameJob(jobs_, problem);
    if (job && !jobs_.assignProcessToJobObject(job.get(), game.process.get())) {
        problem = framework::SystemErrorText(::GetLastError());
        job.reset();
    }
    if (!job) {
        jobProblem_ = problem;
    }
    if (::ResumeThread(game.thread.get()) == static_cast<DWORD>(-1)) {
        failureReason = framework::SystemErrorText(::GetLastError());
        ::TerminateProcess(game.process.get(), 1);
        return bench::GameEnd::NotStarted;
    }

    const HANDLE waits[] = {game.process.get(), stopEvent_};
    const DWORD waitCount = stopEvent_ != nullptr ? 2 : 1;
    const DWORD waited = ::WaitForMultipleObjects(waitCount, waits, FALSE, timeoutMs_);
    const DWORD waitError = ::GetLastError();
    if (waited == WAIT_OBJECT_0) {
        return bench::GameEnd::Ended;
    }
    // Past the time-out or stopped: the game and what it started go.
    if (job) {
        jobs_.terminateJobObject(job.get(), 1);
    } else {
        ::TerminateProcess(game.process.get(), 1);
    }
    ::WaitForSingleObject(game.process.get(), kEndWaitMs);
    if (waited == WAIT_OBJECT_0 + 1) {
        return bench::GameEnd::Stopped;
    }
    if (waited == WAIT_FAILED) {
        failureReason = "the wait for it failed: " + framework::SystemErrorText(waitError);
        return bench::GameEnd::TimedOut;
    }
    failureReason = framework::Format("it ran longer than the time-out of %lu s",
                                      static_cast<unsigned long>(timeoutMs_ / 1000));
    return bench::GameEnd::TimedOut;
}

} // namespace cli
