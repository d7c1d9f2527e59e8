// The log file: an appending text file with a header block, used for the
// command processor's stream dump and the performance report. All objects
// share one process-wide state (file, mutex, enabled, title).
#pragma once
#include <windows.h>
#include <tchar.h>

constexpr int LOG_OPEN_FAILED = 1101;
// One record, characters including the terminator.
constexpr size_t LOG_RECORD_SIZE = 24576;

class CIfcLogFile {
public:
    CIfcLogFile();                    // title "Log file opened: "
    void init();                      // creates the mutex; no file, disabled
    void setTitle(const TCHAR* text); // up to 259 characters
    void enable(bool flag);
    int open(const TCHAR* path);      // 0, or 1101
    void write(const TCHAR* format, ...);
    void writeMessage(unsigned messageId, ...);  // text from the message library
    void close();
    void term();                      // closes the mutex
};

// The stream dump: appends `output` (cut to LOG_RECORD_SIZE - 1 characters)
// as one record after a new header to `path`. 0, or 1101.
int dumpStream(const TCHAR* output, const TCHAR* path = _T("c:\\utilstrm.dat"));
