#include "instsync/instargs.h"
#include "instsync/instlevel.h"
#include "instsync/resource.h"
#include <algorithm>
#include <cctype>

namespace {

enum class Expect { nothing, regKey, filePath, minVersion };

bool isFlag(const std::string& arg) {
    return !arg.empty() && (arg[0] == '-' || arg[0] == '/');
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return (char)std::tolower(c); });
    return s;
}

// Handles one argument; returns an error id or 0.
int take(const std::string& arg, Expect& expect, ParsedCommandLine& out) {
    if (isFlag(arg)) {
        if (expect != Expect::nothing) return IDS_ERR_INVALID_PARAMETER;
        std::string word = lower(arg.substr(1));
        if (word == "help" || word == "?") out.helpRequested = true;
        else if (word == "regkey") expect = Expect::regKey;
        else if (word == "filepath") expect = Expect::filePath;
        else if (word == "minver") expect = Expect::minVersion;
        else if (word == "nohelp") out.params.noHelp = true;
        else if (word == "savefiles") {}
        else return IDS_ERR_INVALID_FLAG;
        return 0;
    }
    switch (expect) {
    case Expect::nothing: return IDS_ERR_INVALID_PARAMETER;
    case Expect::regKey: out.params.regKey = arg; break;
    case Expect::filePath: out.params.filePath = arg; break;
    case Expect::minVersion:
        out.params.minVersion = arg;
        if (!isValidMinVersion(arg)) return IDS_ERR_MINVER_FORM;
        break;
    }
    expect = Expect::nothing;
    return 0;
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine out;
    Expect expect = Expect::nothing;
    for (const std::string& arg : args) {
        out.errorId = take(arg, expect, out);
        if (out.errorId) return out;
    }
    // A dangling -filepath or -minver would silently mean "current directory"
    // or "no minimum"; a dangling -regkey is simply a key not supplied.
    bool keyMissing = out.params.regKey.empty();
    if (expect != Expect::nothing && !(expect == Expect::regKey && keyMissing))
        out.errorId = IDS_ERR_INVALID_PARAMETER;
    else if (!out.helpRequested && keyMissing)
        out.errorId = IDS_ERR_NO_REGKEY;
    return out;
}

std::string trimBlanks(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}
