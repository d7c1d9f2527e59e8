// Time to create one disk pool volume of the given size, every byte written.
//   volfmt_bench SIZE_MB PATH
// Prints "SIZE_MB SECONDS CODE"; bench/volfmt_bench.sh compares it with dd.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/cmd/qorafmt.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: volfmt_bench SIZE_MB PATH\n");
        return 2;
    }
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    int rc = FormatVolume(VOLUME_DISKPOOL, argv[2], argv[1]);
    QueryPerformanceCounter(&end);
    double seconds = double(end.QuadPart - start.QuadPart) / double(freq.QuadPart);
    std::printf("%ls %.3f %d\n", argv[1], seconds, rc);
    return rc == 0 ? 0 : 1;
}
