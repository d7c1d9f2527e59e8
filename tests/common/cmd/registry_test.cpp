// Registry key class and installation lookups against the real registry of
// the prefix, checked with Wine's reg.exe.
#include <gtest/gtest.h>
#include "common/cmd/ifcregis.h"
#include "common/cmd/trace.h"
#include "tests/common/cmd/regtest.h"

using regtest::PRODUCT;
using regtest::regAdd;
using regtest::regQuery;

namespace {

const wchar_t SCRATCH[] = L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Test\\Scratch";

class Registry : public regtest::InstalledProduct {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Test"); }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Test");
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Test");
    }
};

}  // namespace

TEST_F(Registry, OpenCreatesAMissingKeyAndWritesTypedValues) {
    CIfcRegistry reg;
    ASSERT_EQ(reg.open(HKEY_LOCAL_MACHINE, SCRATCH), ERROR_SUCCESS);
    EXPECT_EQ(reg.writeDword(L"Count", 42), ERROR_SUCCESS);
    EXPECT_EQ(reg.writeString(L"Name", L"Server One"), ERROR_SUCCESS);
    const BYTE bytes[] = {0xde, 0xad, 0x01};
    EXPECT_EQ(reg.writeBinary(L"Blob", bytes, sizeof bytes), ERROR_SUCCESS);
    const wchar_t multi[] = L"first\0second\0";
    EXPECT_EQ(reg.writeMultiString(L"List", multi, sizeof multi), ERROR_SUCCESS);
    reg.close();
    reg.close();  // closing twice does nothing

    std::string out = regQuery(L"HKLM\\" + std::wstring(SCRATCH));
    EXPECT_NE(out.find("Count    REG_DWORD    0x2a"), std::string::npos) << out;
    EXPECT_NE(out.find("Name    REG_SZ    Server One"), std::string::npos) << out;
    EXPECT_NE(out.find("Blob    REG_BINARY    DEAD01"), std::string::npos) << out;
    EXPECT_NE(out.find("List    REG_MULTI_SZ    first\\0second"), std::string::npos) << out;

    ASSERT_EQ(reg.open(HKEY_LOCAL_MACHINE, SCRATCH), ERROR_SUCCESS);
    DWORD count = 0;
    EXPECT_EQ(reg.readDword(L"Count", count), ERROR_SUCCESS);
    EXPECT_EQ(count, 42u);
    tstring name;
    EXPECT_EQ(reg.readString(L"Name", name), ERROR_SUCCESS);
    EXPECT_EQ(name, L"Server One");
    BYTE blob[8] = {};
    DWORD size = sizeof blob, type = 0;
    EXPECT_EQ(reg.readValue(L"Blob", blob, size, &type), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_BINARY);
    EXPECT_EQ(size, 3u);
    wchar_t list[32] = {};
    size = sizeof list;
    EXPECT_EQ(reg.readMultiString(L"List", list, size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof multi);
    size = sizeof list;
    EXPECT_EQ(reg.readMultiString(L"Name", list, size), ERROR_INVALID_DATATYPE);

    EXPECT_EQ(reg.deleteValue(L"Count"), ERROR_SUCCESS);
    EXPECT_EQ(reg.deleteValue(L"Count"), ERROR_FILE_NOT_FOUND);
    count = 7;
    EXPECT_EQ(reg.readDword(L"Count", count), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(count, 7u);  // unchanged on failure
    EXPECT_EQ(regQuery(L"HKLM\\" + std::wstring(SCRATCH), L"Count"), "");
}

TEST_F(Registry, EnumeratesSubkeysAndValuesUntilNoMoreItems) {
    CIfcRegistry reg;
    ASSERT_EQ(reg.open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Server"), ERROR_SUCCESS);
    tstring name;
    EXPECT_EQ(reg.enumKey(0, name), ERROR_SUCCESS);
    EXPECT_EQ(name, L"Server1");
    EXPECT_EQ(reg.enumKey(1, name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(name, L"");
    EXPECT_EQ(reg.enumValue(0, name), ERROR_SUCCESS);
    EXPECT_EQ(name, L"Path");
    EXPECT_EQ(reg.enumValue(1, name), ERROR_NO_MORE_ITEMS);
}

TEST_F(Registry, StringsLongerThan255CharactersFailWith234) {
    std::wstring key = L"HKLM\\" + std::wstring(SCRATCH);
    regAdd(key, L"Fits", L"REG_SZ", std::wstring(255, L'x'));
    regAdd(key, L"TooLong", L"REG_SZ", std::wstring(256, L'y'));
    CIfcRegistry reg;
    ASSERT_EQ(reg.open(HKEY_LOCAL_MACHINE, SCRATCH), ERROR_SUCCESS);
    tstring text = L"previous";
    EXPECT_EQ(reg.readString(L"Fits", text), ERROR_SUCCESS);
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(reg.readString(L"TooLong", text), ERROR_MORE_DATA);
    EXPECT_EQ(ERROR_MORE_DATA, 234);
    EXPECT_EQ(text, L"");
    wchar_t buf[520] = L"previous";
    EXPECT_EQ(reg.readString(L"TooLong", buf, 520), ERROR_MORE_DATA);
    EXPECT_STREQ(buf, L"");
    wchar_t small[8];
    EXPECT_EQ(reg.readString(L"Fits", small, 8), ERROR_SUCCESS);
    EXPECT_STREQ(small, L"xxxxxxx");  // cut to the caller's buffer, terminated
}

TEST_F(Registry, ConnectReachesTheLocalComputerOnly) {
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(computer, &n));
    CIfcRegistry reg;
    EXPECT_EQ(reg.connect(computer, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Utils"),
              ERROR_SUCCESS);
    tstring path;
    EXPECT_EQ(reg.readString(L"Path", path), ERROR_SUCCESS);
    EXPECT_EQ(path, L"C:\\Program Files\\Tevra\\QORA\\server utilities");
    EXPECT_EQ(reg.connect(nullptr, HKEY_LOCAL_MACHINE, SCRATCH), ERROR_SUCCESS);
    EXPECT_EQ(reg.connect(L"NOSUCHHOST", HKEY_LOCAL_MACHINE, SCRATCH), ERROR_BAD_NETPATH);
    EXPECT_FALSE(reg.isOpen());
}

TEST(RegistryTypeName, NamesTheNineTypesAndUnknown) {
    const wchar_t* names[] = {L"REG_NONE", L"REG_SZ", L"REG_EXPAND_SZ", L"REG_BINARY", L"REG_DWORD",
                              L"REG_DWORD_BIG_ENDIAN", L"REG_LINK", L"REG_MULTI_SZ", L"REG_RESOURCE_LIST"};
    for (DWORD t = 0; t < 9; ++t) EXPECT_STREQ(CIfcRegistry::typeName(t), names[t]);
    EXPECT_STREQ(CIfcRegistry::typeName(9), L"UNKNOWN");
    EXPECT_STREQ(CIfcRegistry::typeName(0xffffffff), L"UNKNOWN");
}

class Lookups : public regtest::InstalledProduct {
protected:
    void TearDown() override { reinstall(); }
    static std::wstring shortOf(const std::wstring& p) {
        wchar_t buf[MAX_PATH];
        DWORD n = GetShortPathNameW(p.c_str(), buf, MAX_PATH);
        return std::wstring(buf, n);
    }
};

TEST_F(Lookups, UtilsPathInShortFormJoinedWithTheFileName) {
    std::string stored = regQuery(PRODUCT + L"\\Utils", L"Path");
    ASSERT_NE(stored.find("C:\\Program Files\\Tevra\\QORA\\server utilities"), std::string::npos) << stored;
    std::wstring dir = shortOf(L"C:\\Program Files\\Tevra\\QORA\\server utilities");
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.find(L' '), std::wstring::npos);

    tstring out;
    EXPECT_TRUE(getUtilsPath(L"msgengu.dll", out));
    EXPECT_EQ(out, dir + L"\\msgengu.dll");
    EXPECT_TRUE(getUtilsPath(L"cmdpilot.exe   ", out));  // trailing blanks trimmed
    EXPECT_EQ(out, dir + L"\\cmdpilot.exe");
    EXPECT_TRUE(getUtilsPath(L"", out));  // no backslash added
    EXPECT_EQ(out, dir);
    EXPECT_TRUE(getServerInstancePath(L"Server1", L"kvtserv.opt", out));
    EXPECT_EQ(out, shortOf(L"C:\\Program Files\\Tevra\\QORA\\server\\Server1") + L"\\kvtserv.opt");
    EXPECT_EQ(GetFileAttributesW(out.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(Lookups, PathOfAMissingDirectoryGivesDotBackslashAndTrue) {
    regAdd(PRODUCT + L"\\Utils", L"Path", L"REG_SZ", L"C:\\No Such Place\\At All\\utils");
    tstring out;
    EXPECT_TRUE(getUtilsPath(L"tipengu.txt", out));
    EXPECT_EQ(out, L".\\tipengu.txt");
    EXPECT_TRUE(getUtilsPath(L"", out));
    EXPECT_EQ(out, L".\\");

    // Only the last part missing: the existing directories are shortened.
    regAdd(PRODUCT + L"\\Utils", L"Path", L"REG_SZ", L"C:\\Program Files\\Tevra\\QORA\\not yet made");
    EXPECT_TRUE(getUtilsPath(L"x.mac", out));
    EXPECT_EQ(out, shortOf(L"C:\\Program Files\\Tevra\\QORA\\") + L"not yet made\\x.mac");
}

TEST_F(Lookups, AMissingPathValueOrKeyFailsAndTheKeyIsCreatedEmpty) {
    reinstall({L"value:Books\\Path", L"key:Multimedia"});
    tstring out;
    EXPECT_FALSE(getBooksPath(L"readtevra.exe", out));
    ASSERT_EQ(regQuery(PRODUCT + L"\\Multimedia"), "");
    EXPECT_FALSE(getMultimediaPath(L"qorac30.avi", out));
    // reg.exe prints only a blank line for an existing empty key.
    std::string created = regQuery(PRODUCT + L"\\Multimedia");
    EXPECT_EQ(created, "\n");
}

TEST_F(Lookups, DirectoriesEndInABackslashAndFallBackAsDocumented) {
    tstring out;
    EXPECT_TRUE(getProductDir(out));
    EXPECT_EQ(out, L"C:\\Program Files\\Tevra\\QORA\\");
    EXPECT_TRUE(getServerDir(out));
    EXPECT_EQ(out, L"C:\\Program Files\\Tevra\\QORA\\server\\");
    EXPECT_TRUE(getAdminClientDir(out));
    EXPECT_EQ(out, L"C:\\Program Files\\Tevra\\QORA\\admin client\\");
    EXPECT_TRUE(getBackupClientDir(out));
    EXPECT_EQ(out, L"C:\\Program Files\\Tevra\\QORA\\backup client\\");

    reinstall({L"value:.\\Path", L"value:Server\\Path", L"value:AdminClient\\Path", L"key:BackupClient"});
    EXPECT_TRUE(getProductDir(out));
    EXPECT_EQ(out, currentDirectory());
    EXPECT_TRUE(getServerDir(out));
    EXPECT_EQ(out, currentDirectory());
    EXPECT_EQ(out.back(), L'\\');
    EXPECT_FALSE(getAdminClientDir(out));
    EXPECT_FALSE(getBackupClientDir(out));
}

TEST_F(Lookups, BrowserDirectoryLosesItsSemicolonAndGainsABackslash) {
    const std::wstring key = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
    CIfcRegistry reg;
    ASSERT_EQ(reg.open(HKEY_LOCAL_MACHINE, QORA_BROWSER_KEY), ERROR_SUCCESS);
    tstring saved;
    bool had = reg.readString(L"Path", saved) == ERROR_SUCCESS;
    regAdd(key, L"Path", L"REG_SZ", L"C:\\Program Files\\Internet Explorer;");
    tstring out;
    EXPECT_TRUE(getBrowserDir(out));
    EXPECT_EQ(out, L"C:\\Program Files\\Internet Explorer\\");
    if (had) reg.writeString(L"Path", saved.c_str());
    else reg.deleteValue(L"Path");
}

TEST_F(Lookups, ServerLogSettingsRoundTrip) {
    bool toFile = true;
    tstring file = L"x";
    EXPECT_TRUE(getServerLogSettings(L"Server1\\", toFile, file));
    EXPECT_FALSE(toFile);
    EXPECT_EQ(file, L"");  // missing LogFile reads as empty

    EXPECT_TRUE(setServerLogSettings(L"Server1\\", true, L"C:\\logs\\console.log"));
    std::string out = regQuery(PRODUCT + L"\\Server\\Server1\\Service");
    EXPECT_NE(out.find("LogOutputToFile    REG_DWORD    0x1"), std::string::npos) << out;
    EXPECT_NE(out.find("LogFile    REG_SZ    C:\\logs\\console.log"), std::string::npos) << out;

    EXPECT_TRUE(setServerLogSettings(L"Server1", false, L""));  // LogFile stays
    EXPECT_TRUE(getServerLogSettings(L"Server1", toFile, file));
    EXPECT_FALSE(toFile);
    EXPECT_EQ(file, L"C:\\logs\\console.log");
    CIfcRegistry reg;
    reg.open(HKEY_LOCAL_MACHINE, QORA_SERVER_KEY L"Server1\\Service");
    reg.deleteValue(L"LogFile");
}

TEST_F(Lookups, DriverExclusionRoundTrip) {
    const wchar_t* key = L"SYSTEM\\CurrentControlSet\\Services\\QoraScsi";
    CIfcRegistry reg;
    ASSERT_EQ(reg.open(HKEY_LOCAL_MACHINE, key), ERROR_SUCCESS);
    DWORD savedExclude = 0;
    tstring savedList;
    bool hadExclude = reg.readDword(L"ExcludeDevices", savedExclude) == ERROR_SUCCESS;
    bool hadList = reg.readString(L"ExcludeList", savedList) == ERROR_SUCCESS;

    EXPECT_TRUE(setDriverExclusion(L"0:0:5:0;1:0:3:0", true));
    std::string out = regQuery(L"HKLM\\" + std::wstring(key));
    EXPECT_NE(out.find("ExcludeDevices    REG_DWORD    0x1"), std::string::npos) << out;
    EXPECT_NE(out.find("ExcludeList    REG_SZ    0:0:5:0;1:0:3:0"), std::string::npos) << out;
    tstring list;
    bool exclude = false;
    EXPECT_TRUE(setDriverExclusion(L"", false));
    EXPECT_TRUE(getDriverExclusion(list, exclude));
    EXPECT_FALSE(exclude);
    EXPECT_EQ(list, L"0:0:5:0;1:0:3:0");

    if (hadExclude) reg.writeDword(L"ExcludeDevices", savedExclude);
    else reg.deleteValue(L"ExcludeDevices");
    if (hadList) reg.writeString(L"ExcludeList", savedList.c_str());
    else reg.deleteValue(L"ExcludeList");
}

// The only test here that starts the trace: a typed string read traces the
// value's code units and its summary under T_REGISTRY.
TEST_F(Lookups, StringReadsTraceUnderTheRegistryFlag) {
    qtest::TempDir dir(L"regtrace");
    std::wstring path = dir / L"trace.out";
    ASSERT_EQ(traceStart(path.c_str()), 0);
    ASSERT_EQ(traceSetFlag(T_REGISTRY, 1), 0);
    CIfcRegistry reg;
    ASSERT_EQ(reg.open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Components"), ERROR_SUCCESS);
    regAdd(PRODUCT + L"\\Components", L"Tiny", L"REG_SZ", L"AB");
    tstring text;
    reg.readString(L"Tiny", text);
    reg.readString(L"Nothing", text);
    traceSetFlag(T_REGISTRY, 0);
    reg.readString(L"Tiny", text);
    reg.deleteValue(L"Tiny");
    std::string t = qtest::readFile(path);
    std::erase(t, '\r');
    auto lineEnds = [&](const std::string& what) { return t.find("): " + what) != std::string::npos; };
    EXPECT_TRUE(lineEnds("looking for key: Tiny\n")) << t;
    EXPECT_TRUE(lineEnds("0> 65\n")) << t;
    EXPECT_TRUE(lineEnds("1> 66\n")) << t;
    EXPECT_TRUE(lineEnds("szKey: Tiny\ndwType: REG_SZ\nszBuf: AB\ndwSize: 6\n")) << t;
    EXPECT_TRUE(lineEnds("looking for key: Nothing\n")) << t;
    EXPECT_TRUE(lineEnds("Error. Return code: 2\n")) << t;
    size_t first = t.find("looking for key: Tiny");
    EXPECT_EQ(t.find("looking for key: Tiny", first + 1), std::string::npos) << "traced with the flag off";
}
