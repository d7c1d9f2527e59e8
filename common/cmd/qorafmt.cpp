#include "common/cmd/qorafmt.h"

#include <vector>
#include "common/cmd/textfmt.h"
#include "common/cmd/trace.h"

namespace {

constexpr size_t kMaxPathChars = 256;

bool isSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool isDirectory(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Length of the part of a path that names its volume and is never created:
// "d:\", "d:", "\\server\share\", "\" or nothing for a relative path.
size_t rootLength(const std::wstring& p) {
    if (p.size() >= 2 && p[1] == L':') return p.size() >= 3 && isSlash(p[2]) ? 3 : 2;
    if (p.size() >= 2 && isSlash(p[0]) && isSlash(p[1])) {
        size_t server = p.find_first_of(L"\\/", 2);
        if (server == std::wstring::npos) return p.size();
        size_t share = p.find_first_of(L"\\/", server + 1);
        return share == std::wstring::npos ? p.size() : share + 1;
    }
    return !p.empty() && isSlash(p[0]) ? 1 : 0;
}

std::wstring withSlash(std::wstring p) {
    if (p.empty() || !isSlash(p.back())) p += L'\\';
    return p;
}

// The directory whose volume answers for `path`: the path itself or its
// nearest existing parent, else its root. Relative paths are taken against
// the current directory. 0 or a SPACE_... code.
int spaceQueryDirectory(const std::wstring& path, std::wstring& dir) {
    if (path.size() > kMaxPathChars) return SPACE_PATH_TOO_LONG;
    wchar_t full[MAX_PATH * 2];
    DWORD n = GetFullPathNameW(path.empty() ? L"." : path.c_str(), MAX_PATH * 2, full, nullptr);
    if (n == 0 || n >= MAX_PATH * 2) return SPACE_NO_CURRENT_DIR;
    dir = full;
    size_t root = rootLength(dir);
    while (dir.size() > root && !isDirectory(dir)) {
        size_t slash = dir.find_last_of(L"\\/");
        dir.erase(slash == std::wstring::npos || slash < root ? root : slash);
    }
    dir = withSlash(dir);
    return 0;
}

// Walks the levels of a directory path, creating missing ones when asked.
// 0 when the whole path exists at the end, SPACE_DIR_MISSING for a missing
// level without `create`, 1 otherwise.
int walkDirectoryLevels(const std::wstring& dir, bool create) {
    size_t pos = rootLength(dir);
    while (pos < dir.size()) {
        size_t next = dir.find_first_of(L"\\/", pos);
        if (next == std::wstring::npos) next = dir.size();
        if (next > pos) {
            std::wstring level = dir.substr(0, next);
            if (!isDirectory(level)) {
                if (!create) return SPACE_DIR_MISSING;
                if (!CreateDirectoryW(level.c_str(), nullptr) && !isDirectory(level)) return 1;
            }
        }
        pos = next + 1;
    }
    return isDirectory(dir.empty() ? L"." : dir) ? 0 : 1;
}

// A file of ours that failed half-way must not stay behind looking like a volume.
int abandonExtent(HANDLE file, const std::wstring& path, int code) {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    DeleteFileW(path.c_str());
    return code;
}

float megabytes(uint64_t bytes) {
    return float(bytes >> 20) + float(bytes & (kBytesPerMb - 1)) / float(kBytesPerMb);
}

}  // namespace

uint64_t GetPathFreeSpace(const std::wstring& path, int& code) {
    std::wstring dir;
    code = spaceQueryDirectory(path, dir);
    if (code) return 0;
    ULARGE_INTEGER available, totalBytes;
    if (!GetDiskFreeSpaceExW(dir.c_str(), &available, &totalBytes, nullptr)) {
        code = SPACE_QUERY_FAILED;
        return 0;
    }
    return available.QuadPart;
}

int GetPathSpaceUsage(const std::wstring& path, uint64_t& total, uint64_t& used, uint64_t& free) {
    total = used = free = 0;
    std::wstring dir;
    int code = spaceQueryDirectory(path, dir);
    if (code) return code;
    ULARGE_INTEGER available, totalBytes, freeBytes;
    if (!GetDiskFreeSpaceExW(dir.c_str(), &available, &totalBytes, &freeBytes))
        return SPACE_QUERY_FAILED;
    total = totalBytes.QuadPart;
    free = freeBytes.QuadPart;
    used = total >= free ? total - free : 0;
    return 0;
}

int CreatePathDirectories(const std::wstring& filePath) {
    size_t slash = filePath.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0) return 0;
    std::wstring dir = filePath.substr(0, slash);
    if (dir.size() <= rootLength(dir)) return 0;
    return walkDirectoryLevels(dir, true) == 0 ? 0 : -1;
}

