// Starts a windowed program, waits for its main window and writes what the
// screen shows of that window to a BMP file, then closes the program.
//   startup_shot OUT.bmp CLASS DELAYMS COMMANDLINE...
// DELAYMS lets a splash go first (srvutil: 3500).
#include "bench/startup_launch.h"
#include <cstdio>
#include <vector>

namespace {
bool writeBitmap(const std::wstring& path, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD rowBytes = ((w * 3 + 3) / 4) * 4;
    std::vector<BYTE> pixels(rowBytes * h);
    GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
    return ok;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fwprintf(stderr, L"usage: startup_shot OUT.bmp CLASS DELAYMS COMMANDLINE...\n");
        return 2;
    }
    std::wstring commandLine;
    for (int i = 4; i < argc; ++i) commandLine += (i > 4 ? L" " : L"") + std::wstring(argv[i]);
    DWORD timeout = static_cast<DWORD>(30000 * waitScale());
    LaunchedWindow w;
    if (!launchAndWait(commandLine, argv[2], timeout, w)) {
        std::fwprintf(stderr, L"startup_shot: no window of class %ls appeared\n", argv[2]);
        return 1;
    }
    Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    SetForegroundWindow(w.window);
    RedrawWindow(w.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    bool ok = writeBitmap(argv[1], w.window);
    closeLaunched(w, timeout);
    std::wprintf(ok ? L"startup_shot: wrote %ls\n" : L"startup_shot: could not write %ls\n", argv[1]);
    return ok ? 0 : 1;
}
