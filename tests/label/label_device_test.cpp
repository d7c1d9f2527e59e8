// kvtlabel's device layer and device types against the simulated drives,
// and its console output through the message repository.
#include <gtest/gtest.h>
#include <windows.h>
#include <io.h>
#include <fcntl.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include "tests/support/testsupport.h"
#include "label/dts.h"
#include "label/psdevio.h"
#include "label/console.h"
#include "label/utils.h"
#include "label/psbase.h"
#include "label/labeler.h"

namespace {

std::string n(const std::wstring& s) { return qtest::narrow(s); }

// Runs `fn` with standard output and error going to files; returns both.
struct Captured {
    std::string out, err;
};
template <class F>
Captured capture(F fn, const std::string& input = "")
{
    qtest::TempDir t(L"cap");
    std::string o = n(t / L"out.txt"), e = n(t / L"err.txt"), i = n(t / L"in.txt");
    qtest::writeFile(t / L"in.txt", input);
    fflush(stdout);
    fflush(stderr);
    int so = _dup(1), se = _dup(2), si = _dup(0);
    int fo = _open(o.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    int fe = _open(e.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    int fi = _open(i.c_str(), _O_RDONLY | _O_BINARY);
    _dup2(fo, 1);
    _dup2(fe, 2);
    _dup2(fi, 0);
    clearerr(stdin);
    fn();
    fflush(stdout);
    fflush(stderr);
    _dup2(so, 1);
    _dup2(se, 2);
    _dup2(si, 0);
    for (int fd : {fo, fe, fi, so, se, si})
        _close(fd);
    clearerr(stdin);
    return {qtest::readFile(t / L"out.txt"), qtest::readFile(t / L"err.txt")};
}

class LabelDevices : public ::testing::Test {
protected:
    qtest::TempDir state{L"sim"};
    baseDescS base{};
    driveDescT drive{};

    void SetUp() override
    {
        SetEnvironmentVariableA("QORA_SIM_DIR", n(state.path()).c_str());
        thrSetWaitScale(0.001);
        outInitialize();
        ASSERT_EQ(outSetLanguage("AMENG"), 0);
        drive.baseP = &base;
    }
    void devices(const std::string& lines)
    {
        ASSERT_TRUE(qtest::writeFile(state / L"devices.txt", lines + "\n"));
    }
    void useDrive(const char* name, int type)
    {
        strcpy(drive.devName, name);
        drive.devType = type;
    }
    std::string image(const std::wstring& file) { return qtest::readFile(state / file); }
    std::string attr(const std::string& dev, const std::string& key)
    {
        std::string text = "\n" + qtest::readFile(state / L"devices.txt");
        size_t line = text.find("\n" + dev + " ");
        size_t at = text.find(" " + key + "=", line);
        size_t eol = text.find('\n', line + 1);
        if (line == std::string::npos || at == std::string::npos || at > eol)
            return "";
        at += key.size() + 2;
        return text.substr(at, text.find_first_of(" \n", at) - at);
    }
};

std::string le32(unsigned v) { return std::string({(char)v, (char)(v >> 8), (char)(v >> 16), (char)(v >> 24)}); }

std::string labeledTape(const char* vol)
{
    unsigned char r[80];
    labBuildVol1(vol, r);
    return le32(80) + std::string((char*)r, 80) + le32(80) + le32(0) + le32(0);
}

TEST_F(LabelDevices, ManualTapeIsLabeledOnceAndRelabeledOnlyWithOverwrite)
{
    devices("QSIMTAPE0 kind=tape group=4 wformats=0xC0000000 media=356");
    int type = -1;
    ASSERT_EQ(dtsFindDevType("//./QSIMTAPE0", &type), 0);
    EXPECT_EQ(type, 7);
    useDrive("//./QSIMTAPE0", type);

    Captured c = capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "VOL001", 0), 0); });
    std::string first = image(L"QSIMTAPE0.tap");
    EXPECT_EQ(first, labeledTape("VOL001"));

    c = capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "VOL002", 0), 601); });
    EXPECT_NE(c.out.find("ANR9725E Drive //./QSIMTAPE0 holds labeled volume VOL001"), std::string::npos) << c.out;
    EXPECT_EQ(image(L"QSIMTAPE0.tap"), first);

    base.overwriteFlag = 1;
    capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "VOL002", 0), 0); });
    EXPECT_EQ(image(L"QSIMTAPE0.tap"), labeledTape("VOL002"));
}

