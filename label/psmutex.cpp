// Mutexes whose failure ends the program: a lost lock would mix drives.
#include <windows.h>
#include "psbase.h"

void mtxCreate(psMutexT* mutexP)
{
    HANDLE h = CreateMutexA(nullptr, FALSE, nullptr);
    if (!h)
        epAbort("mtxCreate: can't create mutex. reason: %lu\n", GetLastError());
    *mutexP = h;
}

void mtxAcquire(psMutexT mutex)
{
    DWORD r = WaitForSingleObject((HANDLE)mutex, INFINITE);
    if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED)
        epAbort("mtxAcquire: can't acquire mutex.\n");
}

void mtxRelease(psMutexT mutex)
{
    if (!ReleaseMutex((HANDLE)mutex))
        epAbort("mtxRelease: can't release mutex.\n");
}
