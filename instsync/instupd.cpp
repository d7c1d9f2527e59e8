#include "instsync/instupd.h"
#include "instsync/copycmd.h"
#include "instsync/instlevel.h"
#include "instsync/resource.h"
#include "common/cmd/ifcregis.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool isDirectory(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// The running program's base name: the log and output files carry it.
std::string programName() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n < MAX_PATH ? n : 0);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name.empty() ? "instsync" : name;
}

// The full, long form of an existing directory, ending in a backslash, so
// that two spellings of one directory compare equal.
std::string canonicalDirectory(const std::string& dir) {
    char full[MAX_PATH], longForm[MAX_PATH];
    DWORD n = GetFullPathNameA(dir.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) return withTrailingBackslash(dir);
    n = GetLongPathNameA(full, longForm, MAX_PATH);
    return withTrailingBackslash(n > 0 && n < MAX_PATH ? longForm : full);
}

// The command interpreter: COMSPEC, else cmd.exe.
std::string commandInterpreter() {
    const char* comspec = std::getenv("COMSPEC");
    return comspec && *comspec ? comspec : "cmd.exe";
}

// Runs the command through the command interpreter and waits for it. False
// when it cannot be started; else exitCode holds its exit code.
bool runCommand(const std::string& command, DWORD& exitCode) {
    std::string line = commandWord(commandInterpreter()) + " /c " + command;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    BOOL ok = GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hProcess);
    return ok != FALSE;
}

// PtfLevel and Path of the component key. The key is looked up with a plain
// open first: a mistyped key must not be left behind, created empty.
int readComponent(const std::string& key, std::string& level, std::string& target) {
    HKEY probe;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS)
        return IDS_ERR_REGKEY_NOT_FOUND;
    RegCloseKey(probe);
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, key.c_str()) != ERROR_SUCCESS ||
        reg.readString("PtfLevel", level) != ERROR_SUCCESS)
        return IDS_ERR_REGKEY_NOT_FOUND;
    if (reg.readString("Path", target) != ERROR_SUCCESS) return IDS_ERR_REGKEY_NOT_FOUND;
    level = trimBlanks(level);
    target = trimBlanks(target);
    return 0;
}

}  // namespace

int runUpdate(const InstsyncParams& params) {
    std::string level, target;
    if (int rc = readComponent(params.regKey, level, target)) return rc;
    if (!params.minVersion.empty() && compareLevels(level, params.minVersion) < 0)
        return IDS_ERR_LEVEL_TOO_LOW;
    if (!isDirectory(target)) return IDS_ERR_TARGET_MISSING;
    std::string source = params.filePath.empty() ? currentDirectory() : params.filePath;
    if (source.empty() || !isDirectory(source)) return IDS_ERR_SOURCE_MISSING;

    target = withTrailingBackslash(target);
    source = withTrailingBackslash(source);
    if (isSameOrInside(canonicalDirectory(target), canonicalDirectory(source)))
        return IDS_ERR_CYCLIC_COPY;
    const std::string name = programName();
    const std::string logName = target + name + ".log";
    const std::string outputName = target + name + ".out";
    const std::string command = buildCopyCommand(source, target, outputName);

    FILE* log = std::fopen(logName.c_str(), "a");
    auto write = [log](const std::string& text) {
        if (log) std::fputs(text.c_str(), log);
    };
    write("Source path is: " + source + ".\n");
    write("Target path is: " + target + ".\n");
    write("Copy command is: " + command + ".\n");
    if (log) std::fflush(log);

    DWORD exitCode = 0;
    int rc = 0;
    if (!runCommand(command, exitCode)) {
        DWORD error = GetLastError();
        write(formatString("Copy command could not be started, error %lu.\n", error));
        rc = IDS_ERR_COPY_FAILED;
    } else if (exitCode != 0) {
        write(formatString("Copy command failed with exit code %lu.\n", exitCode));
        rc = IDS_ERR_COPY_FAILED;
    } else {
        write("Completed copy command.\n");
    }
    if (log) std::fclose(log);
    return rc;
}
