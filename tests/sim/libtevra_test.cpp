// libtevra.dll loaded by name as kvtlabel loads it, driven through its three
// entry points over the simulator's description.
#include <errno.h>
#include <cstring>
#include "simstate_fixture.h"
#include "label/lmcpapi.h"
#include "label/psfuncs.h"

namespace {

struct Client {
    HMODULE mod = LoadLibraryA("LIBTEVRA");
    open_tevraatl_t open = mod ? (open_tevraatl_t)(void*)GetProcAddress(mod, "open_tevraatl") : nullptr;
    close_tevraatl_t close = mod ? (close_tevraatl_t)(void*)GetProcAddress(mod, "close_tevraatl") : nullptr;
    ioctl_tevraatl_t ioctl = mod ? (ioctl_tevraatl_t)(void*)GetProcAddress(mod, "ioctl_tevraatl") : nullptr;
};

Client& client()
{
    static Client c;
    return c;
}

void setVolser(char* dst, const std::string& vol)
{
    std::memset(dst, ' ', LMCP_VOLSER_SIZE);
    std::memcpy(dst, vol.data(), vol.size());
}

unsigned long be(const unsigned char* p, int n)
{
    unsigned long v = 0;
    for (int i = 0; i < n; i++)
        v = v << 8 | p[i];
    return v;
}

std::string volumes(const std::string& prefix, int count, const std::string& cat)
{
    std::string s;
    char name[16];
    for (int i = 0; i < count; i++) {
        _snprintf(name, sizeof name, "%s%03d", prefix.c_str(), i);
        s += " vol_" + std::string(name) + "=" + cat;
    }
    return s;
}

class Libtevra : public SimStateTest {
protected:
    int h = -1;

