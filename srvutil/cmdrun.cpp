#include "srvutil/cmdjob.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "cmdrun_ids.h"
#include "foundation_ids.h"
#include "volumes_ids.h"
#include "common/cmd/ifcregis.h"
#include "common/cmd/msglib.h"
#include "common/cmd/textfmt.h"
#include "common/cmd/trace.h"
#include "common/cmd/utilsettings.h"
#include "common/framework/handle.h"
#include "srvutil/objslots.h"
#include "srvutil/outview.h"
#include "srvutil/svcctl.h"

using fw::UniqueHandle;

// Everything one run's threads touch. The job holds it while the run is its
// current one; the threads hold it until they end, so an abandoned run keeps
// writing only here.
class RunContext {
public:
    std::wstring commandLine;
    std::wstring workDir;
    HWND window = nullptr;
    UINT message = WM_RUN_DONE;
    WPARAM runId = 0;

    // Results, written by the workers before `finished` is set.
    std::wstring output;
    int32_t exitCode = 0;
    bool exitUnreadable = false;
    bool isFormat = false;
    std::wstring formatText;
    std::atomic<bool> finished{false};

    UniqueHandle pipeRead;
};

namespace {

std::atomic<WPARAM> g_nextRunId{1};
std::atomic<DWORD> g_settleMs{1500};

const wchar_t kPilotHeading[] = L"Error executing QORA macro.";
constexpr size_t kViewerThreshold = 512;

// Joins the bytes once and converts them, so a double-byte character split
// across two reads stays whole. Zero bytes carry no text and are dropped.
std::wstring ansiBytesToWide(std::string& bytes) {
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end());
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), w.data(), n);
    return w;
}

// Reads until the writer side is gone or a read fails.
std::string readPipeToEnd(HANDLE pipe) {
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    return bytes;
}

void dumpStream(const std::wstring& text) {
    if (!traceFlags[T_ADMINSTREAM]) return;
    UniqueHandle file(CreateFileW(L"c:\\utilstrm.dat", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return;
    }
    std::string bytes = wideToAnsi(text.c_str());
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), (DWORD)bytes.size(), &written, nullptr);
}

struct ChildPipes {
    UniqueHandle read, write, writeErr;
};

// Creates the pipe and the child under the inheritance lock and closes the
// parent's write ends before the lock is released. The read end is never
// inheritable. 0, or a RUNCAP_ code with the system error in `error`.
int createChild(const std::wstring& commandLine, const std::wstring& workDir, ChildPipes& pipes,
                UniqueHandle& process, DWORD& error) {
    std::lock_guard<std::mutex> lock(inheritableCreationLock());
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    if (!CreatePipe(pipes.read.put(), pipes.write.put(), &sa, 0)) {
        error = GetLastError();
        return RUNCAP_NO_PIPE;
    }
    SetHandleInformation(pipes.read.get(), HANDLE_FLAG_INHERIT, 0);
    if (!DuplicateHandle(GetCurrentProcess(), pipes.write.get(), GetCurrentProcess(), pipes.writeErr.put(), 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        error = GetLastError();
        return RUNCAP_NO_PIPE;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    si.hStdInput = nullptr;
    si.hStdOutput = pipes.write.get();
    si.hStdError = pipes.writeErr.get();
    PROCESS_INFORMATION pi{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    BOOL ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             workDir.empty() ? nullptr : workDir.c_str(), &si, &pi);
    error = ok ? 0 : GetLastError();
    pipes.write.reset();
    pipes.writeErr.reset();
    if (!ok) return RUNCAP_NO_PROCESS;
    CloseHandle(pi.hThread);
    process.reset(pi.hProcess);
    return RUNCAP_OK;
}

DWORD WINAPI t_readCommandOutput(void* param) {
    auto* ctx = static_cast<RunContext*>(param);
    std::string bytes = readPipeToEnd(ctx->pipeRead.get());
    QTRACE(T_ADMINSTREAM, _T("t_readCommandOutput() - %u bytes read\n"), (unsigned)bytes.size());
    ctx->output = ansiBytesToWide(bytes);
    dumpStream(ctx->output);
    return 0;
}

// Runs the command interpreter and waits for it and for its output.
void runCommand(RunContext& ctx) {
    QTRACE(T_ADMINSTREAM, _T("enter %s\n"), _T("t_runCommand"));
    ChildPipes pipes;
    UniqueHandle process;
    DWORD error = 0;
    if (createChild(ctx.commandLine, ctx.workDir, pipes, process, error) != RUNCAP_OK) {
        QTRACE(T_ADMINSTREAM, _T("exit %s, rc: %u\n"), _T("t_runCommand"), (unsigned)error);
        ctx.exitCode = RUN_EXIT_NOT_STARTED;
        tstring text;
        loadString(MSG_RUN_NOT_STARTED, text);
        ctx.output = formatString(text.empty() ? L"%u" : text.c_str(), error);
        return;
    }
    ctx.pipeRead = std::move(pipes.read);
    UniqueHandle reader(CreateThread(nullptr, 0, t_readCommandOutput, &ctx, 0, nullptr));
    if (!reader) t_readCommandOutput(&ctx);  // read here: the child may block on a full pipe
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code)) {
        ctx.exitCode = (int32_t)code;
    } else {
        ctx.exitCode = RUN_EXIT_UNREADABLE;
        ctx.exitUnreadable = true;
    }
    if (reader) WaitForSingleObject(reader.get(), INFINITE);
    ctx.pipeRead.reset();
    QTRACE(T_ADMINSTREAM, _T("exit %s, rc: %u\n"), _T("t_runCommand"), (unsigned)ctx.exitCode);
}

