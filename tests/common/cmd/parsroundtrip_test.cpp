// Round trip through the simulated server: the objects it holds, printed by
// its queries, parse back into the same objects.
#include <gtest/gtest.h>

#include "common/cmd/parscg.h"
#include "common/cmd/parsched.h"
#include "common/cmd/parsdom.h"
#include "common/cmd/parsnode.h"
#include "common/cmd/parsqdb.h"
#include "common/cmd/parsqdev.h"
#include "common/cmd/parsqdrv.h"
#include "common/cmd/parsqlib.h"
#include "common/cmd/parsqlog.h"
#include "common/cmd/parsqstg.h"
#include "sim/cmdpilot/pilotcore.h"
#include "tests/common/cmd/parsfixture.h"
#include "tests/common/cmd/parsprint.h"

using namespace qora::parse;

namespace {

// A fresh simulated server with the given commands applied.
class Server {
public:
    explicit Server(std::initializer_list<const char*> commands) {
        state_.reset();
        env_.fileSize = [](const std::string&) { return 1LL << 20; };
        for (const char* c : commands) {
            std::string out;
            EXPECT_EQ(pilot::runCommand(state_, c, out, env_), pilot::RC_OK) << c << "\n" << out;
        }
    }
    // The query's reply with the line ends a console pipe delivers.
    std::wstring query(const char* command) {
        std::string out;
        EXPECT_EQ(pilot::runCommand(state_, command, out, env_), pilot::RC_OK) << command << "\n" << out;
        std::wstring text;
        for (char c : out) {
            if (c == '\n') text += L'\r';
            text += wchar_t(static_cast<unsigned char>(c));
        }
        return text;
    }

private:
    pilot::ServerState state_;
    pilot::Environment env_;
};

template <class Rec, class Key>
const Rec* findRecord(const std::vector<Rec>& records, Key key, const std::wstring& name) {
    for (const Rec& r : records)
        if (r.*key == name) return &r;
    return nullptr;
}

// Each case: the record the server must give back for an object it holds.
template <class Rec, class Key>
void expectRecords(const std::vector<Rec>& parsed, Key key, const std::vector<Rec>& expected) {
    for (const Rec& want : expected) {
        const Rec* got = findRecord(parsed, key, want.*key);
        ASSERT_NE(got, nullptr) << printable(want.*key);
        EXPECT_EQ(*got, want);
    }
}

}  // namespace

TEST(RoundTrip, Libraries) {
    Server server({"define library AUTOLIB libtype=SCSI device=lb0.6.0.1",
                   "define library MANLIB libtype=MANUAL",
                   "define library OPTLIB libtype=SCSI device=lb1.2.0.1"});
    LibraryResults r;
    ASSERT_EQ(parseLibraries(r, server.query("query library f=d")), 0u);
    EXPECT_EQ(r.count(), 3u);
    expectRecords(r.records, &LibraryRecord::library,
                  {{L"AUTOLIB", L"SCSI", L"lb0.6.0.1", L""},
                   {L"MANLIB", L"MANUAL", L"", L""},
                   {L"OPTLIB", L"SCSI", L"lb1.2.0.1", L""}});
}

TEST(RoundTrip, DrivesAndDeviceClasses) {
    Server server({"define library AUTOLIB libtype=SCSI device=lb0.6.0.1",
                   "define drive AUTOLIB DRIVE1 device=mt0.4.0.1 element=116",
                   "define drive AUTOLIB DRIVE2 device=mt0.5.0.1 element=117",
                   "define devclass DLTCLASS devtype=DLT library=AUTOLIB",
                   "define devclass FILECLASS devtype=FILE directory=D:\\QORA\\VOLS"});
    DriveResults drives;
    ASSERT_EQ(parseDrives(drives, server.query("query drive f=d")), 0u);
    EXPECT_EQ(drives.count(), 2u);
    expectRecords(drives.records, &DriveRecord::drive,
                  {{L"AUTOLIB", L"DRIVE1", L"DLT", L"mt0.4.0.1", L"116"},
                   {L"AUTOLIB", L"DRIVE2", L"DLT", L"mt0.5.0.1", L"117"}});

    DeviceClassResults classes;
    ASSERT_EQ(parseDeviceClasses(classes, server.query("query devclass f=d")), 0u);
    EXPECT_EQ(classes.count(), 3u);
    expectRecords(classes.records, &DeviceClassRecord::szQoraDevClassName,
                  {{L"DISK", L"Random", L"3", L"DISK", L"", L"", L""},
                   {L"DLTCLASS", L"Sequential", L"0", L"DLT", L"DRIVE", L"AUTOLIB", L""},
                   {L"FILECLASS", L"Sequential", L"0", L"FILE", L"DRIVE", L"", L"D:\\QORA\\VOLS"}});
}