int EnsureDirectory(const std::wstring& directory, bool create) {
    std::wstring dir = directory;
    while (!dir.empty() && iswspace(dir.back())) dir.pop_back();
    if (!dir.empty()) CharLowerBuffW(&dir[0], static_cast<DWORD>(dir.size()));
    dir = withSlash(dir);
    int rc = walkDirectoryLevels(dir, create);
    return rc == SPACE_DIR_MISSING ? rc : (rc ? 1 : 0);
}

int FormatExtent(const std::wstring& path, uint64_t bytes) {
    int rc = FMT_OK;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        rc = (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS) ? FMT_FILE_EXISTS
                                                                       : FMT_CREATE_FAILED;
    } else {
        // The length first, so the file system can reserve the space in one
        // piece; then every byte is written, since extending a file alone
        // leaves it sparse on some file systems and a later server write
        // could find the disk full.
        LARGE_INTEGER end, start;
        end.QuadPart = static_cast<LONGLONG>(bytes);
        start.QuadPart = 0;
        if (bytes > uint64_t(INT64_MAX) || !SetFilePointerEx(file, end, nullptr, FILE_BEGIN)) {
            rc = abandonExtent(file, path, FMT_SEEK_FAILED);
        } else if (!SetEndOfFile(file)) {
            rc = abandonExtent(file, path, FMT_WRITE_FAILED);
        } else if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
            rc = abandonExtent(file, path, FMT_SEEK_FAILED);
        } else {
            std::vector<char> zeros(bytes < kFormatChunkBytes ? size_t(bytes) : kFormatChunkBytes);
            for (uint64_t left = bytes; left && rc == FMT_OK;) {
                DWORD chunk = left < kFormatChunkBytes ? DWORD(left) : kFormatChunkBytes;
                DWORD written = 0;
                if (!WriteFile(file, zeros.data(), chunk, &written, nullptr) || written != chunk)
                    rc = abandonExtent(file, path, FMT_WRITE_FAILED);
                left -= chunk;
            }
            if (rc == FMT_OK && !CloseHandle(file))
                rc = abandonExtent(INVALID_HANDLE_VALUE, path, FMT_CLOSE_FAILED);
        }
    }
    QTRACE(T_VOLFMT, L"Leaving FormatExtent RC %u\n", unsigned(rc));
    return rc;
}

int FormatFile(const std::wstring& rawPath, const std::wstring& rawSize, int32_t volumeType,
               uint64_t& bytes) {
    bytes = 0;
    std::wstring path = trimWhite(rawPath);
    std::wstring sizeText = trimWhite(rawSize);

    int code;
    uint64_t free = GetPathFreeSpace(path, code);
    if (code) return code;

    uint64_t mb;
    int rc = parseSizeMb(sizeText, mb);
    if (rc) return rc;
    bytes = mb;
    rc = applySizeRule(volumeType, mb);
    if (rc) return rc;
    bytes = mb;

    uint64_t size;
    bool fits = megabytesToBytes(mb, size);
    QTRACE(T_VOLFMT, L"After minsize enforced and converted to MB size is: %s\n",
           fits ? groupedDecimal(size).c_str() : L"(too large)");
    if (!fits || size > free) return FMT_NO_SPACE;

    if (CreatePathDirectories(path) != 0) return FMT_DIR_FAILED;
    rc = FormatExtent(path, size);
    if (rc == FMT_OK) bytes = size;
    return rc;
}

