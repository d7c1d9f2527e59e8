// The format job: message 1125 after the volume exists, one format at a
// time, and a page that gives up before the end.
#include <gtest/gtest.h>
#include <windows.h>
#include <chrono>
#include <memory>
#include <string>
#include "common/cmd/msglib.h"
#include "common/cmd/qorafmt.h"
#include "srvutil/fmtjob.h"
#include "tests/support/testsupport.h"

namespace {

using namespace std::chrono;

bool exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

uint64_t fileSize(const std::wstring& p) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &a)) return 0;
    return (uint64_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

milliseconds scaled(int ms) { return milliseconds(int(ms * qtest::timeScale())); }

// The job's texts come from the message library; where the test prefix has
// no installation its loader would wait on a real box for a click.
int answerBox(HWND, const wchar_t*, const wchar_t*, UINT) { return IDOK; }

class FormatJobTest : public testing::Test {
protected:
    static void SetUpTestSuite() { setMessageBoxHook(answerBox); }
    static void TearDownTestSuite() { setMessageBoxHook(nullptr); }
    void SetUp() override {
        dir_ = L"D:\\fmtjob-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir_.c_str(), nullptr);
        page_ = CreateWindowExW(0, L"STATIC", L"page", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_TRUE(page_);
    }
    void TearDown() override {
        qtest::waitFor([] { return !volumeFormatRunning(); }, scaled(60000));
        if (page_) DestroyWindow(page_);
        for (const wchar_t* f : {L"db.dsm", L"big.dsm", L"second.dsm", L"taken.dsm"})
            DeleteFileW((dir_ + f).c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    // Pumps the page's messages until 1125 arrives; its wParam, or -1.
    WPARAM waitForCompletion() {
        WPARAM id = WPARAM(-1);
        qtest::waitFor([&] {
            MSG m;
            while (PeekMessageW(&m, page_, 0, 0, PM_REMOVE)) {
                if (m.message == WM_FORMAT_DONE) {
                    id = m.wParam;
                    return true;
                }
            }
            return false;
        }, scaled(60000));
        return id;
    }
    std::wstring dir_;
    HWND page_ = nullptr;
};

TEST_F(FormatJobTest, CompletesWithTheVolumeInPlace) {
    CommandJob job;
    ASSERT_TRUE(startVolumeFormat(job, page_, VOLUME_DATABASE, dir_ + L"db.dsm", L"6"));
    WPARAM id = waitForCompletion();
    ASSERT_TRUE(takeRunResult(job, id));
    EXPECT_EQ(job.exitCode, 0);
    EXPECT_EQ(fileSize(dir_ + L"db.dsm"), 9 * kBytesPerMb);
    EXPECT_FALSE(volumeFormatRunning());
}

TEST_F(FormatJobTest, FailureCarriesItsCodeAndText) {
    ASSERT_TRUE(qtest::writeFile(dir_ + L"taken.dsm", "x"));
    CommandJob job;
    ASSERT_TRUE(startVolumeFormat(job, page_, VOLUME_DISKPOOL, dir_ + L"taken.dsm", L"1"));
    ASSERT_TRUE(takeRunResult(job, waitForCompletion()));
    EXPECT_EQ(job.exitCode, VOLFMT_FILE_EXISTS);
    EXPECT_NE(job.workDir.find(L"1601"), std::wstring::npos) << qtest::narrow(job.workDir);
    EXPECT_EQ(qtest::readFile(dir_ + L"taken.dsm"), "x");
}

TEST_F(FormatJobTest, OneFormatAtATime) {
    CommandJob first, second;
    ASSERT_TRUE(startVolumeFormat(first, page_, VOLUME_DISKPOOL, dir_ + L"big.dsm", L"256"));
    EXPECT_FALSE(startVolumeFormat(second, page_, VOLUME_DISKPOOL, dir_ + L"second.dsm", L"1"));
    ASSERT_TRUE(takeRunResult(first, waitForCompletion()));
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_FALSE(exists(dir_ + L"second.dsm"));
    ASSERT_TRUE(startVolumeFormat(second, page_, VOLUME_DISKPOOL, dir_ + L"second.dsm", L"1"));
    ASSERT_TRUE(takeRunResult(second, waitForCompletion()));
    EXPECT_EQ(second.exitCode, 0);
}

TEST_F(FormatJobTest, AbandonedJobFinishesAlone) {
    auto job = std::make_unique<CommandJob>();
    ASSERT_TRUE(startVolumeFormat(*job, page_, VOLUME_DISKPOOL, dir_ + L"big.dsm", L"256"));
    // The wizard closes at once: its record and its window go away.
    job.reset();
    DestroyWindow(page_);
    page_ = nullptr;
    ASSERT_TRUE(qtest::waitFor([] { return !volumeFormatRunning(); }, scaled(60000)));
    EXPECT_EQ(fileSize(dir_ + L"big.dsm"), 256 * kBytesPerMb);
}

}  // namespace
