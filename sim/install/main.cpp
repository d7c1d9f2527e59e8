// siminst: lays out, refreshes or removes the stand-in QORA installation.
#include "sim/install/siminst.h"
#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    std::wstring out;
    int rc = siminst::run(args, out);
    fputws(out.c_str(), rc == 0 ? stdout : stderr);
    return rc;
}
