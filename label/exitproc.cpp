// The fatal end: no exit handlers, no flushing.
#include <windows.h>
#include <stdio.h>
#include <stdarg.h>
#include "psbase.h"

void epAbort(const char* format, ...)
{
    char buf[1024];
    va_list ap;
    va_start(ap, format);
    int n = _vsnprintf(buf, sizeof buf - 1, format, ap);
    va_end(ap);
    buf[(n < 0 || n >= (int)sizeof buf - 1) ? sizeof buf - 1 : (size_t)n] = '\0';
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD done;
    static const char head[] = "A fatal program error has occurred:\n";
    WriteFile(err, head, sizeof head - 1, &done, nullptr);
    WriteFile(err, buf, (DWORD)strlen(buf), &done, nullptr);
    TerminateProcess(GetCurrentProcess(), (UINT)-1);
    for (;;) Sleep(INFINITE);
}
