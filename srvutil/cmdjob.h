// Macro runs through the command processor: the command job record at the
// head of every wizard's data record, the run engine (launcher, runner and
// output reader threads), the page's timer, the two completion protocols and
// the synchronous capture.
//
// A page that owns a run supplies its window, its progress bar and its
// reaction to message 1124:
//   start:      startMacroRun(job, page, progress, L"\\icqdev.mac", text, itemCommit)
//   WM_TIMER:   if (wParam == RUN_TIMER_ID) onRunTimer(job, progress)
//   1124:       completeLogonRun(...) or completeFinishingRun(...), with the
//               message's wParam (it names the run the message belongs to)
//   Next:       onLogonNext(...)    Finish: onFinishPressed(...)
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

constexpr UINT WM_RUN_DONE = 1124;     // a macro run (or format run) is over
constexpr UINT_PTR RUN_TIMER_ID = 200;

enum RunState : int32_t { RUN_READY = 0, RUN_FAILED = 1, RUN_SUCCEEDED = 4 };

// Exit codes a run reports when the processor never gave one. Neither reads as
// success in either protocol.
constexpr int32_t RUN_EXIT_NOT_STARTED = 2002;  // the command interpreter could not be created
constexpr int32_t RUN_EXIT_UNREADABLE = 2003;   // its exit code could not be read

// Processor exit codes the protocols know.
constexpr int32_t PILOT_EXIT_OK = 0;
constexpr int32_t PILOT_EXIT_NOTHING_FOUND = 11;
constexpr int32_t PILOT_EXIT_SERVER_DOWN = -50;
constexpr int32_t PILOT_EXIT_SERVER_UNREACHABLE = -190;

// Results of runAndCapture.
constexpr int RUNCAP_OK = 0;
constexpr int RUNCAP_BAD_DIRECTORY = 2000;
constexpr int RUNCAP_NO_PIPE = 2001;
constexpr int RUNCAP_NO_PROCESS = 2002;

class RunContext;  // one run's threads, handles and results

// Head of every wizard data record. Pages read exitCode and output only in
// their handler of completionMessage. The process, pipe and done event of a
// run belong to its own RunContext, so a run that was given up (timed out)
// never writes into a later run.
struct CommandJob {
    std::wstring workDir;      // the utilities directory (short form)
    std::wstring commandLine;
    std::wstring output;       // standard output and error, as written
    std::wstring macroText;    // the finishing run's macro, built by the pages
    int32_t exitCode = 0;
    UINT completionMessage = WM_RUN_DONE;
    std::wstring adminId;
    std::wstring password;
    // Wizard-owned. A format run (startFormatRun) reads the volume type from
    // ownNumber, the volume path from ownTexts[0] and its size in MB from ownTexts[1].
    std::wstring ownText;      // cleared by jobInit
    int32_t ownNumber = 0;     // cleared by jobInit
    std::wstring ownTexts[4];
    int32_t ownNumber2 = 0;    // cleared by jobInit
    bool proceed = false;
    bool timedOut = false;
    bool timeoutReported = false;
    int32_t ownPair[2] = {0, 0};   // cleared by jobInit
    int32_t runState = RUN_READY;
    UINT_PTR timerId = 0;
    int32_t elapsedSeconds = 0;
    DWORD timeoutMs = 0;
    int32_t ownPair2[2] = {0, 0};  // cleared by jobInit
    HWND window = nullptr;

    // The current run: its number travels in the completion message's wParam.
    WPARAM runId = 0;
    std::shared_ptr<RunContext> run;
};

// Prepares the job for a new run: sets workDir, window and completionMessage,
// empties output and ownText, zeroes exitCode, the time-out flags and the
// wizard integers, and opens a new run context. commandLine, macroText, the
// credentials, proceed and runState stay as they are.
bool jobInit(CommandJob& job, HWND window, UINT message, const std::wstring& workDir);

// Writes the macro (each command ending in "\n") in the ANSI code page with
// CR LF line ends, replacing any earlier file. On failure shows message 61476
// with the path and returns false.
bool writeMacroFile(HWND owner, const std::wstring& path, const std::wstring& text);

// True when an ID or password can go on the CMD /c line: not empty of sense,
// no blank and none of & | < > ^ % " (they would end or extend the line).
bool isSafeCredential(const std::wstring& text);

// "CMD /c DIR\cmdpilot -ID=.. -PA=..[ -itemcommit]" followed by `tail`
// (" macro PATH" or " define volume POOL PATH"). Empty when the credentials are
// not safe.
std::wstring buildCommandLine(const CommandJob& job, bool itemCommit, const std::wstring& tail);

