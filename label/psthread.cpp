// Threads and the program's one sleep function.
#include <windows.h>
#include <stdlib.h>
#include "psbase.h"

#define TR_MODULE "psthread"

struct thrEntryT {
    thrProcT procP;
    void* argP;
};

static double waitScale = -1.0;

double thrGetWaitScale(void)
{
    if (waitScale < 0) {
        const char* s = getenv("KVTLABEL_WAIT_SCALE");
        double v = s ? atof(s) : 1.0;
        waitScale = (v > 0 && v <= 1000) ? v : 1.0;
    }
    return waitScale;
}

void thrSetWaitScale(double scale)
{
    waitScale = scale > 0 ? scale : 1.0;
}

void thrSleepMs(unsigned ms)
{
    Sleep((DWORD)(ms * thrGetWaitScale()));
}

unsigned long thrGetId(void)
{
    // The real identifier, so trace lines tell the threads apart.
    return GetCurrentThreadId();
}

static DWORD WINAPI thrEntry(void* p)
{
    thrEntryT* e = (thrEntryT*)p;
    thrProcT procP = e->procP;
    void* argP = e->argP;
    shmFree(e);
    procP(argP);
    thrExit();
    return 0;
}

int thrBegin(thrProcT procP, void* argP, psThreadT* handleP)
{
    thrEntryT* e = (thrEntryT*)shmAlloc(sizeof *e);
    if (!e)
        return 300;
    e->procP = procP;
    e->argP = argP;
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, thrEntry, e, 0, &id);
    if (!h) {
        shmFree(e);
        return 300;
    }
    *handleP = h;
    TRACE("Thread %lu created thread %p Id(%lu); proc=%p.\n", thrGetId(), h, id, (void*)procP);
    return 0;
}

int thrWait(psThreadT handle)
{
    TRACE("Thread %lu waiting for thread %p.\n", thrGetId(), handle);
    return WaitForSingleObject((HANDLE)handle, INFINITE) == WAIT_FAILED ? 301 : 0;
}

void thrSleep(int seconds)
{
    TRACE("Thread %lu sleeping for %d seconds.\n", thrGetId(), seconds);
    thrSleepMs((unsigned)seconds * 1000u);
}

void thrExit(void)
{
    TRACE("Thread %lu exiting.\n", thrGetId());
    ExitThread(0);
}
