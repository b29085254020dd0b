// The game in a job object, with a time-out and a stop event.
#include "cli/GameJob.h"

#include "bench/SceneRunner.h"
#include "framework/Format.h"
#include "framework/Handles.h"
#include "framework/SystemError.h"

namespace cli {

namespace {

// How long to wait for an ended game's process to be gone.
constexpr DWORD kEndWaitMs = 10000;

framework::UniqueHandle MakeGameJob(std::string& problem) {
    framework::UniqueHandle job(::CreateJobObjectA(nullptr, nullptr));
    if (!job) {
        problem = framework::SystemErrorText(::GetLastError());
        return job;
    }
    // Should korvane-cli itself end, the game ends with it.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        problem = framework::SystemErrorText(::GetLastError());
        job.reset();
    }
    return job;
}

} // namespace

bench::GameEnd GameJobLauncher::operator()(const std::string& gameExecutable, const std::string& commandLine,
                                           const std::string& workingDirectory, std::string& failureReason) {
    bench::GameProcess game;
    if (!bench::StartGame(gameExecutable, commandLine, workingDirectory, CREATE_SUSPENDED, game,
                          failureReason)) {
        return bench::GameEnd::NotStarted;
    }
    std::string problem;
    framework::UniqueHandle job = MakeGameJob(problem);
    if (job && !::AssignProcessToJobObject(job.get(), game.process.get())) {
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
        ::TerminateJobObject(job.get(), 1);
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
