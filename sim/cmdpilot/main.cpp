// Simulated command processor: runs administrative commands against the
// simulated server's state on disk. Exit codes: 0 success, 11 a query found
// nothing, -50 the "QORA Server" service is not running, 137 wrong ID or
// password, other codes of pilotcore.h for failing commands.
//
// Test controls (environment):
//   QORA_PILOT_STATE=path       state file (default: simserver.state in the
//                               instance directory, see simsvc.h)
//   QORA_PILOT_INSTANCE=name    server instance (default Server1)
//   QORA_PILOT_DELAY_MS=n       wait n ms before answering
//   QORA_PILOT_EXIT=n           exit with n whatever the commands gave
//   QORA_PILOT_OUTPUT_BYTES=n   append about n bytes of extra message lines
//   QORA_PILOT_STDERR=1         write every second line to standard error
//   QORA_PILOT_ENDSTAMP=path    write the moment of the end (a FILETIME count)
//                               into path, for the benchmark
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/cmdpilot/pilotcore.h"
#include "sim/simcommon/simsvc.h"

namespace {

std::string envVar(const char* name) {
    char buf[1024];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : std::string();
}

long long envNumber(const char* name, long long dflt) {
    std::string v = envVar(name);
    return v.empty() ? dflt : std::strtoll(v.c_str(), nullptr, 10);
}

// Writes text line by line with CR LF ends; with interleaving, every second
// line goes to standard error. Each line is one write so the order holds in a
// pipe shared by both handles.
class Writer {
public:
    Writer() : out_(GetStdHandle(STD_OUTPUT_HANDLE)), err_(GetStdHandle(STD_ERROR_HANDLE)),
               interleave_(envVar("QORA_PILOT_STDERR") == "1") {}
    void text(const std::string& s) {
        size_t i = 0;
        while (i < s.size()) {
            size_t e = s.find('\n', i);
            std::string line = s.substr(i, e == std::string::npos ? std::string::npos : e - i);
            line += "\r\n";
            HANDLE h = interleave_ && (count_++ % 2 == 1) ? err_ : out_;
            DWORD w = 0;
            WriteFile(h, line.data(), (DWORD)line.size(), &w, nullptr);
            if (e == std::string::npos) break;
            i = e + 1;
        }
    }
    // Large output written in big writes (the pipe reader's chunking is what
    // is measured, not this program's).
    void bulk(long long bytes) {
        std::string block;
        char line[96];
        long long n = 0;
        while (n < bytes) {
            int len = _snprintf(line, sizeof line, "ANR0100I Simulated output line %010lld for volume tests.\r\n", n);
            block.append(line, (size_t)len);
            n += len;
            if (block.size() >= 65536 || n >= bytes) {
                DWORD w = 0;
                WriteFile(out_, block.data(), (DWORD)block.size(), &w, nullptr);
                block.clear();
            }
        }
    }

private:
    HANDLE out_, err_;
    bool interleave_;
    unsigned count_ = 0;
};

std::string readAll(const std::string& path, bool& ok) {
    ok = false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string s;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) s.append(buf, n);
    CloseHandle(h);
    ok = true;
    return s;
}

bool writeAll(const std::string& path, const std::string& data) {
    std::string tmp = path + ".new";
    HANDLE h = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD w = 0;
    BOOL ok = WriteFile(h, data.data(), (DWORD)data.size(), &w, nullptr) && w == data.size();
    CloseHandle(h);
    return ok && MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

long long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fa)) return -1;
    if (fa.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return ((long long)fa.nFileSizeHigh << 32) | fa.nFileSizeLow;
}

bool startsWithNoCase(const std::string& s, const char* p) {
    size_t n = strlen(p);
    return s.size() >= n && _strnicmp(s.c_str(), p, n) == 0;
}

volatile LONG g_stop = 0;
BOOL WINAPI onBreak(DWORD) {
    InterlockedExchange(&g_stop, 1);
    return TRUE;
}

