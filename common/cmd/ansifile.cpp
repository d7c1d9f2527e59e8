#include "common/cmd/ansifile.h"

#include <vector>
#include "common/cmd/msglib.h"

namespace {

// Cause numbers of the file errors as administrators know them from the
// product's other tools.
int fileErrorCause(DWORD error) {
    switch (error) {
    case 0: return 0;
    case ERROR_FILE_NOT_FOUND: return 2;
    case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_NAME: case ERROR_BAD_NETPATH: return 3;
    case ERROR_TOO_MANY_OPEN_FILES: return 4;
    case ERROR_ACCESS_DENIED: return 5;
    case ERROR_INVALID_HANDLE: return 6;
    case ERROR_SHARING_VIOLATION: return 11;
    case ERROR_LOCK_VIOLATION: return 12;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return 13;
    case ERROR_HANDLE_EOF: return 14;
    default: return 1;
    }
}

}  // namespace

bool readAnsiFile(const std::wstring& path, std::wstring& text, DWORD& error) {
    text.clear();
    error = 0;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buf, sizeof buf, &got, nullptr)) && got) bytes.append(buf, got);
    if (!ok) error = GetLastError();
    CloseHandle(file);
    if (!ok) return false;
    if (!bytes.empty()) {
        int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
        text.resize(n);
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), &text[0], n);
    }
    return true;
}

void showFileError(HWND owner, DWORD error) {
    int cause = fileErrorCause(error);
    wchar_t* description = nullptr;
    if (error)
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&description), 0, nullptr);
    if (description) {
        std::wstring d = description;
        LocalFree(description);
        while (!d.empty() && (d.back() == L'\n' || d.back() == L'\r' || d.back() == L' ')) d.pop_back();
        showText(owner, MSG_STOP, L"File error - %d, %ld (%s)\n", cause, long(error), d.c_str());
    } else {
        showText(owner, MSG_STOP, L"File error - cause: %d, error: %ld\n", cause, long(error));
    }
}
