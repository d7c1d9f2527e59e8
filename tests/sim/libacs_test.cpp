// libacs.dll through its import library, as kvtlabel links it: requests,
// the queued acknowledgement, intermediate and final responses, and the
// effect on the simulated drives.
#include <cstring>
#include <vector>
#include "simstate_fixture.h"
#include "label/acsapi.h"

namespace {

struct Answer {
    SEQ_NO seq;
    REQ_ID req;
    ACS_RESPONSE_TYPE type;
    std::vector<char> body;
    template <class T> const T& as() const { return *(const T*)body.data(); }
};

DRIVEID drive(int a, int l, int p, int d) { return DRIVEID{a, l, p, d}; }

VOLID vol(const char* name)
{
    VOLID v{};
    std::memcpy(v.external_label, name, strnlen(name, ACS_EXTERNAL_LABEL_SIZE));
    return v;
}

class Libacs : public SimStateTest {
protected:
    SEQ_NO seq = 1;

    void SetUp() override
    {
        SimStateTest::SetUp();
        drain();
    }
    void TearDown() override
    {
        drain();
        SimStateTest::TearDown();
    }
    void drain()
    {
        std::vector<char> buf(ACS_RESPONSE_SIZE);
        SEQ_NO s;
        REQ_ID r;
        ACS_RESPONSE_TYPE t;
        while (acs_response(0, &s, &r, &t, buf.data()) == STATUS_SUCCESS) {}
    }
    void server(const std::string& rest)
    {
        devices("QSIMT1 kind=tape\nQSIMT2 kind=tape\nQSIMT3 kind=tape\n"
                "ACSLS kind=acsls acs=0,1 drive_0.0.2.1=QSIMT1 drive_0.0.2.2=QSIMT2 drive_1.0.0.0=QSIMT3" +
                rest + "\n");
    }
    // Every response of one request up to its final one.
    std::vector<Answer> answers()
    {
        std::vector<Answer> all;
        for (int i = 0; i < 100; i++) {
            Answer a{};
            a.body.resize(ACS_RESPONSE_SIZE);
            STATUS st = acs_response(-1, &a.seq, &a.req, &a.type, a.body.data());
            if (st != STATUS_SUCCESS) {
                ADD_FAILURE() << "acs_response: " << acs_status(st);
                break;
            }
            all.push_back(a);
            if (a.type == RT_FINAL)
                break;
        }
        return all;
    }
    Answer final()
    {
        std::vector<Answer> all = answers();
        if (all.empty())
            return Answer{0, 0, RT_ACKNOWLEDGE, std::vector<char>(ACS_RESPONSE_SIZE)};
        EXPECT_EQ(all.front().type, RT_ACKNOWLEDGE);
        EXPECT_EQ(all.size(), 2u) << "acknowledgement and final";
        return all.back();
    }
};

TEST_F(Libacs, WithoutServerRequestsAreRefused)
{
    devices("QSIMT1 kind=tape\n");
    ACS acs = 0;
    EXPECT_EQ(acs_query_acs(seq, &acs, 1), STATUS_IPC_FAILURE);
    EXPECT_EQ(std::string(acs_status(STATUS_IPC_FAILURE)), "STATUS_IPC_FAILURE");
    SEQ_NO s;
    REQ_ID r;
    ACS_RESPONSE_TYPE t;
    std::vector<char> buf(ACS_RESPONSE_SIZE);
    EXPECT_EQ(acs_response(0, &s, &r, &t, buf.data()), STATUS_RESPONSE_PENDING);
    EXPECT_EQ(acs_response(-1, &s, &r, &t, buf.data()), STATUS_NO_PENDING_RESPONSE) << "never blocks";
}

TEST_F(Libacs, QueryAcsAnswersEachAcsWithSequenceAndRequestIds)
{
    server(" acsstate_1=offline");
    struct Case { ACS acs; STATUS status; STATE state; } cases[] = {
        {0, STATUS_SUCCESS, STATE_ONLINE},
        {1, STATUS_ACS_OFFLINE, STATE_OFFLINE},
        {5, STATUS_ACS_NOT_IN_LIBRARY, STATE_ONLINE},
    };
    REQ_ID last = 0;
    for (auto c : cases) {
        SEQ_NO mine = seq++;
        ASSERT_EQ(acs_query_acs(mine, &c.acs, 1), STATUS_SUCCESS);
        std::vector<Answer> all = answers();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(all[0].seq, mine);
        EXPECT_EQ(all[1].seq, mine);
        EXPECT_EQ(all[0].req, all[1].req);
        EXPECT_NE(all[1].req, last);
        last = all[1].req;
        const auto& r = all[1].as<ACS_QUERY_ACS_RESPONSE>();
        EXPECT_EQ(r.query_acs_status, STATUS_SUCCESS);
        ASSERT_EQ(r.count, 1);
        EXPECT_EQ(r.acs_status[0].acs_id, c.acs);
        EXPECT_EQ(r.acs_status[0].status, c.status) << acs_status(r.acs_status[0].status);
        EXPECT_EQ(r.acs_status[0].state, c.state) << acs_state(r.acs_status[0].state);
    }
}

TEST_F(Libacs, QueryDriveGivesStateAndVolume)
{
    server(" drivestate_0.0.2.2=offline drivetype_0.0.2.1=7 vol_VOL001=0.0.1.1.1 mounted_0.0.2.1=VOL001");
    struct Case { DRIVEID id; STATUS status; STATE state; const char* vol; int type; } cases[] = {
        {drive(0, 0, 2, 1), STATUS_DRIVE_AVAILABLE, STATE_ONLINE, "VOL001", 7},
        {drive(0, 0, 2, 2), STATUS_DRIVE_OFFLINE, STATE_OFFLINE, "", 0},
        {drive(0, 0, 2, 3), STATUS_DRIVE_NOT_IN_LIBRARY, (STATE)0, "", 0},
    };
    for (auto c : cases) {
        ASSERT_EQ(acs_query_drive(seq++, &c.id, 1), STATUS_SUCCESS);
        const auto r = final().as<ACS_QUERY_DRV_RESPONSE>();
        EXPECT_EQ(r.query_drv_status, STATUS_SUCCESS);
        ASSERT_EQ(r.count, 1);
        const QU_DRV_STATUS& d = r.drv_status[0];
        EXPECT_EQ(d.status, c.status) << c.id.drive;
        EXPECT_EQ(d.state, c.state) << c.id.drive;
        EXPECT_STREQ(d.vol_id.external_label, c.vol);
        EXPECT_EQ(d.drive_type, c.type);
        EXPECT_EQ(d.drive_id.panel, c.id.panel);
        EXPECT_EQ(d.drive_id.drive, c.id.drive);
    }
}

// All volumes come in batches of at most 42: full batches as intermediate
// responses, the last one final.
TEST_F(Libacs, VolumeQueryComesInBatchesOfFortyTwo)
{
    struct Case { int volumes; std::vector<int> batches; } cases[] = {
        {0, {0}}, {1, {1}}, {42, {42}}, {43, {42, 1}}, {100, {42, 42, 16}}, {126, {42, 42, 42}},
    };
    for (const auto& c : cases) {
        std::string vols;
        char buf[64];
        for (int i = 0; i < c.volumes; i++) {
            _snprintf(buf, sizeof buf, " vol_V%05d=%d.0.%d.%d.1", i, i % 2, i / 10, i % 10);
            vols += buf;
        }
        server(vols);
        ASSERT_EQ(acs_query_volume(seq++, nullptr, 0), STATUS_SUCCESS);
        std::vector<Answer> all = answers();
        ASSERT_EQ(all.size(), c.batches.size() + 1) << c.volumes;
        EXPECT_EQ(all[0].type, RT_ACKNOWLEDGE);
        int seen = 0;
        for (size_t b = 0; b < c.batches.size(); b++) {
            const Answer& a = all[b + 1];
            EXPECT_EQ(a.type, b + 1 == c.batches.size() ? RT_FINAL : RT_INTERMEDIATE) << c.volumes;
            const auto& r = a.as<ACS_QUERY_VOL_RESPONSE>();
            EXPECT_EQ(r.query_vol_status, STATUS_SUCCESS);
            ASSERT_EQ(r.count, c.batches[b]) << c.volumes << " batch " << b;
            for (int i = 0; i < r.count; i++, seen++) {
                _snprintf(buf, sizeof buf, "V%05d", seen);
                EXPECT_STREQ(r.vol_status[i].vol_id.external_label, buf);
                EXPECT_EQ(r.vol_status[i].location_type, LOCATION_CELL);
                EXPECT_EQ(r.vol_status[i].location.cell_id.acs, seen % 2);
                EXPECT_EQ(r.vol_status[i].status, STATUS_VOLUME_IN_LIBRARY);
            }
        }
        EXPECT_EQ(seen, c.volumes);
    }
}

TEST_F(Libacs, MountDismountAndEjectMoveTheCartridges)
{
    server(" vol_VOL001=0.0.1.1.1 vol_VOL002=0.0.1.1.2 vol_VOL003=1.0.1.1.1");
    ASSERT_EQ(acs_mount(seq++, 0, vol("VOL001"), drive(0, 0, 2, 1), 0, 1), STATUS_SUCCESS);
    {
        const auto r = final().as<ACS_MOUNT_RESPONSE>();
        EXPECT_EQ(r.mount_status, STATUS_SUCCESS) << acs_status(r.mount_status);
        EXPECT_STREQ(r.vol_id.external_label, "VOL001");
    }
    EXPECT_EQ(attr("QSIMT1", "loaded"), "1");
    EXPECT_EQ(attr("QSIMT1", "image"), "cart_VOL001.tap");

    VOLID q = vol("VOL001");
    ASSERT_EQ(acs_query_volume(seq++, &q, 1), STATUS_SUCCESS);
    {
        const auto r = final().as<ACS_QUERY_VOL_RESPONSE>();
        ASSERT_EQ(r.count, 1);
        EXPECT_EQ(r.vol_status[0].location_type, LOCATION_DRIVE);
        EXPECT_EQ(r.vol_status[0].location.drive_id.drive, 1);
    }

    struct Case { const char* vol; DRIVEID id; STATUS status; } refused[] = {
        {"VOL002", drive(0, 0, 2, 1), STATUS_DRIVE_IN_USE},
        {"VOL001", drive(0, 0, 2, 2), STATUS_VOLUME_IN_DRIVE},
        {"VOL003", drive(0, 0, 2, 2), STATUS_VOLUME_IN_OTHER_ACS},
        {"NOSUCH", drive(0, 0, 2, 2), STATUS_VOLUME_NOT_IN_LIBRARY},
        {"VOL002", drive(0, 0, 9, 9), STATUS_DRIVE_NOT_IN_LIBRARY},
    };
    for (const auto& c : refused) {
        ASSERT_EQ(acs_mount(seq++, 0, vol(c.vol), c.id, 0, 1), STATUS_SUCCESS);
        EXPECT_EQ(final().as<ACS_MOUNT_RESPONSE>().mount_status, c.status) << c.vol;
    }

    // Forced: the drive gives up what it holds whatever name is passed.
    ASSERT_EQ(acs_dismount(seq++, 0, vol("OTHER"), drive(0, 0, 2, 1), 1), STATUS_SUCCESS);
    {
        const auto r = final().as<ACS_DISMOUNT_RESPONSE>();
        EXPECT_EQ(r.dismount_status, STATUS_SUCCESS);
        EXPECT_STREQ(r.vol_id.external_label, "VOL001");
    }
    EXPECT_EQ(attr("QSIMT1", "loaded"), "0");
    ASSERT_EQ(acs_dismount(seq++, 0, vol("VOL001"), drive(0, 0, 2, 1), 1), STATUS_SUCCESS);
    EXPECT_EQ(final().as<ACS_DISMOUNT_RESPONSE>().dismount_status, STATUS_DRIVE_EMPTY);

    VOLID out[] = {vol("VOL001"), vol("VOL003")};
    ASSERT_EQ(acs_eject(seq++, 0, CAPID{0, -1, -1}, 2, out), STATUS_SUCCESS);
    {
        const auto r = final().as<ACS_EJECT_RESPONSE>();
        EXPECT_EQ(r.eject_status, STATUS_SUCCESS);
        ASSERT_EQ(r.count, 2);
        EXPECT_STREQ(r.vol_status[0].vol_id.external_label, "VOL001");
        EXPECT_EQ(r.vol_status[0].status, STATUS_VOLUME_EJECTED);
        EXPECT_EQ(r.vol_status[1].status, STATUS_VOLUME_IN_OTHER_ACS);
    }
    EXPECT_EQ(attr("ACSLS", "vol_VOL001"), "");
    EXPECT_EQ(attr("ACSLS", "ejected_VOL001"), "0");
    EXPECT_EQ(attr("ACSLS", "vol_VOL003"), "1.0.1.1.1");
}

TEST_F(Libacs, PlannedFailuresOfRequestsAndResponses)
{
    server(" vol_VOL001=0.0.1.1.1 fault_mount=1:60 fault_response=1:54 fault_lostfinal=1:1");
    ASSERT_EQ(acs_mount(seq++, 0, vol("VOL001"), drive(0, 0, 2, 1), 0, 1), STATUS_SUCCESS);
    SEQ_NO s;
    REQ_ID r;
    ACS_RESPONSE_TYPE t;
    std::vector<char> buf(ACS_RESPONSE_SIZE);
    EXPECT_EQ(acs_response(-1, &s, &r, &t, buf.data()), STATUS_IPC_FAILURE);
    // The mount's final response was planned lost: the acknowledgement, then nothing.
    ASSERT_EQ(acs_response(-1, &s, &r, &t, buf.data()), STATUS_SUCCESS);
    EXPECT_EQ(t, RT_ACKNOWLEDGE);
    EXPECT_EQ(acs_response(-1, &s, &r, &t, buf.data()), STATUS_NO_PENDING_RESPONSE);

    ASSERT_EQ(acs_mount(seq++, 0, vol("VOL001"), drive(0, 0, 2, 1), 0, 1), STATUS_SUCCESS);
    EXPECT_EQ(final().as<ACS_MOUNT_RESPONSE>().mount_status, STATUS_SUCCESS)
        << "the planned mount failure went with the lost response";
}

}  // namespace
