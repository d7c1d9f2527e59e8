// Portable services of kvtlabel: tracing, threads, mutexes, allocation,
// anchors, registry reads and the fatal end.
#pragma once
#include <stddef.h>

typedef void* psMutexT;
typedef void* psThreadT;
typedef void (*thrProcT)(void* argP);

extern int traceFlag;

int  trInit(const char* path);
void trPrintf(const char* module, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void trEnd(void);

// Trace call used by every module; `TR_MODULE` names the writing module.
#define TRACE(...) \
    do { if (traceFlag) trPrintf(TR_MODULE, __LINE__, __VA_ARGS__); } while (0)

int  thrBegin(thrProcT procP, void* argP, psThreadT* handleP);
int  thrWait(psThreadT handle);
void thrSleep(int seconds);
void thrExit(void);
unsigned long thrGetId(void);
// Every wait of the program goes through thrSleep; the scale shortens them
// (environment KVTLABEL_WAIT_SCALE, or set by tests). 1.0 is real time.
void   thrSetWaitScale(double scale);
double thrGetWaitScale(void);
// Sleeps a number of milliseconds under the same scale.
void thrSleepMs(unsigned ms);

void mtxCreate(psMutexT* mutexP);
void mtxAcquire(psMutexT mutex);
void mtxRelease(psMutexT mutex);

[[noreturn]] void epAbort(const char* format, ...) __attribute__((format(printf, 1, 2)));

int   shmInit(void);
void* shmAlloc(size_t size);
void  shmFree(void* p);

#define PSANCHOR_COUNT 10
extern void* PSANCHOR[PSANCHOR_COUNT];
void psSetAnchor(int index, void* pointer);

// Registry: `hive` and keys are HKEY values passed as void*.
typedef void* regKeyT;
long regOpenKey(void* hive, const char* path, regKeyT* keyP);
void regCloseKey(regKeyT* keyP);
// Reads a string value; `buffer` holds `size` bytes and is always terminated.
long regReadSz(regKeyT key, const char* name, char* buffer, size_t size);
int  getSzValue(const char* path, const char* name, char* buffer, size_t size);
int  regGetServerRegKey(char* buffer, size_t size);

// Bounded copy, always terminated; returns 0 when `src` did not fit.
int psCopy(char* dst, size_t size, const char* src);