void postCompletion(const RunContext& ctx) {
    if (ctx.window) PostMessageW(ctx.window, ctx.message, ctx.runId, 0);
}

struct LaunchArgs {
    std::shared_ptr<RunContext> ctx;
    VolumeFormatter formatter;
    int32_t volumeType = 0;
    std::wstring path, size;
};

DWORD WINAPI t_runCommand(void* param) {
    std::unique_ptr<LaunchArgs> args(static_cast<LaunchArgs*>(param));
    runCommand(*args->ctx);
    return 0;
}

DWORD WINAPI t_launchCommand(void* param) {
    std::unique_ptr<LaunchArgs> args(static_cast<LaunchArgs*>(param));
    std::shared_ptr<RunContext> ctx = args->ctx;
    UniqueHandle runner(CreateThread(nullptr, 0, t_runCommand, args.get(), 0, nullptr));
    if (runner) {
        args.release();
        WaitForSingleObject(runner.get(), INFINITE);
    } else {
        runCommand(*ctx);
    }
    ctx->finished = true;
    postCompletion(*ctx);
    return 0;
}

DWORD WINAPI t_launchFormat(void* param) {
    std::unique_ptr<LaunchArgs> args(static_cast<LaunchArgs*>(param));
    RunContext& ctx = *args->ctx;
    int rc = args->formatter ? args->formatter(args->volumeType, args->path, args->size) : 0;
    ctx.exitCode = rc;
    if (rc != 0) {
        tstring text;
        loadString(IDS_FORMAT_FAILED, text);
        ctx.formatText = formatString(text.empty() ? L"%d" : text.c_str(), rc);
    }
    ctx.finished = true;
    postCompletion(ctx);
    return 0;
}

bool startThread(LPTHREAD_START_ROUTINE fn, LaunchArgs* args) {
    HANDLE h = CreateThread(nullptr, 0, fn, args, 0, nullptr);
    if (!h) {
        delete args;
        return false;
    }
    CloseHandle(h);
    return true;
}

HWND sheetOf(HWND page) {
    HWND parent = GetParent(page);
    return parent ? parent : page;
}

void setWizardButtons(HWND page, DWORD flags) { PostMessageW(sheetOf(page), PSM_SETWIZBUTTONS, 0, flags); }
void pressButton(HWND page, int button) { PostMessageW(sheetOf(page), PSM_PRESSBUTTON, button, 0); }

DWORD progressEnd(const CommandJob& job) { return job.timeoutMs / 1000; }

void resetProgress(HWND progress) {
    if (!progress) return;
    SendMessageW(progress, PBM_SETPOS, 0, 0);
    ShowWindow(progress, SW_HIDE);
}

