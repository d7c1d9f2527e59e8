#include "instsync/copycmd.h"

std::string withTrailingBackslash(const std::string& dir) {
    if (!dir.empty() && dir.back() == '\\') return dir;
    return dir + '\\';
}

bool isSameOrInside(const std::string& dir, const std::string& base) {
    if (dir.size() < base.size()) return false;
    for (size_t i = 0; i < base.size(); ++i) {
        unsigned char a = dir[i], b = base[i];
        if (a >= 'a' && a <= 'z') a -= 'a' - 'A';
        if (b >= 'a' && b <= 'z') b -= 'a' - 'A';
        if (a != b) return false;
    }
    return true;
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