int FormatVolume(int32_t volumeType, const std::wstring& path, const std::wstring& sizeText) {
    QTRACE(T_VOLFMT, L"Filename: %s, sizeinmb: %s\n", path.c_str(), sizeText.c_str());
    uint64_t bytes;
    int rc = FormatFile(path, sizeText, volumeType, bytes);
    QTRACE(T_VOLFMT, L"FormatFile RC %u\n", unsigned(rc));
    return publicFormatCode(rc);
}

bool CheckVolumeSpace(const std::wstring& rawPath, const std::wstring& rawSize, int& code) {
    code = 0;
    std::wstring path = trimWhite(rawPath);
    std::wstring sizeText = trimWhite(rawSize);

    int spaceCode;
    uint64_t free = GetPathFreeSpace(path, spaceCode);
    if (spaceCode) {
        QTRACE(T_VOLFMT, L"FMT: Failed to get free space. RC: %u\n", unsigned(spaceCode));
        code = spaceCode;
        return false;
    }
    QTRACE(T_VOLFMT, L"FMT: Space available for path %s is: %s\n", path.c_str(),
           groupedDecimal(free).c_str());

    uint64_t mb, size;
    int rc = parseSizeMb(sizeText, mb);
    if (rc == FMT_BAD_SIZE_CHAR) {
        QTRACE(T_VOLFMT, L"FMT: Invalid character in size value: %s\n", sizeText.c_str());
        code = VOLFMT_BAD_SIZE_CHAR;
        return false;
    }
    bool fits = rc == FMT_OK && megabytesToBytes(mb, size);
    if (fits) QTRACE(T_VOLFMT, L"FMT: Requested size is: %s\n", groupedDecimal(size).c_str());
    if (!fits || size > free) {
        code = VOLFMT_NO_SPACE;
        return false;
    }
    return true;
}

int EnumerateDrives(DriveInfo** list, int capacity) {
    std::vector<wchar_t> roots(256);
    DWORD n = GetLogicalDriveStringsW(DWORD(roots.size()), roots.data());
    if (n >= roots.size()) {
        roots.resize(n + 1);
        n = GetLogicalDriveStringsW(DWORD(roots.size()), roots.data());
    }
    if (n == 0 || n >= roots.size()) return 0;

    // A drive without its medium must not ask the user to insert one.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
    int count = 0;
    for (const wchar_t* root = roots.data(); *root && count < capacity; root += wcslen(root) + 1) {
        auto* d = new DriveInfo;
        d->root = root;
        CharLowerBuffW(&d->root[0], DWORD(d->root.size()));
        UINT type = GetDriveTypeW(root);
        d->notRemote = type != DRIVE_REMOTE;
        d->removable = type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
        d->cdrom = type == DRIVE_CDROM;
        d->floppy = d->removable && (d->root.find(L"a:") != std::wstring::npos ||
                                     d->root.find(L"b:") != std::wstring::npos);
        uint64_t total, used, free;
        if (GetPathSpaceUsage(d->root, total, used, free) == 0) {
            d->totalMb = megabytes(total);
            d->usedMb = megabytes(used);
            d->freeMb = megabytes(free);
            wchar_t label[128] = L"", fs[128] = L"";
            DWORD serial = 0, maxName = 0, flags = 0;
            if (GetVolumeInformationW(root, label, 128, &serial, &maxName, &flags, fs, 128)) {
                d->label = label;
                d->serial = std::to_wstring(serial);
                d->fileSystem = fs;
                d->compressed = (flags & FILE_FILE_COMPRESSION) != 0;
            }
        }
        list[count++] = d;
    }
    SetThreadErrorMode(oldMode, nullptr);
    return count;
}

void FreeDriveList(DriveInfo** list, int count) {
    for (int i = 0; i < count; ++i) {
        delete list[i];
        list[i] = nullptr;
    }
}