TEST_F(LabelDevices, TapeWhoseFirstBlockIsNoLabelIsWrittenOver)
{
    devices("QSIMT kind=tape group=2");
    struct { const char* what; std::string data; } cases[] = {
        {"long block", le32(100) + std::string(100, 'x') + le32(100)},
        {"80 bytes, no VOL1", le32(80) + std::string(80, '\x40') + le32(80)},
        {"tape mark first", le32(0)},
        {"empty", ""},
    };
    useDrive("QSIMT", 4);
    for (const auto& c : cases) {
        qtest::writeFile(state / L"QSIMT.tap", c.data + le32(0));
        capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "ABCD", 0), 0) << c.what; });
        EXPECT_EQ(image(L"QSIMT.tap"), labeledTape("ABCD")) << c.what;
    }
}

TEST_F(LabelDevices, IdentificationMatrix)
{
    devices("API kind=tape tapeapi=1 group=4\n"
            "FEW kind=tape tapeapi=1 featureshigh=0x80000001 group=2\n"
            "G1 kind=tape group=1\nG2 kind=tape group=2\nG3 kind=tape group=3\n"
            "G4 kind=tape group=4\nG11 kind=tape group=11\nG14 kind=tape group=14\n"
            "N40 kind=tape group=0 product=08140\nN55 kind=tape group=0 product=08155XYZ\n"
            "O8 kind=optical group=8\nO9 kind=optical group=9\nO10 kind=optical group=10\n"
            "G99 kind=tape group=99\nO7 kind=optical group=7");
    struct { const char* dev; int rc, type; } cases[] = {
        {"QSIMAPI", 0, 9}, {"QSIMFEW", 0, 4}, {"QSIMG1", 0, 0}, {"QSIMG2", 0, 4}, {"QSIMG3", 0, 5},
        {"QSIMG4", 0, 7}, {"QSIMG11", 0, 10}, {"QSIMG14", 0, 13}, {"QSIMN40", 0, 6},
        {"QSIMN55", 0, 12}, {"QSIMO8", 0, 2}, {"QSIMO9", 0, 2}, {"QSIMO10", 0, 2},
        {"QSIMG99", 600, -1}, {"QSIMO7", 600, -1}, {"QSIMNONE", 603, -1}, {"\\\\.\\Tape7", 603, -1},
    };
    devices("QSIMAPI kind=tape tapeapi=1 group=4\n"
            "QSIMFEW kind=tape tapeapi=1 featureshigh=0x80000001 group=2\n"
            "QSIMG1 kind=tape group=1\nQSIMG2 kind=tape group=2\nQSIMG3 kind=tape group=3\n"
            "QSIMG4 kind=tape group=4\nQSIMG11 kind=tape group=11\nQSIMG14 kind=tape group=14\n"
            "QSIMN40 kind=tape group=0 product=08140\nQSIMN55 kind=tape group=0 product=08155XYZ\n"
            "QSIMO8 kind=optical group=8\nQSIMO9 kind=optical group=9\nQSIMO10 kind=optical group=10\n"
            "QSIMG99 kind=tape group=99\nQSIMO7 kind=optical group=7");
    for (auto c : cases) {
        int type = -1;
        EXPECT_EQ(dtsFindDevType(c.dev, &type), c.rc) << c.dev;
        EXPECT_EQ(type, c.type) << c.dev;
    }
    // Optical subtype 8 (group 9) is one-sided; tapes take 6 characters.
    int twoSided = -1, maxLen = -1;
    useDrive("QSIMO9", 2);
    dtsGetParameters(&drive, &twoSided, &maxLen);
    EXPECT_EQ(twoSided, 0);
    EXPECT_EQ(maxLen, 32);
    useDrive("QSIMO8", 2);
    dtsGetParameters(&drive, &twoSided, &maxLen);
    EXPECT_EQ(twoSided, 1);
    useDrive("QSIMG4", 7);
    dtsGetParameters(&drive, &twoSided, &maxLen);
    EXPECT_EQ(twoSided, 0);
    EXPECT_EQ(maxLen, 6);
}

