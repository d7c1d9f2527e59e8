// instsync's parameters and the reading of its command line.
#pragma once
#include <string>
#include <vector>

struct InstsyncParams {
    std::string regKey;      // key under HKEY_LOCAL_MACHINE
    std::string filePath;    // source directory; empty: the current one
    std::string minVersion;  // w.x.y.z; empty: no minimum
    bool noHelp = false;     // error texts without the help text
};

struct ParsedCommandLine {
    InstsyncParams params;
    bool helpRequested = false;
    int errorId = 0;  // string id of the first error, 0 when accepted
};

// args: the arguments after the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// Without blanks (spaces, tabs) at either end.
std::string trimBlanks(const std::string& text);
