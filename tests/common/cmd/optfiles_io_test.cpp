// Client options and setup files on disk: the .old backup, the base options
// file, and what a failed save leaves behind.
#include <gtest/gtest.h>
#include "common/cmd/optfiles_io.h"
#include "tests/support/testsupport.h"

using namespace ofe;

namespace {

ClientConfig tcpConfig() {
    ClientConfig c;
    setField(c.szTcpServerAddress, L"srv.example");
    setField(c.szTcpPort, L"1500");
    setField(c.szNodeName, L"NODE1");
    return c;
}

struct FaultOff {
    ~FaultOff() { setFileFaultForTest({}); }
};

bool missing(const std::wstring& path) { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; }

const std::string kOriginal = "commmethod TCPIP\r\ntcpport 1600\r\n";

}  // namespace

TEST(SaveClientOptionsFile, KeepsTheOldFileAsItsBackup) {
    qtest::TempDir dir(L"opt");
    ASSERT_TRUE(CreateDirectoryW((dir / L"my.dir").c_str(), nullptr));
    for (const wchar_t* name : {L"kvt.opt", L"my.dir\\kvtopt"}) {
        const std::wstring path = dir / name;
        ASSERT_TRUE(qtest::writeFile(path, kOriginal));
        ASSERT_EQ(SaveClientOptionsFile(path.c_str(), tcpConfig()), 0);
        const std::wstring backup = std::wstring(ClientOptionsBackupName(path));
        EXPECT_EQ(qtest::readFile(backup), kOriginal) << qtest::narrow(backup);
        const std::string written = qtest::readFile(path);
        EXPECT_NE(written.find("\r\nnodename NODE1\r\n\r\ncommmethod       TCPIP\r\ntcpport          1500\r\n"),
                  std::string::npos);
        EXPECT_NE(written.find("* Generated on "), std::string::npos);
    }
    EXPECT_TRUE(missing(dir / L"my.old"));
    EXPECT_EQ(SaveClientOptionsFile((dir / L"fresh.opt").c_str(), tcpConfig()), 0);
    EXPECT_TRUE(missing(dir / L"fresh.old"));
}

TEST(SaveClientOptionsFile, AttachesTheBaseFileOrWarns) {
    qtest::TempDir dir(L"opt");
    ASSERT_TRUE(qtest::writeFile(dir / L"base.opt", "passwordaccess generate\nschedmode prompted\r\nlast\n"));
    ClientConfig c = tcpConfig();
    c.iAttachBaseOptions = 1;
    setField(c.szBaseOptionsFile, (dir / L"base.opt").c_str());
    ASSERT_EQ(SaveClientOptionsFile((dir / L"kvt.opt").c_str(), c), 0);
    const std::string written = qtest::readFile(dir / L"kvt.opt");
    EXPECT_NE(written.find("* base options file\r\n*===============================================================================\r\n"
                           "\r\npasswordaccess generate\r\nschedmode prompted\r\nlast\r\n"),
              std::string::npos);

    setField(c.szBaseOptionsFile, (dir / L"gone.opt").c_str());
    EXPECT_EQ(SaveClientOptionsFile((dir / L"kvt.opt").c_str(), c), OPT_BASE_MISSING);
    EXPECT_NE(qtest::readFile(dir / L"kvt.opt").find("* Warning - the base options file ("), std::string::npos);

    FaultOff off;
    setFileFaultForTest([](FileStep s) { return s == FileStep::Read; });
    setField(c.szBaseOptionsFile, (dir / L"base.opt").c_str());
    const std::string before = qtest::readFile(dir / L"kvt.opt");
    EXPECT_EQ(SaveClientOptionsFile((dir / L"kvt.opt").c_str(), c), OPT_READ_ERROR);
    EXPECT_EQ(qtest::readFile(dir / L"kvt.opt"), before);
}

// A save that cannot finish, or cannot keep the backup, leaves the
// administrator's file as it was.
TEST(SaveClientOptionsFile, FailedSaveLeavesTheOriginal) {
    for (FileStep step : {FileStep::Create, FileStep::Write, FileStep::Flush, FileStep::Close, FileStep::Backup,
                          FileStep::Replace}) {
        qtest::TempDir dir(L"opt");
        const std::wstring path = dir / L"kvt.opt";
        ASSERT_TRUE(qtest::writeFile(path, kOriginal));
        FaultOff off;
        setFileFaultForTest([step](FileStep s) { return s == step; });
        EXPECT_EQ(SaveClientOptionsFile(path.c_str(), tcpConfig()), OPT_CANNOT_CREATE) << int(step);
        EXPECT_EQ(qtest::readFile(path), kOriginal) << int(step);
        EXPECT_TRUE(missing(path + L".new")) << int(step);
    }
}

TEST(SaveClientOptionsFile, RealObstaclesGive102) {
    qtest::TempDir dir(L"opt");
    const std::wstring path = dir / L"kvt.opt";
    ASSERT_TRUE(qtest::writeFile(path, kOriginal));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SaveClientOptionsFile(path.c_str(), tcpConfig()), OPT_CANNOT_CREATE);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(CreateDirectoryW((dir / L"kvt.old").c_str(), nullptr));  // no backup can be made
    EXPECT_EQ(SaveClientOptionsFile(path.c_str(), tcpConfig()), OPT_CANNOT_CREATE);
    EXPECT_EQ(qtest::readFile(path), kOriginal);

    ASSERT_TRUE(qtest::writeFile(dir / L"client.old", kOriginal));  // the file is its own backup name
    EXPECT_EQ(SaveClientOptionsFile((dir / L"client.old").c_str(), tcpConfig()), OPT_CANNOT_CREATE);
    EXPECT_EQ(SaveClientOptionsFile((dir / L"no dir\\kvt.opt").c_str(), tcpConfig()), OPT_CANNOT_CREATE);
}

TEST(SaveClientOptionsFile, IncompleteSettingsWriteNothing) {
    qtest::TempDir dir(L"opt");
    const std::wstring path = dir / L"kvt.opt";
    ASSERT_TRUE(qtest::writeFile(path, kOriginal));
    ClientConfig c = tcpConfig();
    c.szTcpPort[0] = 0;
    EXPECT_EQ(SaveClientOptionsFile(path.c_str(), c), OPT_INVALID_ARGUMENT);
    EXPECT_EQ(qtest::readFile(path), kOriginal);
    EXPECT_TRUE(missing(dir / L"kvt.old"));
}

TEST(SaveSetupFile, WritesOrFailsWithoutTouchingTheOld) {
    qtest::TempDir dir(L"opt");
    const std::wstring path = dir / L"site.cfg";
    ASSERT_EQ(SaveSetupFile(path.c_str(), tcpConfig()), 0);
    const std::string written = qtest::readFile(path);
    EXPECT_NE(written.find("\r\nif_options_exist=update\r\ncommmethod=TCPIP\r\ntcpport=1500\r\n"), std::string::npos);
    FaultOff off;
    setFileFaultForTest([](FileStep s) { return s == FileStep::Write; });
    EXPECT_EQ(SaveSetupFile(path.c_str(), tcpConfig()), OPT_CANNOT_CREATE);
    EXPECT_EQ(qtest::readFile(path), written);
}