TEST_F(LabelDevices, FormatSentWithSetModeMatchesTheMedium)
{
    struct { const char* attrs; int type, rc; const char* format; const char* msg; } cases[] = {
        {"group=1 wformats=0x500 media=300", 0, 0, "0x400", nullptr},
        {"group=1 wformats=0x1000 media=367", 0, 0, "0x1000", nullptr},
        {"group=1 wformats=0x100 media=367", 0, 104, "", "ANR9751E"},
        {"group=4 wformats=0x80000000 media=356", 7, 0, "0x40000000", nullptr},
        {"group=4 wformats=0x3 media=356", 7, 0, "0x1000000", nullptr},
        {"group=3 wformats=0x20000 media=328", 5, 0, "0x20000", nullptr},
        {"group=3 wformats=0x20000 media=322", 5, 255, "", "ANR9751E"},
        {"group=14 wformats=0x02000000 media=373", 13, 0, "0x2000000", nullptr},
        {"group=2", 4, 0, "0x1", nullptr},
        {"group=11", 10, 0, "0x0", nullptr},
        {"group=0 product=08150", 12, 0, "0x0", nullptr},
    };
    for (auto c : cases) {
        devices(std::string("QSIMF kind=tape ") + c.attrs);
        DeleteFileW((state / L"QSIMF.tap").c_str());
        useDrive("QSIMF", c.type);
        Captured out = capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "F1", 0), c.rc) << c.attrs; });
        EXPECT_EQ(attr("QSIMF", "lastformat"), c.format) << c.attrs;
        if (c.msg) {
            EXPECT_NE(out.out.find(c.msg), std::string::npos) << c.attrs << out.out;
        }
    }
}

TEST_F(LabelDevices, FailuresOfTheDrive)
{
    struct { const char* attrs; int type; int rc; const char* msg; } cases[] = {
        {"group=4 notready=3", 7, 0, nullptr},
        {"group=4 notready=1000", 7, 104, "ANR9726E Volume V1 in drive QSIMX"},
        {"group=2 notready=1000", 4, 600, "ANR9726E"},
        {"group=2 protect=1", 4, 600, "ANR9726E"},
        // The first SET_MODE fails while reading the old label, the second while writing.
        {"group=2 fail_52=2", 4, 600, "ANR9726E"},
        {"tapeapi=1 protect=1", 9, 600, "ANR9726E"},
        // Reading the old label takes two tries, writing two more.
        {"tapeapi=1 setparamfail=4", 9, 602, "ANR9727E Volume V1 in drive QSIMX"},
        {"tapeapi=1 setparamfail=1", 9, 0, nullptr},
        {"tapeapi=1 longmarks=1", 9, 0, nullptr},
    };
    for (auto c : cases) {
        devices(std::string("QSIMX kind=tape ") + c.attrs);
        DeleteFileW((state / L"QSIMX.tap").c_str());
        useDrive("QSIMX", c.type);
        Captured out = capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "V1", 0), c.rc) << c.attrs; });
        if (c.msg) {
            EXPECT_NE(out.out.find(c.msg), std::string::npos) << c.attrs << "\n" << out.out;
            // 120 seconds of readiness tests, 5 seconds apart: 24 tests.
            if (strstr(c.attrs, "notready=1000") && c.type == 7) {
                EXPECT_EQ(attr("QSIMX", "notready"), "976");
            }
        } else {
            EXPECT_EQ(image(L"QSIMX.tap"), labeledTape("V1")) << c.attrs;
        }
    }
}

TEST_F(LabelDevices, EjectUnloadsTheDrive)
{
    for (int type : {7, 9}) {
        devices("QSIMT kind=tape group=4 tapeapi=1");
        useDrive("QSIMT", type);
        EXPECT_EQ(dtsEject(&drive), 0);
        EXPECT_EQ(attr("QSIMT", "loaded"), "0");
    }
    devices("QSIMO kind=optical");
    useDrive("QSIMO", 2);
    EXPECT_EQ(dtsEject(&drive), 0);
    EXPECT_EQ(attr("QSIMO", "loaded"), "0");
}

