// The 8140 and 8150 drives: the tape primitives with their fixed mode, and
// the model check by inquiry data.
#include <windows.h>
#include <string.h>
#include "psdevio.h"

#define TR_MODULE "psntpio"

int ntpOpREW(int handle) { return TapeRewind(handle); }
int ntpOpOFFL(int handle) { return tapeEject(handle); }
int ntpOpSetMode(int handle) { return TapeSetMode(handle, 0, 0); }
int ntpOpWEOF(int handle, int count) { return TapeWriteEOF(handle, count); }
int ntpOpRead(int handle, void* buf, unsigned size, unsigned* amtP)
{
    return TapeRead(handle, buf, size, amtP);
}
int ntpOpWrite(int handle, const void* buf, unsigned size, unsigned* amtP)
{
    return TapeWrite(handle, buf, size, amtP);
}

int ntpOpGetModel(int handle, int, const char* model)
{
    qora_dd_inquiry_t inq = {};
    if (ioTapeIoctl(handle, QORA_MTIOC_GET_DEVICE_INFO, &inq, sizeof inq) != 0) {
        TRACE("QORA_MTIOC_GET_DEVICE_INFO failed checking for NTP %s drive %d.\n", model, handle);
        return 0;
    }
    size_t n = strlen(model);
    if (n <= sizeof inq.data.product_id && memcmp(inq.data.product_id, model, n) == 0) {
        TRACE("Found NTP %s drive: handle %d\n", model, handle);
        return 1;
    }
    TRACE("Incorrect NTP drive (%.5s) - testing for NTP %s drive.\n", inq.data.product_id, model);
    return 0;
}