// Common start of both protocols. False when the message is to be ignored;
// otherwise the timer is stopped, the bar is full and a time-out was shown.
bool beginCompletion(CommandJob& job, HWND page, HWND progress, WPARAM runId) {
    if (!takeRunResult(job, runId)) return false;
    if (job.timerId) KillTimer(page, job.timerId);
    job.timerId = 0;
    if (progress) SendMessageW(progress, PBM_SETPOS, progressEnd(job), 0);
    if (job.timedOut) {
        showMessage(page, MSG_STOP, MSG_RUN_TIMED_OUT);
        job.timeoutReported = true;
        job.runState = RUN_FAILED;
    } else if (job.run && job.run->exitUnreadable) {
        showMessage(page, MSG_STOP, MSG_EXIT_CODE_UNREADABLE);
    }
    return true;
}

void showFailure(CommandJob& job, HWND page, bool useViewer) {
    showMessage(page, MSG_STOP, MSG_RUN_FAILED);
    if (useViewer && job.output.size() >= kViewerThreshold)
        showOutputViewer(page, kPilotHeading, job.output);
    else
        showText(page, MSG_STOP, L"%s", job.output.c_str());
}

std::wstring localMachineName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring(L"localhost");
}

bool startServerService(const std::wstring& machine) {
    ServiceRequest req;
    svcInitRequest(req);
    req.machine = machine;
    req.serviceName = L"QORA Server";
    if (svcOpenService(req)) svcStart(req);
    bool ok = req.ok != 0;
    svcCloseHandles(req);
    return ok;
}

bool utilitiesDirectory(HWND page, std::wstring& dir) {
    tstring path;
    if (!getUtilsPath(_T(""), path) || path.empty()) {
        showMessage(page, MSG_STOP, MSG_UTILS_DIR_MISSING);
        return false;
    }
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    dir = path;
    return true;
}

bool startPageRun(CommandJob& job, HWND page, HWND progress, const std::wstring& macroName,
                  const std::wstring& macroText, const std::wstring& command, bool itemCommit) {
    std::wstring dir;
    if (!utilitiesDirectory(page, dir)) return false;
    jobInit(job, page, WM_RUN_DONE, dir);
    if (!isSafeCredential(job.adminId) || !isSafeCredential(job.password)) {
        showMessage(page, MSG_STOP, MSG_RUN_BAD_CREDENTIAL);
        return false;
    }
    std::wstring tail;
    if (command.empty()) {
        std::wstring path = dir + macroName;
        if (!writeMacroFile(page, path, macroText)) return false;
        tail = L" macro " + path;
    } else {
        tail = L" " + command;
    }
    job.commandLine = buildCommandLine(job, itemCommit, tail);
    job.timerId = RUN_TIMER_ID;
    job.timeoutMs = utilSettings().launchTimeout();
    job.elapsedSeconds = 0;
    if (!SetTimer(page, RUN_TIMER_ID, 1000, nullptr)) {
        job.timerId = 0;
        showMessage(page, MSG_STOP, MSG_RUN_NO_TIMER);
    }
    if (progress) {
        SendMessageW(progress, PBM_SETRANGE32, 0, progressEnd(job));
        SendMessageW(progress, PBM_SETSTEP, 1, 0);
        SendMessageW(progress, PBM_SETPOS, 0, 0);
        ShowWindow(progress, SW_SHOW);
    }
    if (!startCommandRun(job)) {
        if (job.timerId) KillTimer(page, job.timerId);
        job.timerId = 0;
        resetProgress(progress);
        return false;
    }
    return true;
}

}  // namespace

std::mutex& inheritableCreationLock() {
    static std::mutex lock;
    return lock;
}

void setServerStartSettleMs(DWORD ms) { g_settleMs = ms; }

bool jobInit(CommandJob& job, HWND window, UINT message, const std::wstring& workDir) {
    job.workDir = workDir;
    job.window = window;
    job.completionMessage = message;
    job.output.clear();
    job.ownText.clear();
    job.exitCode = 0;
    job.timedOut = false;
    job.timeoutReported = false;
    job.ownNumber = 0;
    job.ownNumber2 = 0;
    job.ownPair[0] = job.ownPair[1] = 0;
    job.ownPair2[0] = job.ownPair2[1] = 0;
    job.runId = g_nextRunId++;
    job.run = std::make_shared<RunContext>();
    job.run->window = window;
    job.run->message = message;
    job.run->runId = job.runId;
    return true;
}