TEST_F(LabelDevices, OpticalSidesCarryTheirLabel)
{
    devices("QSIMOPT kind=optical group=8 sectors=16");
    useDrive("QSIMOPT", 2);
    capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "OPTVOL", 0), 0); });
    qtest::writeFile(state / L"devices.txt", "QSIMOPT kind=optical group=8 sectors=16 side=B\n");
    capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "OPTVOL", 1), 0); });
    for (auto side : {std::make_pair(L"QSIMOPT.A.img", 0), std::make_pair(L"QSIMOPT.B.img", 1)}) {
        std::string img = image(side.first);
        ASSERT_EQ(img.size(), 16u * 2048);
        unsigned char expect[OPT_SECTOR_SIZE];
        labBuildOpticalSector("OPTVOL", side.second, expect);
        EXPECT_EQ(img.substr(0, 2048), std::string((char*)expect, 2048));
        EXPECT_EQ(img.substr(80, 5), std::string({(char)side.second, 0, 0, 0x28, 0}));
    }
}

TEST_F(LabelDevices, OpticalRefusals)
{
    struct { const char* attrs; int overwrite; int rc; const char* msg; } cases[] = {
        {"worm=1", 0, 601, "ANR9725E"},
        {"worm=1", 1, 600, "ANR9726E"},
        {"worm=0", 0, 601, "ANR9725E"},
        {"worm=0", 1, 0, nullptr},
        // A medium that cannot tell what it is counts as write-once.
        {"worm=0 mediumfail=1", 1, 600, "ANR9726E"},
        {"worm=0 protect=1", 1, 600, "ANR9726E"},
    };
    for (auto c : cases) {
        devices(std::string("QSIMW kind=optical sectors=4 ") + c.attrs);
        std::string old(4 * 2048, '\0');
        unsigned char s[OPT_SECTOR_SIZE];
        labBuildOpticalSector("OLD", 0, s);
        old.replace(0, 2048, (char*)s, 2048);
        qtest::writeFile(state / L"QSIMW.A.img", old);
        useDrive("QSIMW", 2);
        base.overwriteFlag = c.overwrite;
        Captured out = capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "NEW", 0), c.rc) << c.attrs; });
        if (c.msg) {
            EXPECT_NE(out.out.find(c.msg), std::string::npos) << c.attrs << out.out;
            EXPECT_EQ(image(L"QSIMW.A.img"), old) << c.attrs;
        } else {
            EXPECT_EQ(image(L"QSIMW.A.img").substr(16, 4), std::string("NEW\0", 4));
        }
    }
}

TEST_F(LabelDevices, FormatOptionFormatsTheMedium)
{
    devices("QSIMU kind=optical sectors=4 formatted=0");
    useDrive("QSIMU", 2);
    base.formatFlag = 1;
    capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "FMT", 0), 0); });
    EXPECT_EQ(attr("QSIMU", "formatted"), "1");
    EXPECT_EQ(image(L"QSIMU.A.img").substr(0, 8), "$QORA$00");
}

