// Tape primitives through the driver's requests.
#include <windows.h>
#include "psdevio.h"

#define TR_MODULE "tapeio"

static int tapeOp(int handle, int op, int count, const char* name)
{
    stop s = {};
    s.st_op = (int16_t)op;
    s.st_count = count;
    int rc = ioTapeIoctl(handle, QORA_MTIOC_OP, &s, sizeof s);
    if (rc != 0)
        TraceSenseData(name, handle);
    return rc;
}

int TapeRewind(int handle) { return tapeOp(handle, MT_OP_REW, 1, "REW"); }
int tapeEject(int handle) { return tapeOp(handle, MT_OP_OFFL, 1, "OFFL"); }
int TapeWriteEOF(int handle, int count) { return tapeOp(handle, MT_OP_WEOF, count, "WEOF"); }

int TapeSetMode(int handle, uint32_t format, uint32_t blockSize)
{
    qora_mt_set_mode_t m = {};
    m.eot_mode = 2;
    m.format = format;
    m.block_size = blockSize;
    int rc = ioTapeIoctl(handle, QORA_MTIOC_SET_MODE, &m, sizeof m);
    if (rc != 0)
        TraceSenseData("SETMODE", handle);
    return rc;
}

int TapeRead(int handle, void* buf, unsigned size, unsigned* amtP)
{
    int rc = ioReadDevice(handle, buf, size, amtP);
    if (rc != 0)
        TraceSenseData("READ", handle);
    return rc;
}

int TapeWrite(int handle, const void* buf, unsigned size, unsigned* amtP)
{
    int rc = ioWriteDevice(handle, buf, size, amtP);
    if (rc != 0)
        TraceSenseData("WRITE", handle);
    return rc;
}