// Shows the server's console messages as they come, until Ctrl+Break or the
// server stops.
int runConsole(Writer& w, const std::string& consoleFile) {
    SetConsoleCtrlHandler(onBreak, TRUE);
    w.text("ANS8000I Console mode: showing the server's messages. Press Ctrl+Break to end.\n");
    long long pos = 0;
    bool ok = false;
    std::string all = readAll(consoleFile, ok);
    pos = (long long)all.size();
    while (!g_stop) {
        Sleep(200);
        all = readAll(consoleFile, ok);
        if ((long long)all.size() > pos) {
            std::string fresh = all.substr((size_t)pos);
            size_t last = fresh.rfind('\n');
            if (last != std::string::npos) {
                fresh.resize(last);
                pos += (long long)last + 1;
                std::string clean;
                for (char c : fresh)
                    if (c != '\r') clean += c;
                w.text(clean + "\n");
            }
        }
        if (!simsvc::serverRunning()) {
            w.text("ANS8002I The server has ended the console session.\n");
            return 0;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string id, pa, macroFile, command;
    bool itemCommit = false, console = false, macro = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (command.empty() && !macro) {
            if (startsWithNoCase(a, "-ID=")) { id = a.substr(4); continue; }
            if (startsWithNoCase(a, "-PA=")) { pa = a.substr(4); continue; }
            if (_stricmp(a.c_str(), "-itemcommit") == 0) { itemCommit = true; continue; }
            if (_stricmp(a.c_str(), "-console") == 0) { console = true; continue; }
            if (_stricmp(a.c_str(), "macro") == 0) {
                macro = true;
                if (i + 1 < argc) macroFile = argv[++i];
                continue;
            }
        }
        command += (command.empty() ? "" : " ") + a;
    }

    Writer w;
    w.text("QORA Command Pilot (simulated) - Version 1, Level 0.0\n");
    long long delay = envNumber("QORA_PILOT_DELAY_MS", 0);
    if (delay > 0) Sleep((DWORD)delay);

    std::string forced = envVar("QORA_PILOT_EXIT");
    auto finish = [&](int rc) {
        long long bulk = envNumber("QORA_PILOT_OUTPUT_BYTES", 0);
        if (bulk > 0) w.bulk(bulk);
        std::string stampFile = envVar("QORA_PILOT_ENDSTAMP");
        if (!stampFile.empty()) {
            FILETIME ft;
            GetSystemTimePreciseAsFileTime(&ft);
            unsigned long long t = ((unsigned long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
            writeAll(stampFile, std::to_string(t));
        }
        return forced.empty() ? rc : std::atoi(forced.c_str());
    };

    if (!simsvc::serverRunning()) {
        w.text("ANS1017E Session rejected: the server QORA Server is not running.\n");
        return finish(pilot::RC_NOT_RUNNING);
    }
    std::string instance = envVar("QORA_PILOT_INSTANCE");
    if (instance.empty()) instance = simsvc::kDefaultInstance;
    std::string serverDir = simsvc::instanceDirectory(instance);
    std::string statePath = envVar("QORA_PILOT_STATE");
    if (statePath.empty()) statePath = serverDir + "simserver.state";

    // One run at a time changes the state, as the server serialises sessions.
    HANDLE lock = CreateMutexA(nullptr, FALSE, "Local\\QoraPilotState");
    WaitForSingleObject(lock, INFINITE);
    pilot::ServerState state;
    bool have = false;
    std::string saved = readAll(statePath, have);
    if (!have || !state.deserialize(saved)) state.reset();

    int rc = 0;
    if (id.empty() || pa.empty() || !pilot::checkLogon(state, id, pa)) {
        w.text("ANS5535E Invalid administrator ID or password.\n");
        rc = pilot::RC_BAD_LOGON;
    } else {
        w.text("Session established with server " + pilot::upper(instance) + "\n");
        pilot::Environment env;
        env.admin = pilot::upper(id);
        env.fileSize = fileSize;
        SYSTEMTIME t;
        GetLocalTime(&t);
        char now[32];
        _snprintf(now, sizeof now, "%02u/%02u/%04u %02u:%02u:%02u", t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute,
                  t.wSecond);
        env.now = now;
        std::string out;
        if (console) {
            ReleaseMutex(lock);
            CloseHandle(lock);
            return finish(runConsole(w, serverDir + "console.log"));
        }
        if (macro) {
            bool ok = false;
            std::string text = macroFile.empty() ? std::string() : readAll(macroFile, ok);
            if (!ok) {
                out = "ANS1083E Macro file " + macroFile + " cannot be read.\n";
                rc = pilot::RC_SYNTAX;
            } else {
                rc = pilot::runMacro(state, text, itemCommit, out, env);
            }
        } else if (!command.empty()) {
            out = env.admin + "> " + command + "\n";
            rc = pilot::runCommand(state, command, out, env);
        } else {
            out = "ANS8001E No command given.\n";
            rc = pilot::RC_SYNTAX;
        }
        out += "\nANS8002I The run ended with return code " + std::to_string(rc) + ".\n";
        w.text(out);
        writeAll(statePath, state.serialize());
        simsvc::appendConsole(serverDir + "console.log",
                              "ANR2017I Administrator " + env.admin + " issued " +
                                  (macro ? "macro " + macroFile : "command: " + command));
    }
    ReleaseMutex(lock);
    CloseHandle(lock);
    return finish(rc);
}