TEST_F(LabelDevices, ChangerInventoryMovesPortAndFaultPlan)
{
    devices("QSIMLIB kind=changer drives=2 slots=4 ports=1 product=SIMLIB robot_can_invert=1 "
            "drive1=QSIMD1 elem1000=BAR001 elem1001=AB+CD elem1003=_x fault_move=2:203\n"
            "QSIMD1 kind=tape group=4 loaded=0");
    int lib;
    ASSERT_EQ(ioOpenDevice("QSIMLIB", 1, 0, &lib), 0);
    qora_lb_element_count_t ec = {};
    ASSERT_EQ(ioAutoIoctl(lib, QORA_LBIOC_ELEMENT_COUNT, &ec, sizeof ec), 0);
    EXPECT_EQ(ec.drives, 2);
    EXPECT_EQ(ec.slots, 4);
    EXPECT_EQ(ec.eeports, 1);
    EXPECT_EQ(ec.transp_elems, 1);
    qora_lb_library_info_t li = {};
    ASSERT_EQ(ioAutoIoctl(lib, QORA_LBIOC_LIBRARY_INFO, &li, sizeof li), 0);
    EXPECT_EQ(li.robot_can_invert, 1);

    qora_lb_drive_state_t drv[2];
    qora_lb_storage_element_state_t slot[4], tr[1];
    qora_lb_import_export_state_t port[1];
    auto inventory = [&] {
        qora_lb_inventory_t inv = {0, 2, 4, 1, 1, drv, slot, port, tr};
        ASSERT_EQ(ioAutoIoctl(lib, QORA_LBIOC_INVENTORY, &inv, sizeof inv), 0);
    };
    inventory();
    EXPECT_EQ(slot[0].address, 1000);
    EXPECT_TRUE(slot[0].full && slot[0].barcode_flag);
    EXPECT_EQ(std::string((char*)slot[0].barcode, slot[0].barcode_len), "BAR001");
    EXPECT_EQ(std::string((char*)slot[1].barcode, slot[1].barcode_len), "AB CD");
    EXPECT_FALSE(slot[2].full);
    EXPECT_TRUE(slot[3].full);
    EXPECT_FALSE(slot[3].barcode_flag);
    EXPECT_EQ(drv[0].address, 1);
    EXPECT_EQ(port[0].address, 10);

    // Two injected failures with completion code 203, then the move works.
    qora_lb_move_medium_t mv = {0, 0, 1000, 1, 0};
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(ioAutoIoctl(lib, QORA_LBIOC_MOVE_MEDIUM, &mv, sizeof mv), 600);
        EXPECT_EQ(mv.compcode, 203);
    }
    ASSERT_EQ(ioAutoIoctl(lib, QORA_LBIOC_MOVE_MEDIUM, &mv, sizeof mv), 0);
    EXPECT_EQ(attr("QSIMD1", "loaded"), "1");

    // The cartridge in the drive is a tape of its own.
    useDrive("QSIMD1", 7);
    capture([&] { EXPECT_EQ(dtsWriteLabel(&drive, "BAR001", 0), 0); });
    EXPECT_EQ(image(L"cart_BAR001.tap"), labeledTape("BAR001"));
    inventory();
    EXPECT_TRUE(drv[0].full && drv[0].source_addr_flag);
    EXPECT_EQ(drv[0].source_elem_addr, 1000);

    qora_lb_extend_retract_t er = {0, 0, 10, 0};
    ASSERT_EQ(ioAutoIoctl(lib, QORA_LBIOC_EXTEND_RETRACT, &er, sizeof er), 0);
    mv = {0, 0, 1, 10, 1};
    EXPECT_EQ(ioAutoIoctl(lib, QORA_LBIOC_MOVE_MEDIUM, &mv, sizeof mv), 600);
    EXPECT_EQ(mv.compcode, 307);
    er.option = 1;
    ASSERT_EQ(ioAutoIoctl(lib, QORA_LBIOC_EXTEND_RETRACT, &er, sizeof er), 0);
    ASSERT_EQ(ioAutoIoctl(lib, QORA_LBIOC_MOVE_MEDIUM, &mv, sizeof mv), 0);
    EXPECT_EQ(attr("QSIMD1", "loaded"), "0");
    inventory();
    EXPECT_TRUE(port[0].full && port[0].invert_media_flag);
    mv = {0, 0, 10, 1002, 0};
    EXPECT_EQ(ioAutoIoctl(lib, QORA_LBIOC_MOVE_MEDIUM, &mv, sizeof mv), 0);
    mv = {0, 0, 1002, 1000, 0};
    EXPECT_EQ(ioAutoIoctl(lib, QORA_LBIOC_MOVE_MEDIUM, &mv, sizeof mv), 0);
    mv = {0, 0, 1001, 1000, 0};
    EXPECT_EQ(ioAutoIoctl(lib, QORA_LBIOC_MOVE_MEDIUM, &mv, sizeof mv), 600);
    EXPECT_EQ(mv.compcode, 322);
    ioCloseDevice(lib);
}

