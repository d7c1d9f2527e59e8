// Volume files on the test drives: sizes, real allocation, refusals that
// leave nothing behind, and the drive utilities.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "common/cmd/qorafmt.h"
#include "tests/support/testsupport.h"

namespace {

bool exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

uint64_t fileSize(const std::wstring& p) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &a)) return UINT64_MAX;
    return (uint64_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

// Bytes the file system really allocated for the file (under Wine the
// Linux file's blocks; GetCompressedFileSize only repeats the size there).
uint64_t allocatedSize(const std::wstring& p) {
    HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILE_STANDARD_INFO info{};
    bool ok = h != INVALID_HANDLE_VALUE &&
              GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return ok ? uint64_t(info.AllocationSize.QuadPart) : 0;
}

bool allZero(const std::wstring& p) {
    std::string bytes = qtest::readFile(p);
    return bytes.find_first_not_of('\0') == std::string::npos;
}

void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(dir + name + L"\\");
            else DeleteFileW((dir + name).c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

// A fresh folder on the fixed test drive D:, where volumes really go.
class VolumeDir : public testing::Test {
protected:
    void SetUp() override {
        dir_ = L"D:\\qorafmt-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir_.c_str(), nullptr);
        ASSERT_TRUE(exists(dir_));
    }
    void TearDown() override { removeTree(dir_); }
    std::wstring dir_;
};

struct VolumeCase {
    int32_t type;
    const wchar_t* sizeText;
    uint64_t expectedMb;
};

class FormatSizes : public VolumeDir, public testing::WithParamInterface<VolumeCase> {};

TEST_P(FormatSizes, CreatesTheRoundedSizeFullyAllocated) {
    std::wstring path = dir_ + L"vol.dsm";
    ASSERT_EQ(FormatVolume(GetParam().type, path, GetParam().sizeText), VOLFMT_OK);
    uint64_t bytes = GetParam().expectedMb * kBytesPerMb;
    EXPECT_EQ(fileSize(path), bytes);
    EXPECT_GE(allocatedSize(path), bytes);
    EXPECT_TRUE(allZero(path));
}

INSTANTIATE_TEST_SUITE_P(Volumes, FormatSizes, testing::Values(
    VolumeCase{VOLUME_DATABASE, L"6", 9}, VolumeCase{VOLUME_DATABASE, L"", 5},
    VolumeCase{VOLUME_RECOVERYLOG, L"  13 ", 13}, VolumeCase{VOLUME_RECOVERYLOG, L"", 9},
    VolumeCase{VOLUME_DISKPOOL, L"", 1}, VolumeCase{VOLUME_DISKPOOL, L" 12 ", 12}));

TEST_F(VolumeDir, ReturnsTheFinalByteSize) {
    uint64_t bytes = 0;
    EXPECT_EQ(FormatFile(dir_ + L"db.dsm", L"6", VOLUME_DATABASE, bytes), FMT_OK);
    EXPECT_EQ(bytes, 9 * kBytesPerMb);
}

TEST_F(VolumeDir, CreatesMissingDirectories) {
    std::wstring path = dir_ + L"a\\b\\c\\vol.dsm";
    ASSERT_EQ(FormatVolume(VOLUME_DISKPOOL, path, L"1"), VOLFMT_OK);
    EXPECT_EQ(fileSize(path), kBytesPerMb);
}

TEST_F(VolumeDir, ExistingFileIsLeftAlone) {
    std::wstring path = dir_ + L"taken.dsm";
    ASSERT_TRUE(qtest::writeFile(path, "server data"));
    EXPECT_EQ(FormatVolume(VOLUME_DISKPOOL, path, L"1"), VOLFMT_FILE_EXISTS);
    EXPECT_EQ(qtest::readFile(path), "server data");
}

TEST_F(VolumeDir, RefusalsCreateNothing) {
    std::wstring longPath = dir_ + std::wstring(257, L'x');
    struct Case {
        int32_t type;
        std::wstring path, size;
        int code;
    } cases[] = {
        {VOLUME_DISKPOOL, dir_ + L"n\\v.dsm", L"12a", VOLFMT_BAD_SIZE_CHAR},
        {3, dir_ + L"n\\v.dsm", L"1", VOLFMT_OTHER},
        {VOLUME_DISKPOOL, longPath, L"1", VOLFMT_OTHER},
        // More than the disk holds, and more than 64 bits of bytes.
        {VOLUME_DISKPOOL, dir_ + L"n\\v.dsm", L"17592186044415", VOLFMT_NO_SPACE},
        {VOLUME_DATABASE, dir_ + L"n\\v.dsm", L"99999999999999999999", VOLFMT_NO_SPACE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatVolume(c.type, c.path, c.size), c.code) << qtest::narrow(c.size);
        EXPECT_FALSE(exists(dir_ + L"n")) << qtest::narrow(c.size);
    }
}

TEST_F(VolumeDir, RelativePathUsesTheCurrentDirectory) {
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str()));
    int rc = FormatVolume(VOLUME_DISKPOOL, L"rel\\vol.dsm", L"1");
    SetCurrentDirectoryW(old);
    EXPECT_EQ(rc, VOLFMT_OK);
    EXPECT_EQ(fileSize(dir_ + L"rel\\vol.dsm"), kBytesPerMb);
}

