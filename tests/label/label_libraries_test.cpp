// kvtlabel with libraries that mount for it: the 8120 library manager and
// an ACSLS server, both served by the stand-in client libraries.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "tests/support/testsupport.h"

namespace {

std::string vol1Name(const std::string& image)
{
    // The first record's volume serial, decoded by hand from EBCDIC.
    std::string name;
    for (size_t i = 8; i < 14 && i < image.size(); i++) {
        unsigned char c = (unsigned char)image[i];
        if (c >= 0xF0 && c <= 0xF9) name += (char)('0' + c - 0xF0);
        else if (c >= 0xC1 && c <= 0xC9) name += (char)('A' + c - 0xC1);
        else if (c >= 0xD1 && c <= 0xD9) name += (char)('J' + c - 0xD1);
        else if (c >= 0xE2 && c <= 0xE9) name += (char)('S' + c - 0xE2);
        else if (c == 0x40) break;
        else name += '?';
    }
    return name;
}

std::string volName(int i)
{
    char b[8];
    _snprintf(b, sizeof b, "V%05d", i);
    return b;
}

size_t countOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

class LabelLibraries : public ::testing::Test {
protected:
    qtest::TempDir state{L"simlib"};
    void SetUp() override
    {
        SetEnvironmentVariableW(L"QORA_SIM_DIR", state.path().c_str());
        SetEnvironmentVariableW(L"KVTLABEL_WAIT_SCALE", L"0.001");
    }
    void devices(const std::string& text) { qtest::writeFile(state / L"devices.txt", text); }
    std::string description() { return qtest::readFile(state / L"devices.txt"); }
    // The value of `key` on the line of device `dev`.
    std::string attr(const std::string& dev, const std::string& key)
    {
        std::string text = description();
        size_t line = text.find(dev + " ");
        if (line == std::string::npos)
            return "";
        size_t end = text.find('\n', line);
        size_t at = text.find(" " + key + "=", line);
        if (at == std::string::npos || at > end)
            return "";
        at += key.size() + 2;
        return text.substr(at, text.find_first_of(" \n", at) - at);
    }
    std::string label(const std::string& vol) { return vol1Name(qtest::readFile(state / qtest::widen("cart_" + vol + ".tap"))); }
    qtest::RunResult kvtlabel(const std::wstring& args, const std::string& input = "",
                              const std::wstring& dir = qtest::binDir())
    {
        return qtest::run(L"\"" + dir + L"kvtlabel.exe\" " + args, input, std::chrono::seconds(120), dir);
    }
};

// Two 8140 drives and one 8150 drive beside the library manager LIBMGR1.
const char* kDrives8120 =
    "QSIMN1 kind=tape group=0 product=08140 devno=11 loaded=0\n"
    "QSIMN2 kind=tape group=0 product=08140 devno=12 loaded=0\n"
    "QSIMN5 kind=tape group=0 product=08150 devno=15 loaded=0\n";

TEST_F(LabelLibraries, SearchLabelsTheInsertCategoryAcrossPagesOn8140DrivesOnly)
{
    std::string lib = "LIBMGR1 kind=lmcp attr=0010";
    for (int i = 1; i <= 150; i++)
        lib += " vol_" + volName(i) + "=FF00";
    // Skipped: an inventory record to skip, media of another type, another category.
    lib += " vol_SKIP01=FF00 attr_SKIP01=0110 vol_OTHER1=FF00 attr_OTHER1=0000 vol_EJECT1=FF10";
    devices(std::string(kDrives8120) + lib + "\n");
    qtest::RunResult r = kvtlabel(L"-library=libmgr1 -drive=QSIMN1 -drive=QSIMN2 -drive=QSIMN5 -search");
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(r.output.find("ANR9739I Initializing library LIBMGR1."), std::string::npos) << r.output;
    for (int i = 1; i <= 150; i++) {
        EXPECT_EQ(label(volName(i)), volName(i));
        EXPECT_EQ(attr("LIBMGR1", "vol_" + volName(i)), "FF00") << "-search keeps the volumes";
    }
    EXPECT_EQ(countOf(r.output, "ANR9720I Volume "), 150u);
    EXPECT_EQ(countOf(r.output, "labeled in drive QSIMN5"), 0u) << "an 8150 drive gets no 8140 volume";
    for (const char* v : {"SKIP01", "OTHER1", "EJECT1"})
        EXPECT_EQ(qtest::readFile(state / qtest::widen(std::string("cart_") + v + ".tap")), "") << v;
    EXPECT_EQ(attr("LIBMGR1", "mounted_11"), "");
    EXPECT_EQ(attr("LIBMGR1", "mounted_12"), "");
}

TEST_F(LabelLibraries, SearchWithoutVolumesForTheDrivesEndsWith106)
{
    devices(std::string(kDrives8120) + "LIBMGR1 kind=lmcp vol_OTHER1=FF00 attr_OTHER1=0000\n");
    qtest::RunResult r = kvtlabel(L"-library=LIBMGR1 -drive=QSIMN1 -search");
    EXPECT_EQ(r.exitCode, 106u) << r.output;
    EXPECT_NE(r.output.find("ANR9756E"), std::string::npos) << r.output;
}

TEST_F(LabelLibraries, TypedVolumesAreCheckedMountedAndEjectedByCategory)
{
    struct {
        const char* name;
        const char* extra;     // library attributes
        const char* args;
        const char* input;
        DWORD rc;
        const char* text;      // expected in the output
        const char* labeled;   // volume expected labeled, or ""
        const char* category;  // its category afterwards
    } cases[] = {
        {"wrong category refused, prompt again", " vol_VOLX=FF10", "", "volx\nvola\n\n", 0,
         "ANR9740E Volume VOLX is not in the insert category.", "VOLA", "FF10"},
        {"unknown volume refused", "", "", "NOPE\nVOLA\n\n", 0, "ANR9744E Volume NOPE is not known to library LIBMGR1.",
         "VOLA", "FF10"},
        {"bad name refused", "", "", "VO-LA\nVOLA\n\n", 0, "ANR9721E Volume name VO-LA is not valid", "VOLA", "FF10"},
        {"-keep leaves a labeled volume inserted", "", "-keep", "VOLA\n\n", 0, "ANR9720I Volume VOLA labeled",
         "VOLA", "FF00"},
        {"operator wait then mounted", " fault_mount=2:9:105", "", "VOLA\n\n", 0,
         "ANR9730W Library LIBMGR1 needs operator attention; waiting.", "VOLA", "FF10"},
        {"mount failure without operator action", " fault_mount=1:9:7", "", "VOLA\nVOLA\n\n", 0,
         "ANR9736E A cartridge could not be moved in library LIBMGR1.", "VOLA", "FF10"},
        {"mount failure without sense data", " fault_mount=1:9", "-keep", "VOLA\n\n", 0,
         "ANR9736E A cartridge could not be moved in library LIBMGR1.", "", "FF00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        devices(std::string(kDrives8120) + "LIBMGR1 kind=lmcp attr=0010 vol_VOLA=FF00" + c.extra + "\n");
        DeleteFileW((state / L"cart_VOLA.tap").c_str());
        qtest::RunResult r = kvtlabel(L"-library=LIBMGR1 -drive=QSIMN1 " + qtest::widen(c.args), c.input);
        EXPECT_EQ(r.exitCode, c.rc) << r.output;
        EXPECT_NE(r.output.find(c.text), std::string::npos) << r.output;
        EXPECT_EQ(label("VOLA"), c.labeled) << r.output;
        EXPECT_EQ(attr("LIBMGR1", "vol_VOLA"), c.category) << description();
        EXPECT_EQ(attr("LIBMGR1", "mounted_11"), "") << "the drive is demounted";
    }
}

TEST_F(LabelLibraries, WithoutTheLibraryManagerClientTheLibraryIsNotIdentified)
{
    // kvtlabel beside everything it needs except libtevra.dll.
    qtest::TempDir dir{L"nolmcp"};
    for (const wchar_t* f : {L"kvtlabel.exe", L"libacs.dll", L"QORASIM.DLL", L"KVTAMENG.TXT"})
        ASSERT_TRUE(CopyFileW((qtest::binDir() + f).c_str(), (dir / f).c_str(), FALSE)) << qtest::narrow(f);
    devices(std::string(kDrives8120) + "LIBMGR1 kind=lmcp attr=0010 vol_VOLA=FF00\n");
    qtest::RunResult r = kvtlabel(L"-trace=" + state.path() + L"t.txt -library=LIBMGR1 -drive=QSIMN1", "VOLA\n\n",
                                  dir.path());
    EXPECT_EQ(r.exitCode, 500u) << r.output;
    EXPECT_NE(r.output.find("ANR9716E Library LIBMGR1 was not identified"), std::string::npos) << r.output;
    EXPECT_NE(qtest::readFile(state / L"t.txt").find("8120 DLL not available for LMCP LIBMGR1; rc=603."),
              std::string::npos);
    EXPECT_EQ(label("VOLA"), "");
}

// An ACSLS server with ACSs 0 and 1; drives 0,0,2,1 and 0,0,2,2 in ACS 0,
// 1,0,0,0 in ACS 1.
std::string acsls(const std::string& rest)
{
    return "QSIMT1 kind=tape group=4 loaded=0\nQSIMT2 kind=tape group=4 loaded=0\n"
           "QSIMT3 kind=tape group=4 loaded=0\n"
           "ACSLS kind=acsls acs=0,1 drive_0.0.2.1=QSIMT1 drive_0.0.2.2=QSIMT2 drive_1.0.0.0=QSIMT3" +
           rest + "\n";
}

TEST_F(LabelLibraries, AcslsSearchLabelsEveryVolumeOfTheAcsAcrossBatches)
{
    std::string vols;
    for (int i = 1; i <= 100; i++)
        vols += " vol_" + volName(i) + "=0.0.1.2." + std::to_string(i);
    vols += " vol_ACS1V1=1.0.1.0.0";
    devices(acsls(vols + " mounted_0.0.2.2=V00007"));
    qtest::RunResult r = kvtlabel(L"-library=acsls,0 -drive=QSIMT1,0,0,2,1 -drive=QSIMT2,0,0,2,2 -search -trace=" +
                                  state.path() + L"t.txt");
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    for (int i = 1; i <= 100; i++)
        EXPECT_EQ(label(volName(i)), volName(i));
    EXPECT_EQ(label("ACS1V1"), "") << "a volume of another ACS is not offered";
    EXPECT_EQ(countOf(r.output, "ANR9720I Volume "), 100u);
    EXPECT_EQ(countOf(r.output, "ANR9760I"), 0u) << "-search keeps the volumes";
    std::string trace = qtest::readFile(state / L"t.txt");
    EXPECT_EQ(countOf(trace, "to inventory list."), 3u) << "batches of 42, 42 and 17";
    EXPECT_NE(trace.find("Empty volume V00007 from drive QSIMT2."), std::string::npos);
    EXPECT_EQ(attr("ACSLS", "mounted_0.0.2.1"), "");
    EXPECT_EQ(attr("ACSLS", "mounted_0.0.2.2"), "");
}

TEST_F(LabelLibraries, AcslsInitializationFailures)
{
    struct { const char* name; const char* extra; const wchar_t* args; DWORD rc; const char* text; } cases[] = {
        {"drive in another ACS", "", L"-library=ACSLS,0 -drive=QSIMT3,1,0,0,0", 600,
         "ANR9757E Drive id 1.0.0.0 of drive QSIMT3 is not valid in this library."},
        {"unknown drive", "", L"-library=ACSLS,0 -drive=QSIMT1,0,0,3,1", 600, "ANR9739I"},
        {"offline drive", " drivestate_0.0.2.1=offline", L"-library=ACSLS,0 -drive=QSIMT1,0,0,2,1", 600, "ANR9739I"},
        {"unknown ACS", "", L"-library=ACSLS,5 -drive=QSIMT1,5,0,2,1", 500, "ANR9739I"},
        {"ACS out of range", "", L"-library=ACSLS,127 -drive=QSIMT1,0,0,2,1", 500, "ANR9716E"},
        {"no server", "-", L"-library=ACSLS,0 -drive=QSIMT1,0,0,2,1", 500,
         "ANR9759E The library reported: STATUS_IPC_FAILURE"},
        {"failing response status ends the wait", " fault_response=1:60", L"-library=ACSLS,0 -drive=QSIMT1,0,0,2,1",
         500, "ANR9759E The library reported: STATUS_LIBRARY_FAILURE"},
        {"lost final response", " fault_lostfinal=1:0", L"-library=ACSLS,0 -drive=QSIMT1,0,0,2,1", 500,
         "ANR9759E The library reported: STATUS_NO_PENDING_RESPONSE"},
        {"search failure", " fault_query_volume=1:60", L"-library=ACSLS,0 -drive=QSIMT1,0,0,2,1 -search", 500,
         "ANR9739I"},
        {"search finds nothing", "", L"-library=ACSLS,0 -drive=QSIMT1,0,0,2,1 -search", 106, "ANR9756E"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        devices(std::string(c.extra) == "-" ? std::string("QSIMT1 kind=tape group=4 loaded=0\n") : acsls(c.extra));
        qtest::RunResult r = kvtlabel(c.args, "VOLA\n\n");
        EXPECT_EQ(r.exitCode, c.rc) << r.output;
        EXPECT_NE(r.output.find(c.text), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("ANR9720I"), std::string::npos) << r.output;
    }
}

TEST_F(LabelLibraries, AcslsMountFailureAsksAgainAndVolumesAreEjectedUnlessKept)
{
    struct { const char* name; const wchar_t* flags; bool ejected; } cases[] = {
        {"ejected through a CAP", L"", true},
        {"kept with -keep", L" -keep", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        devices(acsls(" vol_VOLA=0.0.1.2.3 vol_VOLB=0.0.1.2.4 fault_mount=1:60"));
        qtest::RunResult r = kvtlabel(L"-library=ACSLS,0 -drive=QSIMT1,0,0,2,1" + std::wstring(c.flags),
                                      "vola\nvolb\n\n");
        EXPECT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_NE(r.output.find("ANR9758E Volume VOLA could not be mounted."), std::string::npos) << r.output;
        EXPECT_EQ(countOf(r.output, "Enter the name of the volume to mount"), 3u) << r.output;
        EXPECT_EQ(label("VOLA"), "");
        EXPECT_EQ(label("VOLB"), "VOLB");
        EXPECT_EQ(attr("ACSLS", "mounted_0.0.2.1"), "") << "dismounted";
        EXPECT_EQ(r.output.find("ANR9760I Ejecting volume VOLB") != std::string::npos, c.ejected) << r.output;
        EXPECT_EQ(attr("ACSLS", "ejected_VOLB"), c.ejected ? "0" : "") << description();
        EXPECT_EQ(attr("ACSLS", "vol_VOLB").empty(), c.ejected) << description();
        EXPECT_EQ(attr("ACSLS", "vol_VOLA"), "0.0.1.2.3");
    }
}

}  // namespace