    void SetUp() override
    {
        SimStateTest::SetUp();
        ASSERT_TRUE(client().ioctl) << "libtevra.dll or an entry point missing";
    }
    void TearDown() override
    {
        if (h >= 0)
            client().close(h);
        SimStateTest::TearDown();
    }
    void library(const std::string& rest)
    {
        devices("QSIMT1 kind=tape devno=11\nQSIMT2 kind=tape devno=12\nlibmgr1 kind=lmcp" + rest + "\n");
        h = client().open("libmgr1");
        ASSERT_GE(h, 0);
    }
    int mount(int device, const std::string& vol, mtlmarg& a, uint16_t source = LMCP_INSERT_CATEGORY)
    {
        std::memset(&a, 0, sizeof a);
        a.device = device;
        a.wait_flg = 1;
        a.source_cat = source;
        setVolser(a.volser, vol);
        return client().ioctl(h, (int)LMCP_MOUNT, &a);
    }
    int demount(int device, mtldarg& a)
    {
        std::memset(&a, 0, sizeof a);
        a.device = device;
        a.wait_flg = 1;
        setVolser(a.volser, "");
        return client().ioctl(h, (int)LMCP_DEMOUNT, &a);
    }
    int inventory(uint16_t cat, int seqno, mtlqarg& q)
    {
        std::memset(&q, 0, sizeof q);
        q.sub_cmd = LMCP_QUERY_INVENTORY;
        q.source_cat = cat;
        q.cat_seqno = seqno;
        return client().ioctl(h, (int)LMCP_QUERY, &q);
    }
};

TEST_F(Libtevra, OpenKnowsOnlyLibraryManagersAndHandlesAreChecked)
{
    devices("QSIMT1 kind=tape devno=11\nlibmgr1 kind=lmcp\n");
    errno = 0;
    EXPECT_EQ(client().open("qsimt1"), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(client().open("nolib"), -1);
    int a = client().open("libmgr1"), b = client().open("LIBMGR1");
    ASSERT_GE(a, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(client().close(a), 0);
    EXPECT_EQ(client().close(a), -1);
    EXPECT_EQ(errno, EBADF);
    mtlqarg q{};
    q.sub_cmd = LMCP_QUERY_LIBRARY_DATA;
    EXPECT_EQ(client().ioctl(a, (int)LMCP_QUERY, &q), -1);
    EXPECT_EQ(client().ioctl(b, (int)LMCP_QUERY, &q), 0);
    EXPECT_EQ(client().ioctl(b, 0x1234, &q), -1);
    EXPECT_EQ(errno, EINVAL);
    client().close(b);
}

TEST_F(Libtevra, PlannedOpenFailureSetsErrno)
{
    devices("libmgr1 kind=lmcp fault_open=1:5\n");
    errno = 0;
    EXPECT_EQ(client().open("libmgr1"), -1);
    EXPECT_EQ(errno, 5);
    h = client().open("libmgr1");
    EXPECT_GE(h, 0);
}

// 150 insert volumes of 8140 media among others: two pages, then the
// continuation number stays where the category ends.
TEST_F(Libtevra, InventoryComesInPagesOfHundredWithContinuation)
{
    library(" attr=0010" + volumes("I", 150, "FF00") + volumes("P", 5, "0001") +
            " vol_MISP01=FF00 attr_MISP01=0100 vol_OTHR01=FF00 attr_OTHR01=0000");
    mtlqarg q;
    ASSERT_EQ(inventory(LMCP_INSERT_CATEGORY, 0, q), 0);
    auto* inv = (lmcpInventoryData*)q.mtlqret.info.data;
    EXPECT_EQ(q.mtlqret.info.info_type, LMCP_QUERY_INVENTORY);
    EXPECT_EQ(be(inv->no_vols, 4), 152u);
    EXPECT_EQ(be(inv->category, 2), 0xFF00u);
    EXPECT_EQ(be(inv->cat_seqno, 4), 100u);
    EXPECT_EQ(std::string(inv->inv_rec[0].volser, 6), "I000  ");
    EXPECT_EQ(std::string(inv->inv_rec[99].volser, 6), "I099  ");
    EXPECT_EQ(be(inv->inv_rec[0].cat, 2), 0xFF00u);
    EXPECT_EQ((inv->inv_rec[5].attr[1] >> 4) & 3, 1);

    ASSERT_EQ(inventory(LMCP_INSERT_CATEGORY, 100, q), 0);
    EXPECT_EQ(be(inv->cat_seqno, 4), 152u);
    EXPECT_EQ(std::string(inv->inv_rec[49].volser, 6), "I149  ");
    EXPECT_EQ(std::string(inv->inv_rec[50].volser, 6), "MISP01");
    EXPECT_NE(inv->inv_rec[50].attr[0], 0);
    EXPECT_EQ(std::string(inv->inv_rec[51].volser, 6), "OTHR01");
    EXPECT_EQ((inv->inv_rec[51].attr[1] >> 4) & 3, 0);
    EXPECT_EQ(inv->inv_rec[52].volser[0], ' ');
    EXPECT_EQ(inv->inv_rec[99].volser[0], ' ');

    ASSERT_EQ(inventory(LMCP_INSERT_CATEGORY, 152, q), 0);
    EXPECT_EQ(be(inv->cat_seqno, 4), 152u);
    EXPECT_EQ(inv->inv_rec[0].volser[0], ' ');

    ASSERT_EQ(inventory(0x0001, 0, q), 0);
    EXPECT_EQ(be(inv->no_vols, 4), 5u);
}

TEST_F(Libtevra, VolumeDataGivesTheCategory)
{
    library(" vol_VOL001=FF00 vol_VOL002=0123");
    struct Case { const char* vol; int rc; int cc; unsigned cat; } cases[] = {
        {"VOL001", 0, LMCP_CC_OK, 0xFF00},
        {"VOL002", 0, LMCP_CC_OK, 0x0123},
        {"NOSUCH", -1, LMCP_CC_NO_VOLUME, 0},
    };
    for (const auto& c : cases) {
        mtlqarg q{};
        q.sub_cmd = LMCP_QUERY_VOLUME_DATA;
        setVolser(q.volser, c.vol);
        EXPECT_EQ(client().ioctl(h, (int)LMCP_QUERY, &q), c.rc) << c.vol;
        EXPECT_EQ(q.mtlqret.cc, c.cc) << c.vol;
        auto* v = (lmcpVolumeData*)q.mtlqret.info.data;
        if (c.rc == 0) {
            EXPECT_EQ(be(v->category, 2), c.cat) << c.vol;
            EXPECT_EQ(std::string(v->volser, 6), c.vol);
        }
    }
}

TEST_F(Libtevra, MountLoadsTheDriveWithThatDeviceNumber)
{
    library(" vol_VOL001=FF00 vol_VOL002=FF00 vol_VOL003=0001");
    mtlmarg a;
    ASSERT_EQ(mount(12, "VOL001", a), 0);
    EXPECT_EQ(a.mtlmret.cc, 0);
    EXPECT_EQ(attr("QSIMT2", "loaded"), "1");
    EXPECT_EQ(attr("QSIMT2", "image"), "cart_VOL001.tap");
    EXPECT_EQ(attr("QSIMT1", "loaded"), "");

    struct Case { int device; const char* vol; uint16_t source; int cc; } refused[] = {
        {12, "VOL001", LMCP_INSERT_CATEGORY, LMCP_CC_ALREADY_DONE},
        {12, "VOL002", LMCP_INSERT_CATEGORY, LMCP_CC_DRIVE_OCCUPIED},
        {11, "VOL001", LMCP_INSERT_CATEGORY, LMCP_CC_VOLUME_IN_USE},
        {11, "VOL003", LMCP_INSERT_CATEGORY, LMCP_CC_WRONG_CATEGORY},
        {11, "NOSUCH", LMCP_INSERT_CATEGORY, LMCP_CC_NO_VOLUME},
        {99, "VOL002", LMCP_INSERT_CATEGORY, LMCP_CC_NO_DEVICE},
    };
    for (const auto& c : refused) {
        errno = 0;
        EXPECT_EQ(mount(c.device, c.vol, a, c.source), -1) << c.vol;
        EXPECT_EQ(a.mtlmret.cc, c.cc) << c.vol << " in " << c.device;
        EXPECT_EQ(errno, EIO);
    }
    EXPECT_EQ(mount(11, "VOL003", a, 0), 0) << "no source category: any";

    mtldarg d;
    ASSERT_EQ(demount(12, d), 0);
    EXPECT_EQ(attr("QSIMT2", "loaded"), "0");
    EXPECT_EQ(demount(12, d), -1);
    EXPECT_EQ(d.mtldret.cc, LMCP_CC_ALREADY_DONE);
    EXPECT_EQ(mount(12, "VOL002", a), 0);
}

TEST_F(Libtevra, CategoryChangeSendsVolumesToTheEjectCategory)
{
    library(" vol_VOL001=FF00");
    mtlsvcarg s{};
    s.wait_flg = 1;
    s.source_cat = LMCP_INSERT_CATEGORY;
    s.target_cat = LMCP_EJECT_CATEGORY;
    setVolser(s.volser, "VOL001");
    ASSERT_EQ(client().ioctl(h, (int)LMCP_SET_CATEGORY, &s), 0);
    EXPECT_EQ(attr("libmgr1", "vol_VOL001"), "FF10");
    EXPECT_EQ(client().ioctl(h, (int)LMCP_SET_CATEGORY, &s), -1);
    EXPECT_EQ(s.mtlsvcret.cc, LMCP_CC_WRONG_CATEGORY);
    setVolser(s.volser, "NOSUCH");
    EXPECT_EQ(client().ioctl(h, (int)LMCP_SET_CATEGORY, &s), -1);
    EXPECT_EQ(s.mtlsvcret.cc, LMCP_CC_NO_VOLUME);
}

// The fault plan gives a completion code and a recovery action for the next
// N requests of a kind; afterwards the library works again.
TEST_F(Libtevra, PlannedFailuresCarrySenseWithRecoveryAction)
{
    library(" vol_VOL001=FF00 fault_mount=2:9:105 fault_inventory=1:9");
    mtlmarg a;
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(mount(11, "VOL001", a), -1);
        EXPECT_EQ(a.mtlmret.cc, 9);
        EXPECT_EQ(a.mtlmret.number_sense, 4);
        EXPECT_EQ(a.mtlmret.sense_bytes[3], LMCP_ERA_INTERVENTION_A);
    }
    EXPECT_EQ(mount(11, "VOL001", a), 0);
    EXPECT_EQ(a.mtlmret.number_sense, 0);
    EXPECT_EQ(attr("libmgr1", "fault_mount"), "");

    mtlqarg q;
    EXPECT_EQ(inventory(LMCP_INSERT_CATEGORY, 0, q), -1);
    EXPECT_EQ(q.mtlqret.number_sense, 0) << "no sense: fewer than four bytes";
    EXPECT_EQ(inventory(LMCP_INSERT_CATEGORY, 0, q), 0);
}

// The cartridge a mount puts into a drive is the one the simulated drive
// reads and writes, and it travels with the volume to another drive.
TEST_F(Libtevra, MountedCartridgeIsWhatTheSimulatedDriveHolds)
{
    HMODULE sim = LoadLibraryA("QORASIM");
    ASSERT_TRUE(sim);
    auto entry = (psSimEntryT)(void*)GetProcAddress(sim, PS_SIM_ENTRY);
    ASSERT_TRUE(entry);
    const psDevFuncsT* dev = entry();
    library(" vol_VOL001=FF00");
    mtlmarg a;
    mtldarg d;
    ASSERT_EQ(mount(12, "VOL001", a), 0);
    HANDLE t = dev->open("QSIMT2", GENERIC_READ | GENERIC_WRITE);
    ASSERT_NE(t, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    EXPECT_TRUE(dev->write(t, "VOL1VOL001", 10, &done));
    dev->close(t);
    ASSERT_EQ(demount(12, d), 0);

    t = dev->open("QSIMT2", GENERIC_READ);
    char buf[80] = {};
    EXPECT_FALSE(t != INVALID_HANDLE_VALUE && dev->read(t, buf, sizeof buf, &done)) << "drive empty";
    if (t != INVALID_HANDLE_VALUE)
        dev->close(t);

    ASSERT_EQ(mount(11, "VOL001", a), 0);
    t = dev->open("QSIMT1", GENERIC_READ);
    ASSERT_NE(t, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(dev->read(t, buf, sizeof buf, &done));
    EXPECT_EQ(std::string(buf, done), "VOL1VOL001");
    dev->close(t);
}

}  // namespace