TEST_F(VolumeDir, SpaceCheckAppliesNoRounding) {
    int code = -1;
    uint64_t freeMb = GetPathFreeSpace(dir_, code) / kBytesPerMb;
    ASSERT_EQ(code, 0);
    ASSERT_GT(freeMb, 1024u);
    // Other writers share the disk: keep a margin either side.
    EXPECT_TRUE(CheckVolumeSpace(dir_ + L"x.dsm", std::to_wstring(freeMb - 512), code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(CheckVolumeSpace(dir_ + L"x.dsm", std::to_wstring(freeMb + 512), code));
    EXPECT_EQ(code, VOLFMT_NO_SPACE);
    EXPECT_FALSE(CheckVolumeSpace(dir_ + L"x.dsm", L" 12a ", code));
    EXPECT_EQ(code, VOLFMT_BAD_SIZE_CHAR);
    EXPECT_TRUE(CheckVolumeSpace(dir_ + L"x.dsm", L" 12 ", code));
    EXPECT_FALSE(CheckVolumeSpace(std::wstring(300, L'x'), L"1", code));
    EXPECT_EQ(code, SPACE_PATH_TOO_LONG);
}

TEST_F(VolumeDir, FreeSpaceIsThatOfTheTargetDirectory) {
    ULARGE_INTEGER avail, total;
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"D:\\", &avail, &total, nullptr));
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW(L"C:\\");
    int code = -1;
    uint64_t free = GetPathFreeSpace(dir_ + L"not\\yet\\there.dsm", code);
    uint64_t t, u, f;
    int usage = GetPathSpaceUsage(dir_, t, u, f);
    SetCurrentDirectoryW(old);
    EXPECT_EQ(code, 0);
    EXPECT_NEAR(double(free), double(avail.QuadPart), 256.0 * kBytesPerMb);
    EXPECT_EQ(usage, 0);
    EXPECT_EQ(t, total.QuadPart);
    EXPECT_EQ(u, t - f);
    EXPECT_EQ(GetPathFreeSpace(L"Q:\\nowhere\\v.dsm", code), 0u);
    EXPECT_EQ(code, SPACE_QUERY_FAILED);
    EXPECT_EQ(GetPathSpaceUsage(L"Q:\\", t, u, f), SPACE_QUERY_FAILED);
    EXPECT_EQ(t + u + f, 0u);
}

