// Volume files of the server (database, recovery log and disk pool volumes)
// created at their full size, and the drive utilities they rest on.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "common/cmd/fmtsize.h"

// Zeros are written in chunks of this size (also the benchmark's block size).
constexpr DWORD kFormatChunkBytes = 1u << 20;

// Creates a volume file; returns a public code (VOLFMT_...).
int FormatVolume(int32_t volumeType, const std::wstring& path, const std::wstring& sizeText);

// Applies the size rules, checks the space and creates the file. Returns an
// internal code (FMT_... or a SPACE_... code); bytes receives the final size
// on success, the parsed megabytes or 0 after an early failure.
int FormatFile(const std::wstring& path, const std::wstring& sizeText, int32_t volumeType,
               uint64_t& bytes);

// Creates a new file of exactly `bytes` bytes, every one written, so that
// the space really belongs to it. A file left half-made is removed.
int FormatExtent(const std::wstring& path, uint64_t bytes);

// True when `sizeText` megabytes fit on the drive of `path` (no size rule);
// code receives 0, VOLFMT_NO_SPACE, VOLFMT_BAD_SIZE_CHAR or a SPACE_... code.
bool CheckVolumeSpace(const std::wstring& path, const std::wstring& sizeText, int& code);

// Free bytes available where `path` would be created: the nearest existing
// directory of the path, so a UNC path or a mounted folder answers for
// itself. 0 on failure, with code set.
uint64_t GetPathFreeSpace(const std::wstring& path, int& code);

// Total, used and free bytes of the volume holding `path`; all 0 on failure.
int GetPathSpaceUsage(const std::wstring& path, uint64_t& total, uint64_t& used, uint64_t& free);

// Creates the directory part of a file path: 0 when it exists afterwards, -1
// otherwise.
int CreatePathDirectories(const std::wstring& filePath);

// 0 when the directory exists (created when `create` is set), 1201 when a
// level is missing and `create` is off, 1 when it does not exist at the end.
int EnsureDirectory(const std::wstring& directory, bool create);

struct DriveInfo {
    std::wstring root;         // as listed, lower case (c:\)
    std::wstring label;
    std::wstring serial;       // unsigned decimal
    std::wstring fileSystem;
    float totalMb = 0, usedMb = 0, freeMb = 0;
    uint32_t reserved1 = 0, reserved2 = 0, reserved3 = 0;
    uint32_t notRemote = 0;
    uint32_t removable = 0;    // removable and CD-ROM drives
    uint32_t cdrom = 0;
    uint32_t floppy = 0;
    uint32_t compressed = 0;
    uint32_t reserved4 = 0;
};

// Fills `list` (capacity slots) with one record per logical drive, also for
// drives whose queries failed; returns the number of records.
int EnumerateDrives(DriveInfo** list, int capacity);
void FreeDriveList(DriveInfo** list, int count);
