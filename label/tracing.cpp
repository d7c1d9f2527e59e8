// The label utility's trace file: on or off, one line per call, lines of
// different threads never mixed.
#include <windows.h>
#include <stdio.h>
#include <stdarg.h>
#include <time.h>
#include "psbase.h"
#include "console.h"

int traceFlag = 0;
static FILE* traceFile = nullptr;
static psMutexT traceMutex = nullptr;

int trInit(const char* path)
{
    if (traceFlag) {
        outMsgf(9745);
        return 102;
    }
    FILE* f = fopen(path, "a+");
    if (!f) {
        outMsgf(9746, path);
        return 102;
    }
    setvbuf(f, nullptr, _IONBF, 0);
    time_t now = time(nullptr);
    fprintf(f, "\n***** trace started %.24s *****\n", ctime(&now));
    mtxCreate(&traceMutex);
    traceFile = f;
    traceFlag = 1;
    return 0;
}

void trPrintf(const char* module, int line, const char* format, ...)
{
    if (!traceFlag || !traceFile)
        return;
    // One buffer per line, written with one call, so the file sees whole lines.
    char buf[2048];
    int n = _snprintf(buf, sizeof buf - 1, "<%lu>%s(%d): ", thrGetId(), module, line);
    if (n < 0 || n >= (int)sizeof buf - 1)
        n = 0;
    va_list ap;
    va_start(ap, format);
    int m = _vsnprintf(buf + n, sizeof buf - 1 - n, format, ap);
    va_end(ap);
    size_t len = (m < 0 || n + m >= (int)sizeof buf - 1) ? sizeof buf - 1 : (size_t)(n + m);
    buf[len] = '\0';
    mtxAcquire(traceMutex);
    fwrite(buf, 1, len, traceFile);
    mtxRelease(traceMutex);
}

void trEnd(void)
{
    if (!traceFlag)
        return;
    fclose(traceFile);
    traceFile = nullptr;
    traceFlag = 0;
}
