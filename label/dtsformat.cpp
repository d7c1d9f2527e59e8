// Media-to-format tables and the format choice of the tape kinds.
#include "dtsformat.h"
#include <stddef.h>

struct mediaType {
    int code;
    uint32_t formats;
};

static const mediaType qicMedia[] = {
    {322, 0x0000C000}, {323, 0x0001C000},
    {328, 0x00020000}, {329, 0x00020000}, {330, 0x00020000}, {332, 0x00020000},
    {333, 0x00020000}, {334, 0x00020000}, {338, 0x00020000},
    {331, 0x00040000}, {340, 0x00040000}, {339, 0x00040000}, {342, 0x00040000},
    {344, 0x00100000}, {345, 0x00100000},
    {346, 0x00400000}, {347, 0x00400000},
    {348, 0x01000000}, {349, 0x01000000}, {350, 0x01000000}, {351, 0x01000000},
    {352, 0x04000000}, {353, 0x04000000},
};
static_assert(sizeof qicMedia / sizeof qicMedia[0] == 23);

static const mediaType ecartMedia[] = {
    {373, 0x02000000}, {374, 0x00800000}, {375, 0x00200000}, {376, 0x00080000}, {377, 0x00001000},
};

static uint32_t formatsOf(const mediaType* t, size_t n, int code)
{
    for (size_t i = 0; i < n; i++)
        if (t[i].code == code)
            return t[i].formats;
    return 0;
}

uint32_t emmChooseFormat(uint32_t w, int m)
{
    if (w & 0x400)
        return 0x400;
    if ((w & 0x100) && m != 367 && m != 368)
        return 0x100;
    if ((w & 0x1000) && (m == 367 || m == 368))
        return 0x1000;
    if (m == 310)
        return 0x100000;
    return DTS_NO_FORMAT;
}

uint32_t dltChooseFormat(uint32_t w, int m)
{
    return (w & 0xC0000000u) && m == 356 ? 0x40000000u : 0x01000000u;
}

uint32_t qicChooseFormat(uint32_t group, uint32_t w, int m)
{
    if (group != 3)
        return 0x4000;
    uint32_t usable = formatsOf(qicMedia, sizeof qicMedia / sizeof qicMedia[0], m) & w;
    if (!usable)
        return DTS_NO_FORMAT;
    if (usable & 0x4000)
        return 0x4000;
    for (uint32_t bit = 0x8000; bit; bit <<= 1)
        if (usable & bit)
            return bit;
    // Only bits below 0x4000 remain: the lowest of them.
    return usable & (~usable + 1);
}

uint32_t ecartChooseFormat(uint32_t group, uint32_t w, int m)
{
    if (group != 14)
        return 0;
    uint32_t usable = formatsOf(ecartMedia, sizeof ecartMedia / sizeof ecartMedia[0], m) & w;
    return usable ? usable : DTS_NO_FORMAT;
}
