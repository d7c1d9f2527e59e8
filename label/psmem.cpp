// Allocation wrapper and the process-wide anchors.
#include <stdlib.h>
#include <string.h>
#include "psbase.h"

void* PSANCHOR[PSANCHOR_COUNT];

int shmInit(void) { return 0; }
void* shmAlloc(size_t size) { return malloc(size); }
void shmFree(void* p) { free(p); }

void psSetAnchor(int index, void* pointer)
{
    if (index >= 0 && index < PSANCHOR_COUNT)
        PSANCHOR[index] = pointer;
}

int psCopy(char* dst, size_t size, const char* src)
{
    if (size == 0)
        return 0;
    size_t n = strlen(src);
    if (n >= size) {
        memcpy(dst, src, size - 1);
        dst[size - 1] = '\0';
        return 0;
    }
    memcpy(dst, src, n + 1);
    return 1;
}
