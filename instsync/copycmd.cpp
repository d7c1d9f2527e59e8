#include "instsync/copycmd.h"

std::string withTrailingBackslash(const std::string& dir) {
    if (!dir.empty() && dir.back() == '\\') return dir;
    return dir + '\\';
}

std::string commandWord(const std::string& path) {
    if (path.find_first_of(" \t&()[]{}^=;!'+,`~") == std::string::npos) return path;
    return '"' + path + '"';
}

// A target ending in a backslash is taken as a directory (xcopy would ask
// otherwise), /y overwrites without asking, and input from NUL ends any
// question that still comes.
std::string buildCopyCommand(const std::string& sourceDir, const std::string& targetDir,
                             const std::string& outputFile) {
    return "xcopy " + commandWord(sourceDir + "*.*") + " " + commandWord(targetDir) +
           " /s /y < NUL >> " + commandWord(outputFile) + " 2>&1";
}
