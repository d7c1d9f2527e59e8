// srvutil's command line: -TRACEFILE:path, -TRACEFLAG:name, -DEVFILE:path,
// -NLSLANG:lang (either '-' or '/', names case-insensitive, begins-with).
#pragma once
#include "common/cmd/utilsettings.h"
#include <string>

enum CommandLineCode {
    CMDLINE_OK = 0,
    CMDLINE_REJECTED = 52,       // a word that is no option, or a bad value
    CMDLINE_MISSING_VALUE = 55,  // not exactly one value (a ':' in it counts)
};

struct CommandLineResult {
    int code = CMDLINE_OK;
    std::wstring rejected;  // the rejected word up to its first ':'
};

// The arguments after the program's own name, which is skipped by the
// platform's quoting rules so a path with blanks does not turn into words.
const wchar_t* skipProgramName(const wchar_t* commandLine);

// Applies the options in order until the first rejected word; later words
// are not read. Starts the trace, sets trace flags and the device file and
// language overrides of `settings`.
CommandLineResult parseCommandLine(const wchar_t* arguments, CUtilSettings& settings);
