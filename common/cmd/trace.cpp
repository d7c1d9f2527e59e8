#include "common/cmd/trace.h"
#include "common/cmd/textfmt.h"
#include "common/framework/handle.h"
#include <cstdio>
#include <ctime>

int traceFlags[TRACE_FLAG_COUNT] = {};

const TCHAR* const traceFlagNames[TRACE_FLAG_COUNT] = {
    _T("T_CMD_PARSE"), _T("T_KVTCFG"),     _T("T_VOLFMT"),       _T("T_DEVENUM"),
    _T("T_OFE"),       _T("T_TCP"),        _T("T_ACCOUNTING"),   _T("T_SRVMONITOR"),
    _T("T_DRAGDROP"),  _T("T_HIERAR"),     _T("T_REGISTRY"),     _T("T_SERVICE_INFO"),
    _T("T_ELEMENT"),   _T("T_MSGBUF"),     _T("T_ADMINSTREAM"),  _T("T_ALL"),
};

namespace {

bool started = false;
FILE* traceFile = nullptr;
fw::UniqueHandle traceMutex;

// The table lists T_ELEMENT before T_MSGBUF, but each sets the other's slot.
int flagOfPosition(int position) {
    if (position == 12) return T_ELEMENT;
    if (position == 13) return T_MSGBUF;
    return position;
}

#define RULE "*===================================================================="

}  // namespace

int traceStart(const TCHAR* path) {
    if (started || !path) return TRACE_ERROR;
    FILE* f = _tfopen(path, _T("a+"));
    if (!f) return TRACE_ERROR;
    setvbuf(f, nullptr, _IONBF, 0);
    time_t now = time(nullptr);
    const TCHAR* when = _tctime(&now);
    // Our own formatter: the C library's printf family here follows C99 rules.
    tstring banner = formatString(_T("\n") _T(RULE) _T("\n* trace started %.24s\n") _T(RULE) _T("\n\n"),
                                  when ? when : _T(""));
    _fputts(banner.c_str(), f);
    traceMutex.reset(CreateMutex(nullptr, FALSE, nullptr));
    for (int& flag : traceFlags) flag = 0;
    traceFile = f;
    started = true;
    return 0;
}

int traceSetFlag(int index, int value) {
    if (index < 0 || index >= TRACE_FLAG_COUNT || (value != 0 && value != 1)) return TRACE_ERROR;
    if (index == T_ALL) {
        for (int i = 0; i < T_ALL; ++i) traceFlags[i] = value;
    } else {
        traceFlags[index] = value;
    }
    return 0;
}

void traceMessage(const char* sourceFile, unsigned line, const TCHAR* format, ...) {
    if (!started || !traceFile || !format) return;
#ifdef UNICODE
    tstring source = ansiToWide(sourceFile ? sourceFile : "");
#else
    tstring source = sourceFile ? sourceFile : "";
#endif
    va_list args;
    va_start(args, format);
    tstring text = vformatString(format, args);
    va_end(args);
    tstring prefix = formatString(_T("<%u>%s(%u): "), (unsigned)GetCurrentThreadId(),
                                  source.c_str(), line);
    if (traceMutex) WaitForSingleObject(traceMutex.get(), INFINITE);
    _fputts(prefix.c_str(), traceFile);
    _fputts(text.c_str(), traceFile);
    fflush(traceFile);
    if (traceMutex) ReleaseMutex(traceMutex.get());
}

bool traceStarted() { return started; }

int traceFlagOfName(const TCHAR* name) {
    if (!name) return -1;
    tstring upper = name;
    CharUpperBuff(upper.data(), static_cast<DWORD>(upper.size()));
    for (int i = 0; i < TRACE_FLAG_COUNT; ++i) {
        size_t len = _tcslen(traceFlagNames[i]);
        if (upper.compare(0, len, traceFlagNames[i]) == 0) return flagOfPosition(i);
    }
    return -1;
}