TEST(RoundTrip, StoragePools) {
    Server server({"define library AUTOLIB libtype=SCSI device=lb0.6.0.1",
                   "define devclass DLTCLASS devtype=DLT library=AUTOLIB",
                   "define stgpool TAPEPOOL DLTCLASS maxscratch=20",
                   "update stgpool BACKUPPOOL nextstgpool=TAPEPOOL"});
    StoragePoolResults r;
    ASSERT_EQ(parseStoragePools(r, server.query("query stgpool f=d"), fixture::poolLabels), 0u);
    EXPECT_EQ(r.count(), 4u);
    expectRecords(r.records, &StoragePoolRecord::pool,
                  {{L"BACKUPPOOL", L"Primary", L"DISK", L"TAPEPOOL", L"0.0"},
                   {L"TAPEPOOL", L"Primary", L"DLTCLASS", L"None", L"0.0"},
                   {L"ARCHIVEPOOL", L"Primary", L"DISK", L"None", L"0.0"}});
}

TEST(RoundTrip, DatabaseAndLog) {
    Server server({});
    DatabaseResult db;
    parseDatabase(db, server.query("query db f=d"));
    ASSERT_TRUE(db.found);
    // volumes of 17 and 9 megabytes, one of each kept for the server's own use
    EXPECT_EQ(db.record.availableSpace, L"16");
    LogResult log;
    parseLog(log, server.query("query log f=d"));
    ASSERT_TRUE(log.found);
    EXPECT_EQ(log.record.availableSpace, L"8");
    EXPECT_FALSE(log.record.utilization.empty());
}

TEST(RoundTrip, DomainsWithLongDescriptions) {
    Server server({"define domain ENGINEERING description=\"Workstations of the engineering "
                   "department in building 4: nightly incremental backups, archives kept for seven "
                   "years.\"",
                   "register node CAD1 secret domain=ENGINEERING"});
    DomainResults r;
    ASSERT_EQ(parseDomains(r, server.query("query domain f=d"), fixture::domainLabels), 0u);
    EXPECT_EQ(r.count(), 2u);
    expectRecords(r.records, &DomainRecord::domain,
                  {{L"STANDARD", L"STANDARD", L"Installed default policy domain.", 0, 30, 365, 1, 0},
                   {L"ENGINEERING", L"",
                    L"Workstations of the engineering department in building 4: nightly "
                    L"incremental backups, archives kept for seven years.",
                    1, 30, 365, 1, 0}});
}