bool writeMacroFile(HWND owner, const std::wstring& path, const std::wstring& text) {
    std::wstring crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') crlf += L'\r';
        crlf += c;
    }
    std::string bytes = wideToAnsi(crlf.c_str());
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = h != INVALID_HANDLE_VALUE;
    if (ok) {
        DWORD written = 0;
        ok = bytes.empty() || (WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, nullptr) &&
                               written == bytes.size());
        ok = CloseHandle(h) && ok;
    }
    if (!ok) showMessage(owner, MSG_STOP, MSG_MACRO_UNWRITABLE, path.c_str());
    return ok;
}

bool isSafeCredential(const std::wstring& text) {
    return text.find_first_of(L" \t&|<>^%\"") == std::wstring::npos;
}

std::wstring buildCommandLine(const CommandJob& job, bool itemCommit, const std::wstring& tail) {
    if (!isSafeCredential(job.adminId) || !isSafeCredential(job.password)) return {};
    return L"CMD /c " + job.workDir + L"\\cmdpilot -ID=" + job.adminId + L" -PA=" + job.password +
           (itemCommit ? L" -itemcommit" : L"") + tail;
}

bool startCommandRun(CommandJob& job) {
    if (!job.run || job.commandLine.empty()) return false;
    job.run->commandLine = job.commandLine;
    job.run->workDir = job.workDir;
    return startThread(t_launchCommand, new LaunchArgs{job.run, {}, 0, {}, {}});
}

bool startCommandRun() {
    auto* job = static_cast<CommandJob*>(getSlot(SLOT_WIZARD_RECORD));
    return job && startCommandRun(*job);
}

bool startFormatRun(CommandJob& job, VolumeFormatter formatter) {
    if (!job.run) return false;
    job.run->isFormat = true;
    return startThread(t_launchFormat,
                       new LaunchArgs{job.run, std::move(formatter), job.ownNumber, job.ownTexts[0], job.ownTexts[1]});
}

bool takeRunResult(CommandJob& job, WPARAM runId) {
    if (runId != job.runId || !job.run) return false;          // another run's message
    if (job.timedOut && job.timeoutReported) return false;     // late end of a reported time-out
    if (job.run->finished) {
        job.exitCode = job.run->exitCode;
        if (job.run->isFormat) {
            if (job.exitCode != 0) job.workDir = job.run->formatText;
        } else {
            job.output = job.run->output;
        }
    }
    return true;
}

void onRunTimer(CommandJob& job, HWND progress) {
    if (!job.timerId || job.timedOut) return;
    if (progress && !IsWindowVisible(progress)) ShowWindow(progress, SW_SHOW);
    ++job.elapsedSeconds;
    if (progress) SendMessageW(progress, PBM_SETPOS, (WPARAM)job.elapsedSeconds, 0);
    if (job.elapsedSeconds >= (int32_t)(job.timeoutMs / 1000)) {
        KillTimer(job.window, job.timerId);
        job.timerId = 0;
        job.timedOut = true;
        PostMessageW(job.window, job.completionMessage, job.runId, 0);
    }
}

void completeFinishingRun(CommandJob& job, HWND page, HWND progress, WPARAM runId, bool useViewer) {
    if (!beginCompletion(job, page, progress, runId)) return;
    if (!job.timedOut) {
        if (job.exitCode != 0) {
            showFailure(job, page, useViewer);
            job.runState = RUN_FAILED;
        } else {
            job.proceed = true;
            job.runState = RUN_SUCCEEDED;
        }
    }
    resetProgress(progress);
    pressButton(page, PSBTN_FINISH);
}

FinishAction onFinishPressed(CommandJob& job, HWND page) {
    if (job.runState == RUN_FAILED) {
        job.runState = RUN_READY;
        setWizardButtons(page, PSWIZB_BACK | PSWIZB_FINISH);
        return FinishAction::Stay;
    }
    if (job.runState == RUN_SUCCEEDED) {
        job.proceed = false;
        job.runState = RUN_READY;
        return FinishAction::Completed;
    }
    job.proceed = false;
    setWizardButtons(page, 0);
    return FinishAction::StartRun;
}

