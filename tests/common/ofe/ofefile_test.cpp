// kvtserv.opt on disk: reading, saving in one step, and what a failed save
// leaves behind.
#include <gtest/gtest.h>
#include "common/cmd/optfiles_io.h"
#include "common/cmd/trace.h"
#include "common/ofe/ofefile.h"
#include "tests/support/testsupport.h"

using namespace ofe;

namespace {

std::unique_ptr<ServerOptions> freshModel() {
    std::unique_ptr<ServerOptions> m;
    CreateServerOptions(&m, localHostName());
    ResetServerOptions(m.get());
    return m;
}

struct FaultOff {
    ~FaultOff() { setFileFaultForTest({}); }
};

const std::string kOriginal = "* the administrator's file\r\nMAXSessions 40\r\n";

}  // namespace

TEST(ServerOptionsFile, SavesAndReadsBackAnEqualModel) {
    qtest::TempDir dir(L"ofe");
    const std::wstring path = dir / L"kvtserv.opt";
    ASSERT_TRUE(qtest::writeFile(path, qtest::readFile(qtest::sourceDir() + L"tests\\common\\ofe\\fixtures\\handwritten.opt")));
    auto first = freshModel();
    std::wstring message;
    ASSERT_EQ(ReadServerOptionsFile(first.get(), path, message), 0) << qtest::narrow(message);
    std::wstring unused;
    ASSERT_EQ(WriteServerOptions(first.get(), path, true, unused), 0);
    EXPECT_TRUE(unused.empty());
    const std::string bytes = qtest::readFile(path);
    EXPECT_EQ(bytes, qtest::readFile(qtest::sourceDir() + L"tests\\common\\ofe\\fixtures\\handwritten.golden.opt"));
    std::wstring text;
    ASSERT_EQ(WriteServerOptions(first.get(), L"ignored", false, text), 0);
    EXPECT_EQ(qtest::narrow(text), bytes);
    auto second = freshModel();
    ASSERT_EQ(ReadServerOptionsFile(second.get(), path, message), 0);
    EXPECT_TRUE(*first == *second);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ServerOptionsFile, MissingFileAndReadErrorHaveTheirCodes) {
    qtest::TempDir dir(L"ofe");
    auto m = freshModel();
    std::wstring message = L"x";
    EXPECT_EQ(ReadServerOptionsFile(m.get(), dir / L"none.opt", message), OFE_OPEN_FAILED);
    EXPECT_TRUE(message.empty());

    // A read error cannot be caused for real under Wine (it ignores byte
    // range locks on reads), so the file layer's seam fails the read.
    ASSERT_TRUE(qtest::writeFile(dir / L"kvtserv.opt", kOriginal));
    FaultOff off;
    setFileFaultForTest([](FileStep s) { return s == FileStep::Read; });
    EXPECT_EQ(ReadServerOptionsFile(m.get(), dir / L"kvtserv.opt", message), OFE_READ_ERROR);
    EXPECT_TRUE(message.empty());
}

TEST(ServerOptionsFile, SyntaxErrorNamesThePath) {
    qtest::TempDir dir(L"ofe");
    ASSERT_TRUE(qtest::writeFile(dir / L"kvtserv.opt", "MAXS 3\r\nTCP 1600\r\n"));
    auto m = freshModel();
    std::wstring message;
    EXPECT_EQ(ReadServerOptionsFile(m.get(), dir / L"kvtserv.opt", message), OFE_SYNTAX_ERROR);
    EXPECT_NE(message.find(L"on line 2 of the server options file:\n\n" + dir.path() + L"kvtserv.opt"),
              std::wstring::npos);
}

// Whatever step fails, the administrator's file stays as it was.
TEST(ServerOptionsFile, FailedSaveLeavesTheOriginal) {
    auto m = freshModel();
    std::wstring unused;
    for (FileStep step : {FileStep::Create, FileStep::Write, FileStep::Flush, FileStep::Close, FileStep::Replace}) {
        qtest::TempDir dir(L"ofe");
        const std::wstring path = dir / L"kvtserv.opt";
        ASSERT_TRUE(qtest::writeFile(path, kOriginal));
        FaultOff off;
        setFileFaultForTest([step](FileStep s) { return s == step; });
        EXPECT_EQ(WriteServerOptions(m.get(), path, true, unused), OFE_OPEN_FAILED) << int(step);
        EXPECT_EQ(qtest::readFile(path), kOriginal) << int(step);
        EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES) << int(step);
    }
}

