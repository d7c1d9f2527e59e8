// The process-wide trace file: flow lines per area under sixteen flags, and
// error lines whenever the trace is started. Each line is
// "<thread>source(line): text"; the caller's format supplies the line end.
#pragma once
#include <windows.h>
#include <tchar.h>

// Flag indexes. T_MSGBUF and T_ELEMENT are swapped with respect to the order
// of the name table (see traceFlagNames), which the command line relies on.
enum TraceFlagIndex {
    T_CMD_PARSE = 0,
    T_KVTCFG = 1,
    T_VOLFMT = 2,
    T_DEVENUM = 3,
    T_OFE = 4,
    T_TCP = 5,
    T_ACCOUNTING = 6,
    T_SRVMONITOR = 7,
    T_DRAGDROP = 8,
    T_HIERAR = 9,
    T_REGISTRY = 10,
    T_SERVICE_INFO = 11,
    T_MSGBUF = 12,
    T_ELEMENT = 13,
    T_ADMINSTREAM = 14,
    T_ALL = 15,  // not a flag of its own: sets 0 to 14
};

constexpr int TRACE_FLAG_COUNT = 16;
constexpr int TRACE_ERROR = 201;

// 1 when the area writes its flow lines. Written only at start-up.
extern int traceFlags[TRACE_FLAG_COUNT];

// Opens `path` for appending and writes the banner; clears every flag.
// 0, or 201 when already started or the file cannot be opened.
int traceStart(const TCHAR* path);

// index 0..15, value 0 or 1; index 15 sets flags 0 to 14. 0, or 201 for
// anything out of range (nothing changes).
int traceSetFlag(int index, int value);

// Writes one line when the trace is started; otherwise does nothing.
// sourceFile is the caller's __FILE__ (ANSI text).
void traceMessage(const char* sourceFile, unsigned line, const TCHAR* format, ...);

bool traceStarted();

// The command line's flag names in search order; entry i names the flag
// traceFlagOfName() returns for it (T_ELEMENT 13 stands before T_MSGBUF 12).
extern const TCHAR* const traceFlagNames[TRACE_FLAG_COUNT];

// The flag index for a command-line name: upper-cased, the first table name
// that `name` begins with. -1 when none matches.
int traceFlagOfName(const TCHAR* name);

// A flow line of an area: costs only a flag test while the flag is off.
#define QTRACE(flag, ...)                                              \
    do {                                                               \
        if (traceFlags[(flag)]) traceMessage(__FILE__, __LINE__, __VA_ARGS__); \
    } while (0)

// An error line: written whenever the trace is started.
#define QTRACE_ERROR(...) traceMessage(__FILE__, __LINE__, __VA_ARGS__)

// The usual enter/exit lines of a traced function, e.g.
// QTRACE_ENTER(T_OFE, _T("addListItemDrive()"));
#define QTRACE_ENTER(flag, fn) QTRACE(flag, _T("enter %s\n"), fn)
#define QTRACE_EXIT(flag, fn, rc) QTRACE(flag, _T("exit %s, rc: %u\n"), fn, (unsigned)(rc))
#define QTRACE_EXIT_NA(flag, fn) QTRACE(flag, _T("exit %s, rc: n/a\n"), fn)
// The options and command layer's error line for a non-zero result.
#define QTRACE_RC(rc) QTRACE_ERROR(_T("DefaultErrorTrace - RC: %u\n"), (unsigned)(rc))