TEST(RoundTrip, CopyGroups) {
    Server server({"update copygroup STANDARD STANDARD STANDARD verexists=1024 verdeleted=nolimit "
                   "retextra=1000 retonly=9999 destination=ARCHIVEPOOL"});
    CopyGroupResults r;
    ASSERT_EQ(parseCopyGroups(r, server.query("query copygroup f=d"), fixture::copyGroupLabels), 0u);
    std::vector<CopyGroupRecord> expected = {
        {L"STANDARD", L"ACTIVE", L"STANDARD", L"STANDARD", L"Archive", L"ARCHIVEPOOL", 2, 1, 30, 60},
        {L"STANDARD", L"ACTIVE", L"STANDARD", L"STANDARD", L"Backup", L"BACKUPPOOL", 2, 1, 30, 60},
        {L"STANDARD", L"STANDARD", L"STANDARD", L"STANDARD", L"Archive", L"ARCHIVEPOOL", 2, 1, 30, 60},
        {L"STANDARD", L"STANDARD", L"STANDARD", L"STANDARD", L"Backup", L"ARCHIVEPOOL", 1024, 0, 1000, 9999},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(RoundTrip, Nodes) {
    Server server({"register node CLIENT1 secret",
                   "register node BLDG4-CAD-WORKSTATION-0017 secret domain=STANDARD compression=yes "
                   "archdelete=no backdelete=yes url=http://bldg4-cad-0017:1581"});
    NodeResults r;
    ASSERT_EQ(parseNodes(r, server.query("query node f=d"), fixture::nodeLabels), 0u);
    EXPECT_EQ(r.count(), 2u);
    expectRecords(r.records, &NodeRecord::nodeName,
                  {{L"CLIENT1", L"STANDARD", L"Client", L"", L"", L"Client", 1, 0, 1, 0},
                   {L"BLDG4-CAD-WORKSTATION-0017", L"STANDARD", L"Yes", L"",
                    L"http://bldg4-cad-0017:1581", L"Client", 0, 1, 1, 0}});
}

TEST(RoundTrip, SchedulesKeepWhatTheWizardSendsBack) {
    Server server({"define schedule STANDARD DAILY_INCR desc='Daily incremental backup' "
                   "action=incremental starttime=21:00 startdate=11/30/2026",
                   "define schedule STANDARD NIGHTLY desc='Nightly: all drives' action=selective "
                   "options=\"-subdir=yes\" objects=\"c:\\my files\\* d:\\cad\\*\" priority=2 "
                   "startdate=12/01/2026 starttime=23:30 duration=4 durunits=hours period=1 "
                   "perunits=days dayofweek=weekday expiration=12/31/2027"});
    ScheduleResults r;
    ASSERT_EQ(parseSchedules(r, server.query("query schedule f=d"), fixture::scheduleLabels), 0u);
    EXPECT_EQ(r.count(), 2u);
    expectRecords(r.records, &ScheduleRecord::scheduleName,
                  {{L"STANDARD", L"DAILY_INCR", L"Daily incremental backup", L"Incremental", L"", L"",
                    L"5", L"11/30/2026", L"21:00:00", L"1 Hour(s)", L"1 Day(s)", L"Any", L"Never", 1, 0},
                   {L"STANDARD", L"NIGHTLY", L"Nightly: all drives", L"Selective", L"-subdir=yes",
                    L"c:\\my files\\* d:\\cad\\*", L"2", L"12/01/2026", L"23:30:00", L"4 Hour(s)",
                    L"1 Day(s)", L"Weekday", L"12/31/2027", 1, 0}});
}

TEST(RoundTrip, AssociationsOfManyNodes) {
    std::vector<std::string> commands = {"define schedule STANDARD NIGHTLY action=incremental",
                                         "define schedule STANDARD EMPTY action=incremental"};
    std::wstring names;
    std::vector<NodeEntry> expected;
    for (int i = 0; i < 20; ++i) {
        std::string name = "NODE" + std::to_string(100 + i);
        commands.push_back("register node " + name + " secret");
        commands.push_back("define association STANDARD NIGHTLY " + name);
        expected.push_back({std::wstring(name.begin(), name.end())});
    }
    pilot::ServerState state;
    state.reset();
    pilot::Environment env;
    std::string out;
    for (auto& c : commands) ASSERT_EQ(pilot::runCommand(state, c, out, env), pilot::RC_OK) << c << out;
    out.clear();
    ASSERT_EQ(pilot::runCommand(state, "query association", out, env), pilot::RC_OK);
    AssociationResults r;
    ASSERT_EQ(parseAssociations(r, std::wstring(out.begin(), out.end()), fixture::associationLabels), 0u);
    const AssociationRecord* nightly = findRecord(r.records, &AssociationRecord::scheduleName, L"NIGHTLY");
    ASSERT_NE(nightly, nullptr);
    EXPECT_EQ(nightly->nodes, expected);
    const AssociationRecord* empty = findRecord(r.records, &AssociationRecord::scheduleName, L"EMPTY");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->nodeCount, 0);
}