// Starts the launcher thread for the job in slot 0, or for `job`; returns at
// once. The launcher posts completionMessage(runId, 0) when the run is over.
bool startCommandRun();
bool startCommandRun(CommandJob& job);

// Page side of a run, steps 2 to 7: utilities directory (61447), jobInit,
// credential check (61495), macro file (61476), command line, timer 200 with
// LaunchTimeout (61452 when it cannot be made), progress bar, launcher.
// macroName begins with a backslash. False: a message was shown, no run.
bool startMacroRun(CommandJob& job, HWND page, HWND progress, const std::wstring& macroName,
                   const std::wstring& macroText, bool itemCommit);
// The same with one administrative command in place of the macro (the disk
// volume wizard's " define volume POOL PATH").
bool startSingleCommandRun(CommandJob& job, HWND page, HWND progress, const std::wstring& command,
                           bool itemCommit);

// The page's WM_TIMER for RUN_TIMER_ID: counts seconds, moves the progress
// bar and posts the completion once LaunchTimeout is reached.
void onRunTimer(CommandJob& job, HWND progress);

// Completion of a finishing run: exit code 0 is the only success. On failure
// shows 61473 and the output (in the output viewer headed "Error executing
// QORA macro." when useViewer and the output holds 512 characters or more).
// Then presses the sheet's Finish button. Messages of other runs are ignored.
void completeFinishingRun(CommandJob& job, HWND page, HWND progress, WPARAM runId, bool useViewer);

enum class FinishAction { StartRun, Stay, Completed };
// The finishing page's Finish handler: StartRun while ready; after a failure
// re-enables Back and Finish and stays; after success clears the state and
// answers Completed (the page shows its completion message and closes).
FinishAction onFinishPressed(CommandJob& job, HWND page);

// The logon page's part of the logon protocol.
struct LogonRun {
    int32_t retryCount = 0;      // consecutive "server unreachable" results
    bool logonRequired = true;   // declining to start the server fails the logon
    std::wstring resultText;     // output of the last successful logon run
    bool autoPress = false;      // the next Next press comes from the protocol
    std::function<void()> saveLogon;  // stores the remembered logon (step 4)
};

// Completion of a logon run: exit codes 0 and 11 are success; -50 and -190
// offer to start the "QORA Server" service and run again, up to the eleventh
// such result. Then presses the sheet's Next button.
void completeLogonRun(CommandJob& job, LogonRun& logon, HWND page, HWND progress, WPARAM runId);

enum class LogonAction { StartRun, Stay, Proceed };
// The logon page's Next handler: StartRun while ready (a press by the user
// resets the retry count), re-enables Back and Next and stays after a
// failure, Proceed after success.
LogonAction onLogonNext(CommandJob& job, LogonRun& logon, HWND page);

// Runs a short command synchronously in workDir and captures its output until
// it ends or timeoutMs passes: 0, 2000 (bad directory), 2001 (no pipe), 2002
// (the process cannot be created). The process is not waited for.
int runAndCapture(const std::wstring& workDir, const std::wstring& commandLine, std::wstring& output,
                  DWORD timeoutMs = 0 /* 0: LaunchTimeout */);

// A volume format with the launcher shape of a command run: a worker thread
// calls `formatter` with the volume type (ownNumber), path (ownTexts[0]) and
// size (ownTexts[1]) of the job; a non-zero result becomes exitCode and the
// text of message 62012 formatted with it replaces workDir; zero gives
// exitCode 0. Then completionMessage(runId, 0) is posted to the job's window.
// The page calls jobInit first and handles the completion with
// takeRunResult. The form without arguments (the job in slot 0 with the
// volume formatter) belongs to the format job module, srvutil/fmtjob.
using VolumeFormatter = std::function<int(int32_t volumeType, const std::wstring& path, const std::wstring& sizeMb)>;
bool startFormatRun(CommandJob& job, VolumeFormatter formatter);
bool startFormatRun();

// Moves a finished run's results into the job: false for a message of another
// run, or one that arrives after its time-out was reported. The completion
// protocols call it; a page with its own protocol (format runs) may too.
bool takeRunResult(CommandJob& job, WPARAM runId);

// Process creations that let the child inherit handles hold this lock from
// the moment their inheritable pipe ends exist until the parent has closed
// them, so no other child can keep a run's pipe open.
std::mutex& inheritableCreationLock();

// Pause after the server service was started before the logon runs again.
void setServerStartSettleMs(DWORD ms);  // 1500 by default