void completeLogonRun(CommandJob& job, LogonRun& logon, HWND page, HWND progress, WPARAM runId) {
    if (!beginCompletion(job, page, progress, runId)) return;
    if (job.timedOut) {
        resetProgress(progress);
    } else if (job.runState == RUN_READY &&
               (job.exitCode == PILOT_EXIT_OK || job.exitCode == PILOT_EXIT_NOTHING_FOUND)) {
        job.runState = RUN_SUCCEEDED;
        logon.resultText = job.output;
    } else if (job.exitCode == PILOT_EXIT_SERVER_DOWN || job.exitCode == PILOT_EXIT_SERVER_UNREACHABLE) {
        if (++logon.retryCount > 10) {
            showText(page, MSG_STOP, L"Unable to start the local server");
            logon.retryCount = 0;
            job.runState = RUN_FAILED;
            resetProgress(progress);
        } else {
            std::wstring machine = localMachineName(), error;
            bool running = false;
            DWORD rc = svcIsRunning(machine, L"QORA Server", error, running);
            if (!(rc == 0 && running && error.empty())) {
                bool start = true;
                if (!utilSettings().environmentMarker()) {
                    start = askMessage(page, MSG_YESNO, MSG_START_SERVER) == IDYES;
                    if (!start) job.runState = logon.logonRequired ? RUN_FAILED : RUN_SUCCEEDED;
                }
                if (start) {
                    resetProgress(progress);
                    if (startServerService(machine)) {
                        Sleep(g_settleMs);
                    } else {
                        showText(page, MSG_STOP, L"Unable to start the local server");
                        job.runState = RUN_FAILED;
                    }
                }
            }
        }
    } else {
        showFailure(job, page, false);
        job.runState = RUN_FAILED;
        resetProgress(progress);
    }
    if (job.runState == RUN_SUCCEEDED) {
        if (logon.saveLogon) logon.saveLogon();
        job.proceed = true;
        resetProgress(progress);
    }
    logon.autoPress = true;
    pressButton(page, PSBTN_NEXT);
}

LogonAction onLogonNext(CommandJob& job, LogonRun& logon, HWND page) {
    bool automatic = logon.autoPress;
    logon.autoPress = false;
    if (job.runState == RUN_FAILED) {
        job.runState = RUN_READY;
        setWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        return LogonAction::Stay;
    }
    if (job.proceed) {
        job.proceed = false;
        setWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        return LogonAction::Proceed;
    }
    if (!automatic) logon.retryCount = 0;
    setWizardButtons(page, 0);
    return LogonAction::StartRun;
}

bool startMacroRun(CommandJob& job, HWND page, HWND progress, const std::wstring& macroName,
                   const std::wstring& macroText, bool itemCommit) {
    return startPageRun(job, page, progress, macroName, macroText, {}, itemCommit);
}

bool startSingleCommandRun(CommandJob& job, HWND page, HWND progress, const std::wstring& command,
                           bool itemCommit) {
    return startPageRun(job, page, progress, {}, {}, command, itemCommit);
}

int runAndCapture(const std::wstring& workDir, const std::wstring& commandLine, std::wstring& output,
                  DWORD timeoutMs) {
    output.clear();
    if (!workDir.empty()) {
        DWORD attrs = GetFileAttributesW(workDir.c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return RUNCAP_BAD_DIRECTORY;
    }
    ChildPipes pipes;
    UniqueHandle process;
    DWORD error = 0;
    int rc = createChild(commandLine, workDir, pipes, process, error);
    if (rc != RUNCAP_OK) return rc;
    // The reader owns its pipe end and its bytes; when the time-out passes
    // first we take what has arrived and leave it to finish on its own.
    struct Capture {
        std::mutex lock;
        std::string bytes;
        UniqueHandle pipe;
    };
    auto cap = std::make_shared<Capture>();
    cap->pipe = std::move(pipes.read);
    UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE doneEvent = nullptr;
    DuplicateHandle(GetCurrentProcess(), done.get(), GetCurrentProcess(), &doneEvent, 0, FALSE, DUPLICATE_SAME_ACCESS);
    std::thread([cap, doneEvent] {
        char buf[8192];
        DWORD got = 0;
        while (ReadFile(cap->pipe.get(), buf, sizeof buf, &got, nullptr) && got > 0) {
            std::lock_guard<std::mutex> g(cap->lock);
            cap->bytes.append(buf, got);
        }
        SetEvent(doneEvent);
        CloseHandle(doneEvent);
    }).detach();
    DWORD limit = timeoutMs ? timeoutMs : utilSettings().launchTimeout();
    WaitForSingleObject(done.get(), limit);
    std::string bytes;
    {
        std::lock_guard<std::mutex> g(cap->lock);
        bytes = cap->bytes;
    }
    output = ansiBytesToWide(bytes);
    return RUNCAP_OK;
}