TEST_F(LabelDevices, DeviceMapNamesAndExclusiveOpen)
{
    devices("QSIMTAPE3 kind=tape group=4 target=3 lun=1 bus=0 port=1 product=SIMDLT\n"
            "QSIMOPT5 kind=optical target=5");
    qtest::run(L"\"" + qtest::binDir() + L"simdev.exe\" unpublish");
    qtest::RunResult r = qtest::run(L"\"" + qtest::binDir() + L"simdev.exe\" publish " + state.path());
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    struct { const char* in; const char* out; } names[] = {
        {"mt3.1.0.1", "//./QSIMTAPE3"}, {"OP5", "//./QSIMOPT5"}, {"mt3", "mt3"}, {"mt", "mt"},
        {"mtx", "mtx"}, {"/dev/mt3", "/dev/mt3"}, {"lb4.1", "lb4.1"}, {"MT3.1.0.1.7", "MT3.1.0.1.7"},
    };
    for (auto c : names) {
        char buf[IO_NAME_SIZE];
        strcpy(buf, c.in);
        NTDeviceName(buf);
        EXPECT_STREQ(buf, c.out) << c.in;
    }
    int h1, h2;
    ASSERT_EQ(ioOpenDevice("MT3.1.0.1", 1, 0, &h1), 0);
    EXPECT_EQ(ioOpenDevice("mt3.1.0.1", 0, 1, &h2), 600);
    ioCloseDevice(h1);
    EXPECT_EQ(ioOpenDevice("mt3.1.0.1", 0, 1, &h2), 0);
    ioCloseDevice(h2);
    EXPECT_EQ(ioOpenDevice("mt9", 0, 1, &h2), 600);
    if (GetFileAttributesW((qtest::binDir() + L"libtevra.dll").c_str()) == INVALID_FILE_ATTRIBUTES) {
        int lm = -1;
        EXPECT_EQ(LmcpOpen("LIBMGR1", 0, 0, &lm), 603);
        EXPECT_EQ(lm, -1);
    }
    qtest::run(L"\"" + qtest::binDir() + L"simdev.exe\" unpublish");
}

TEST_F(LabelDevices, ReadWaitsForNotReadyDrivesThenGivesUp)
{
    devices("QSIMR kind=tape group=4 notready=10");
    qtest::writeFile(state / L"QSIMR.tap", labeledTape("R1"));
    int h;
    ASSERT_EQ(ioOpenDevice("QSIMR", 0, 1, &h), 0);
    unsigned char buf[80];
    unsigned got = 0;
    EXPECT_EQ(ioReadDevice(h, buf, 80, &got), 0);
    EXPECT_EQ(got, 80u);
    ioCloseDevice(h);
    devices("QSIMR kind=tape group=4 notready=62");
    ASSERT_EQ(ioOpenDevice("QSIMR", 0, 1, &h), 0);
    EXPECT_EQ(ioReadDevice(h, buf, 80, &got), 600);
    EXPECT_EQ(got, 0u);
    ioCloseDevice(h);
    EXPECT_EQ(attr("QSIMR", "notready"), "1");
}

TEST_F(LabelDevices, TraceLinesCarryRealThreadIds)
{
    qtest::TempDir t(L"tr");
    std::string path = n(t / L"trace.txt");
    qtest::writeFile(t / L"trace.txt", "old content\n");
    ASSERT_EQ(trInit(path.c_str()), 0);
    devices("QSIMT kind=tape group=4");
    unsigned long ids[2] = {};
    std::thread a([&] { ids[0] = GetCurrentThreadId(); int ty; dtsFindDevType("QSIMT", &ty); });
    a.join();
    std::thread b([&] { ids[1] = GetCurrentThreadId(); int ty; dtsFindDevType("QSIMT", &ty); });
    b.join();
    Captured c = capture([&] { EXPECT_EQ(trInit(path.c_str()), 102); });
    trEnd();
    EXPECT_NE(c.out.find("ANR9745E"), std::string::npos) << c.out;
    std::string text;
    for (char ch : qtest::readFile(t / L"trace.txt"))
        if (ch != '\r')
            text += ch;
    EXPECT_EQ(text.rfind("old content\n\n***** trace started ", 0), 0u) << text.substr(0, 80);
    for (unsigned long id : ids)
        EXPECT_NE(text.find("<" + std::to_string(id) + ">dts("), std::string::npos) << text;
    EXPECT_NE(text.find(">psdevio("), std::string::npos);
}