TEST_F(VolumeDir, DirectoryHelpers) {
    EXPECT_EQ(CreatePathDirectories(L"vol.dsm"), 0);
    EXPECT_EQ(CreatePathDirectories(dir_ + L"p\\q\\vol.dsm"), 0);
    EXPECT_TRUE(exists(dir_ + L"p\\q"));
    ASSERT_TRUE(qtest::writeFile(dir_ + L"file", "x"));
    EXPECT_EQ(CreatePathDirectories(dir_ + L"file\\sub\\vol.dsm"), -1);

    EXPECT_EQ(EnsureDirectory(dir_ + L"E1\\E2  ", false), SPACE_DIR_MISSING);
    EXPECT_FALSE(exists(dir_ + L"e1"));
    EXPECT_EQ(EnsureDirectory(dir_ + L"E1\\E2  ", true), 0);
    EXPECT_TRUE(exists(dir_ + L"e1\\e2"));
    EXPECT_EQ(EnsureDirectory(dir_ + L"e1\\e2", false), 0);
    EXPECT_EQ(EnsureDirectory(dir_ + L"file\\sub", true), 1);
}

TEST(Drives, ListsTheTestDrivesWithTheirProperties) {
    DriveInfo* list[26] = {};
    int n = EnumerateDrives(list, 26);
    const DriveInfo *c = nullptr, *d = nullptr, *y = nullptr;
    for (int i = 0; i < n; ++i) {
        if (list[i]->root == L"c:\\") c = list[i];
        if (list[i]->root == L"d:\\") d = list[i];
        if (list[i]->root == L"y:\\") y = list[i];
        EXPECT_NE(list[i]->root, L"z:\\");
    }
    ASSERT_TRUE(c && d && y);
    EXPECT_TRUE(d->notRemote);
    EXPECT_FALSE(d->removable || d->cdrom || d->floppy);
    EXPECT_GT(d->totalMb, 0.0f);
    EXPECT_GT(d->freeMb, 0.0f);
    EXPECT_NEAR(d->totalMb, d->usedMb + d->freeMb, d->totalMb * 1e-4);
    EXPECT_FALSE(d->fileSystem.empty());
    EXPECT_FALSE(d->serial.empty());
    EXPECT_FALSE(y->notRemote);
    EXPECT_TRUE(c->notRemote);
    FreeDriveList(list, n);
    for (int i = 0; i < n; ++i) EXPECT_EQ(list[i], nullptr);
    EXPECT_EQ(EnumerateDrives(list, 1), 1);
    FreeDriveList(list, 1);
}

// A small disk of its own (mounted by the test's fixture when the machine
// allows it) is where writing runs out of space.
class SmallDisk : public testing::Test {
protected:
    void SetUp() override {
        const char* unixPath = getenv("QORA_SMALL_DISK");
        if (!unixPath || !*unixPath) GTEST_SKIP() << "no small disk mounted";
        std::wstring p = L"\\\\?\\unix" + qtest::widen(unixPath);
        for (auto& ch : p) if (ch == L'/') ch = L'\\';
        dir_ = p + L"\\";
        int code;
        free_ = GetPathFreeSpace(dir_, code);
        if (code || free_ == 0 || free_ > 64 * kBytesPerMb) GTEST_SKIP() << "small disk not usable";
    }
    std::wstring dir_;
    uint64_t free_ = 0;
};

TEST_F(SmallDisk, FullDiskIsRefusedBeforeWriting) {
    std::wstring mb = std::to_wstring(free_ / kBytesPerMb + 1);
    EXPECT_EQ(FormatVolume(VOLUME_DISKPOOL, dir_ + L"d\\v.dsm", mb), VOLFMT_NO_SPACE);
    EXPECT_FALSE(exists(dir_ + L"d"));
}

TEST_F(SmallDisk, FailedWriteRemovesTheFile) {
    std::wstring path = dir_ + L"big.dsm";
    EXPECT_EQ(FormatExtent(path, free_ + 2 * kBytesPerMb), FMT_WRITE_FAILED);
    EXPECT_FALSE(exists(path));
    int code;
    EXPECT_EQ(GetPathFreeSpace(dir_, code), free_);
}

}  // namespace
