#include "common/cmd/trace.h"

int traceFlags[TRACE_FLAG_COUNT] = {};
const TCHAR* const traceFlagNames[TRACE_FLAG_COUNT] = {};

int traceStart(const TCHAR*) { return TRACE_ERROR; }
int traceSetFlag(int, int) { return TRACE_ERROR; }
void traceMessage(const char*, unsigned, const TCHAR*, ...) {}
bool traceStarted() { return false; }
int traceFlagOfName(const TCHAR*) { return -1; }