TEST_F(LabelDevices, MessagesAndPrompts)
{
    Captured c = capture([] { outMsgf(9743, "VOL001", "MT3"); outMsgf(9720, "VOL001", "MT3"); });
    EXPECT_EQ(c.out, "ANR9743I Labeling volume VOL001 in drive MT3.\nANR9720I Volume VOL001 labeled in drive MT3.\n");
    char answer[8];
    int rc = -1;
    c = capture([&] { rc = outPromptf(answer, sizeof answer, 9722, "MT3", 6); }, "VERYLONGNAME\r\nNEXT\n");
    EXPECT_EQ(rc, 0);
    EXPECT_STREQ(answer, "VERYLON");
    EXPECT_EQ(c.out.substr(0, 30), "\nInsert a volume into drive MT");
    c = capture([&] { rc = outPromptf(answer, sizeof answer, 9724, "MT3"); }, "");
    EXPECT_EQ(rc, 400);
    // A message the repository lacks gives one error line, not the text.
    c = capture([] { outMsgf(9999); });
    EXPECT_NE(c.err.find("ANR0000E Error reading message repository for language AMENG."), std::string::npos);
}

TEST_F(LabelDevices, MissingRepositoryAndSecondLanguage)
{
    qtest::TempDir empty(L"nolang");
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    SetCurrentDirectoryW(empty.path().c_str());
    int rc = 0;
    Captured c = capture([&] { rc = outSetLanguage("AMENG"); });
    SetCurrentDirectoryW(old);
    EXPECT_EQ(rc, 401);
    EXPECT_EQ(c.err, "ANR0000E Unable to find message repository for language AMENG.\n");

    c = capture([&] {
        ASSERT_EQ(outSetLanguage("german"), 0);
        outMsgf(9725, "MT3", "VOL001");
        outMsgf(9743, "VOL001", "MT3");
        outMsgf(9745);
    });
    EXPECT_EQ(c.out,
              "ANR9725E Der beschriftete Datentraeger VOL001 in Laufwerk MT3 wird ohne -\n"
              "overwrite nicht ueberschrieben.\n"
              "ANR9743I Laufwerk MT3: Datentraeger VOL001 wird beschriftet (@@ Kennsatz).\n"
              "ANR9745E Die Ablaufverfolgung ist bereits aktiv.\n") << c.err;
    outSetLanguage("AMENG");
}

TEST_F(LabelDevices, OptionsFileLanguage)
{
    std::string longLine = "COMMMETHOD " + std::string(501, 'x') + "LANGUAGE GERMAN\n";
    struct { std::string text; const char* language; const char* msg; } cases[] = {
        {"* comment\nlang   french\n", "french", nullptr},
        {"LANGUAGE ameng\nlanguage german  \n", "german", nullptr},
        {"LAN german\n", "AMENG", nullptr},
        {"LANGUAGEX german\n", "AMENG", nullptr},
        // The tail of a line longer than the reader takes is not a line of its own.
        {longLine, "AMENG", nullptr},
        {"LANGUAGE ABCDEFGHIJKLMNOPQ\n", "AMENG", "ANR0901E"},
    };
    qtest::TempDir t(L"opt");
    std::string path = n(t / L"kvtserv.opt");
    for (const auto& c : cases) {
        qtest::writeFile(t / L"kvtserv.opt", c.text);
        LabelOptions o;
        Captured out = capture([&] { ReadOptions(path.c_str(), &o); });
        EXPECT_STREQ(o.language, c.language) << c.text;
        if (c.msg) {
            EXPECT_NE(out.out.find(c.msg), std::string::npos) << out.out;
            EXPECT_NE(out.out.find("ANR0908E .........|"), std::string::npos) << out.out;
        }
    }
    LabelOptions o;
    Captured out = capture([&] { ReadOptions((path + ".missing").c_str(), &o); });
    EXPECT_STREQ(o.language, "AMENG");
    EXPECT_NE(out.out.find("ANR0905W"), std::string::npos);
}

}  // namespace