TEST(ServerOptionsFile, ReadOnlyTargetOrBlockedTemporaryIsNotReplaced) {
    auto m = freshModel();
    std::wstring unused;
    qtest::TempDir dir(L"ofe");
    const std::wstring path = dir / L"kvtserv.opt";
    ASSERT_TRUE(qtest::writeFile(path, kOriginal));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteServerOptions(m.get(), path, true, unused), OFE_OPEN_FAILED);
    EXPECT_EQ(qtest::readFile(path), kOriginal);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(CreateDirectoryW((path + L".new").c_str(), nullptr));
    EXPECT_EQ(WriteServerOptions(m.get(), path, true, unused), OFE_OPEN_FAILED);
    EXPECT_EQ(qtest::readFile(path), kOriginal);
    RemoveDirectoryW((path + L".new").c_str());

    EXPECT_EQ(WriteServerOptions(nullptr, path, true, unused), OFE_NO_MODEL);
    EXPECT_EQ(qtest::readFile(path), kOriginal);
    EXPECT_EQ(WriteServerOptions(m.get(), dir / L"no such dir\\kvtserv.opt", true, unused), OFE_OPEN_FAILED);
}

// A disk that fills while the new file is written: the old file stays.
TEST(ServerOptionsFile, FullDiskLeavesTheOriginal) {
    const char* unixPath = getenv("QORA_SMALL_DISK");
    if (!unixPath || !*unixPath) GTEST_SKIP() << "no small disk mounted";
    std::wstring dir = L"\\\\?\\unix" + qtest::widen(unixPath) + L"\\";
    for (auto& ch : dir) if (ch == L'/') ch = L'\\';
    ULARGE_INTEGER free{};
    if (!GetDiskFreeSpaceExW(dir.c_str(), &free, nullptr, nullptr) || free.QuadPart > (64u << 20))
        GTEST_SKIP() << "small disk not usable";
    const std::wstring path = dir + L"kvtserv.opt", filler = dir + L"filler";
    ASSERT_TRUE(qtest::writeFile(path, kOriginal));
    GetDiskFreeSpaceExW(dir.c_str(), &free, nullptr, nullptr);
    qtest::writeFile(filler, std::string(std::size_t(free.QuadPart) - 8192, 'f'));
    auto m = freshModel();
    std::wstring unused;
    EXPECT_EQ(WriteServerOptions(m.get(), path, true, unused), OFE_OPEN_FAILED);
    EXPECT_EQ(qtest::readFile(path), kOriginal);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(filler.c_str());
    DeleteFileW(path.c_str());
}

TEST(InstalledProtocols, TcpipIsSeen) {
    InstalledProtocols p;
    ProbeInstalledProtocols(p);
    EXPECT_EQ(p.tcpip, 1u);
    EXPECT_FALSE(localHostName().empty());
}

// Failures of the options code reach the trace file under their module.
TEST(ServerOptionsFile, FailuresAreTraced) {
    qtest::TempDir dir(L"ofe");
    ASSERT_EQ(traceStart((dir / L"trace.out").c_str()), 0);
    auto m = freshModel();
    std::wstring message;
    EXPECT_EQ(ReadServerOptionsFile(m.get(), dir / L"none.opt", message), OFE_OPEN_FAILED);
    std::wstring unused;
    EXPECT_EQ(WriteServerOptions(m.get(), dir / L"no dir\\kvtserv.opt", true, unused), OFE_OPEN_FAILED);
    const std::string trace = qtest::readFile(dir / L"trace.out");
    EXPECT_NE(trace.find("ofeparse(0): DefaultErrorTrace - RC: 1801"), std::string::npos) << trace;
    EXPECT_NE(trace.find("ntofeuti(0): DefaultErrorTrace - RC: 1801"), std::string::npos) << trace;
}
