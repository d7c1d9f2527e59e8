// The simulated server: commands as the wizards write them change its state,
// and its query replies read back through the real parsers.
#include <gtest/gtest.h>

#include <string>

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

using namespace qora::parse;

namespace {

std::wstring wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

class Pilot : public ::testing::Test {
protected:
    void SetUp() override {
        state.reset();
        env.fileSize = [](const std::string& path) -> long long {
            if (path == "D:\\VOL\\DB2.DSM") return 33LL << 20;
            if (path == "D:\\VOL\\DISK1.DSM") return 64LL << 20;
            return -1;
        };
    }
    int run(const std::string& cmd) {
        out.clear();
        return pilot::runCommand(state, cmd, out, env);
    }
    int macro(const std::string& text, bool itemCommit = true) {
        out.clear();
        return pilot::runMacro(state, text, itemCommit, out, env);
    }
    std::wstring query(const std::string& q) {
        EXPECT_EQ(run(q), 0) << out;
        // Replies travel with CR LF line ends.
        std::string crlf;
        for (char c : out) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        return wide(crlf);
    }
    pilot::ServerState state;
    pilot::Environment env;
    std::string out;
};

TEST_F(Pilot, DeviceWizardCommandsReadBackThroughTheParsers) {
    ASSERT_EQ(macro("define library lb0.6.0.1 libtype=scsi device=lb0.6.0.1\n"
                    "define drive lb0.6.0.1 mt0.4.0.1 device=mt0.4.0.1 element=116\n"
                    "define devc dltclass devtype=DLT format=drive library=lb0.6.0.1\n"
                    "define library manlib libtype=manual\n"
                    "define drive manlib tape0 device=mt1.2.0.1\n"
                    "define devc fileclass devtype=FILE directory=D:\\QORA\\VOLS maxcap=25M\n"
                    "define stgpool tapepool dltclass maxscratch=500\n"
                    "update stgpool backuppool next=\"tapepool\"\n"),
              0)
        << out;

    LibraryResults libs;
    parseLibraries(libs, query("query library f=d"));
    ASSERT_EQ(libs.count(), 2u);
    EXPECT_EQ(libs.records[0].library, L"LB0.6.0.1");
    EXPECT_EQ(libs.records[0].libraryType, L"SCSI");
    EXPECT_EQ(libs.records[0].device, L"lb0.6.0.1");
    EXPECT_EQ(libs.records[1].libraryType, L"MANUAL");

    DriveResults drives;
    parseDrives(drives, query("q drive f=d"));
    ASSERT_EQ(drives.count(), 2u);
    EXPECT_EQ(drives.records[0].drive, L"MT0.4.0.1");
    EXPECT_EQ(drives.records[0].device, L"mt0.4.0.1");
    EXPECT_EQ(drives.records[0].element, L"116");
    EXPECT_EQ(drives.records[1].element, L"");

    DeviceClassResults dcs;
    parseDeviceClasses(dcs, query("query devclass f=d"));
    ASSERT_EQ(dcs.count(), 3u);  // DISK, DLTCLASS, FILECLASS
    EXPECT_EQ(dcs.records[1].szQoraDevClassName, L"DLTCLASS");
    EXPECT_EQ(dcs.records[1].szQoraDevClassStrategy, L"Sequential");
    EXPECT_EQ(dcs.records[1].szQoraDevClassPoolCount, L"1");
    EXPECT_EQ(dcs.records[1].szQoraDevClassDeviceType, L"DLT");
    EXPECT_EQ(dcs.records[1].szQoraDevClassLibName, L"LB0.6.0.1");
    EXPECT_EQ(dcs.records[2].directory, L"D:\\QORA\\VOLS");

    StoragePoolResults pools;
    parseStoragePools(pools, query("q stg f=d"),
                      {L"Storage Pool Name", L"Storage Pool Type", L"Migration in Progress?"});
    ASSERT_EQ(pools.count(), 4u);
    EXPECT_EQ(pools.records[1].pool, L"BACKUPPOOL");
    EXPECT_EQ(pools.records[1].nextPool, L"TAPEPOOL");
    EXPECT_EQ(pools.records[3].pool, L"TAPEPOOL");
    EXPECT_EQ(pools.records[3].devClass, L"DLTCLASS");
    EXPECT_EQ(pools.records[3].nextPool, L"None");
}

TEST_F(Pilot, NodeWizardDomainCommandsReadBack) {
    ASSERT_EQ(macro("copy domain standard dom1\n"
                    "update copygroup dom1 standard standard standard dest=backuppool verexist=5 verdel=2 "
                    "retextra=NOLimit retonly=90\n"
                    "update domain dom1 descr='Created by the node wizard for nodes that keep five versions "
                    "of each file'\n"
                    "validate policyset dom1 standard\n"
                    "activate policyset dom1 standard\n"
                    "register node client1 secret domain=dom1\n"
                    "register node client2 secret\n"
                    "update node client2 domain=dom1\n"),
              0)
        << out;

    CopyGroupResults cgs;
    parseCopyGroups(cgs, query("query copygroup f=d"),
                    {L"Policy Domain Name", L"Policy Set Name", L"Copy Destination"});
    bool activeFound = false;
    for (auto& cg : cgs.records)
        if (cg.domain == L"DOM1" && cg.policySet == L"ACTIVE" && cg.copyGroupType == L"Backup") {
            activeFound = true;
            EXPECT_EQ(cg.versionsExists, 5);
            EXPECT_EQ(cg.versionsDeleted, 2);
            EXPECT_EQ(cg.retainOnly, 90);
            EXPECT_EQ(cg.destination, L"BACKUPPOOL");
        }
    EXPECT_TRUE(activeFound);

    NodeResults nodes;
    parseNodes(nodes, query("query node f=d"), {L"Node Name", L"Platform", L"Node Type"});
    ASSERT_EQ(nodes.count(), 2u);
    EXPECT_EQ(nodes.records[1].nodeName, L"CLIENT2");
    EXPECT_EQ(nodes.records[1].domain, L"DOM1");
    EXPECT_EQ(nodes.records[1].nodeType, L"Client");
    EXPECT_EQ(nodes.records[1].archiveDeleteAllowed, 1);
    EXPECT_EQ(nodes.records[1].backupDeleteAllowed, 0);

    DomainResults doms;
    parseDomains(doms, query("query domain f=d"),
                 {L"Policy Domain Name", L"Activated Policy Set", L"Number of Registered Nodes"});
    ASSERT_EQ(doms.count(), 2u);
    EXPECT_EQ(doms.records[0].domain, L"DOM1");
    EXPECT_EQ(doms.records[0].policySet, L"STANDARD");
    EXPECT_EQ(doms.records[0].registeredNodes, 2);
    EXPECT_EQ(doms.records[0].description,
              L"Created by the node wizard for nodes that keep five versions of each file");
    EXPECT_EQ(doms.records[0].backupGrace, 30);
}

TEST_F(Pilot, SchedulesAndAssociationsReadBack) {
    ASSERT_EQ(macro("register node client1 pw\nregister node client2 pw\n"
                    "def sched standard nightly desc='Nightly backup' action=Incremental options=\"-subdir=yes\" "
                    "objects=\"\" priority=5 startdate=12/01/2026 starttime=21:00 duration=2 duru=Hou period=1 "
                    "perunits=Day dayofweek=Any expiration=never\n"
                    "def assoc standard nightly client1,client2\n"
                    "def sched standard weekly action=Selective objects=\"c:\\* d:\\*\" dayofweek=Sat\n"),
              0)
        << out;
    ScheduleResults scheds;
    parseSchedules(scheds, query("query schedule f=d"), {L"Policy Domain Name", L"Schedule Name", L"Day of Week"});
    ASSERT_EQ(scheds.count(), 2u);
    const auto& n = scheds.records[0];
    EXPECT_EQ(n.scheduleName, L"NIGHTLY");
    EXPECT_EQ(n.description, L"Nightly backup");
    EXPECT_EQ(n.options, L"-subdir=yes");
    EXPECT_EQ(n.startDate, L"12/01/2026");
    EXPECT_EQ(n.startTime, L"21:00:00");
    EXPECT_EQ(n.duration, L"2 Hour(s)");
    EXPECT_EQ(n.dayOfWeek, L"Any");
    EXPECT_EQ(n.expiration, L"Never");
    EXPECT_EQ(scheds.records[1].dayOfWeek, L"Saturday");

    AssociationResults assocs;
    parseAssociations(assocs, query("query association"),
                      {L"Policy Domain Name", L"Schedule Name", L"Associated Nodes"});
    ASSERT_EQ(assocs.count(), 2u);
    ASSERT_EQ(assocs.records[0].nodes.size(), 2u);
    EXPECT_EQ(assocs.records[0].nodes[1].name, L"CLIENT2");
    EXPECT_TRUE(assocs.records[1].nodes.empty());

    // Deleting the schedule takes its associations along.
    EXPECT_EQ(run("del sched standard nightly"), 0) << out;
    parseAssociations(assocs, query("query association"),
                      {L"Policy Domain Name", L"Schedule Name", L"Associated Nodes"});
    ASSERT_EQ(assocs.count(), 1u);
    EXPECT_EQ(assocs.records[0].scheduleName, L"WEEKLY");
}

TEST_F(Pilot, VolumesExtendTheDatabaseAndThePools) {
    DatabaseResult before;
    parseDatabase(before, query("query db f=d"));
    ASSERT_TRUE(before.found);
    EXPECT_EQ(before.record.maximumExtension, L"0");
    ASSERT_EQ(macro("define dbvolume D:\\VOL\\DB2.DSM\nextend db 32\n"), 0) << out;
    DatabaseResult after;
    parseDatabase(after, query("q db f=d"));
    EXPECT_EQ(after.record.availableSpace, L"48");
    EXPECT_EQ(after.record.assignedCapacity, L"48");
    EXPECT_NE(run("extend db 1"), 0);  // nothing left to extend by

    LogResult log;
    parseLog(log, query("query log f=d"));
    EXPECT_TRUE(log.found);
    EXPECT_EQ(log.record.assignedCapacity, L"8");

    EXPECT_EQ(run("define volume backuppool D:\\VOL\\DISK1.DSM"), 0) << out;
    EXPECT_NE(run("define volume backuppool D:\\VOL\\MISSING.DSM"), 0);
    StoragePoolResults pools;
    parseStoragePools(pools, query("query stgpool backuppool f=d"),
                      {L"Storage Pool Name", L"Storage Pool Type", L"Migration in Progress?"});
    ASSERT_EQ(pools.count(), 1u);
    EXPECT_EQ(pools.records[0].estimatedCapacity, L"64.0");
}

// What the server refuses, with the code it answers.
TEST_F(Pilot, RefusesWithClearCodes) {
    struct Case {
        const char* command;
        int rc;
        const char* says;
    } cases[] = {
        {"frobnicate all", pilot::RC_UNKNOWN_COMMAND, "ANR2000E"},
        {"define widget x", pilot::RC_UNKNOWN_COMMAND, "ANR2000E"},
        {"define drive nolib d1 device=mt0", pilot::RC_NOT_FOUND, "Library NOLIB is not defined"},
        {"define devc c1 devtype=8mm", pilot::RC_SYNTAX, "LIBRARY"},
        {"define stgpool p1 nosuchclass", pilot::RC_NOT_FOUND, "NOSUCHCLASS"},
        {"define stgpool backuppool disk", pilot::RC_EXISTS, "already defined"},
        {"update node nobody domain=standard", pilot::RC_NOT_FOUND, "NOBODY"},
        {"define library l1 libtype=scsi", pilot::RC_SYNTAX, "DEVICE"},
        {"define library l1 color=red", pilot::RC_SYNTAX, "color"},
        {"define sched standard s1 descr='unclosed", pilot::RC_SYNTAX, "quote"},
        {"checkin libvol nolib search=yes status=scratch", pilot::RC_NOT_FOUND, "NOLIB"},
        {"query node", pilot::RC_NOMATCH, "No match"},
        {"d stgpool backuppool", pilot::RC_UNKNOWN_COMMAND, "ANR2000E"},  // "d" is no abbreviation
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.command), c.rc) << c.command << "\n" << out;
        EXPECT_NE(out.find(c.says), std::string::npos) << c.command << "\n" << out;
    }
}

TEST_F(Pilot, MacroWithoutItemCommitUndoesEverythingOnFailure) {
    const std::string text = "define library keep1 libtype=manual\ndefine drive nolib d1 device=x\n";
    EXPECT_EQ(macro(text, false), pilot::RC_NOT_FOUND);
    EXPECT_EQ(state.find("library", {"KEEP1"}), nullptr);
    EXPECT_EQ(macro(text, true), pilot::RC_NOT_FOUND);
    EXPECT_NE(state.find("library", {"KEEP1"}), nullptr);
}

TEST_F(Pilot, MacroCodeIsTheLastCommandsUnlessOneFailed) {
    EXPECT_EQ(macro("query db f=d\nquery node f=d\n"), pilot::RC_NOMATCH);
    EXPECT_EQ(macro("query node f=d\nquery db f=d\n"), 0);
    EXPECT_EQ(macro("/* comment */\n\n* another\n"), 0);
}

TEST_F(Pilot, StateSurvivesSerialisation) {
    ASSERT_EQ(run("define library lib7 libtype=manual"), 0);
    ASSERT_EQ(run("define sched standard s1 descr='tab\there'"), 0);
    pilot::ServerState copy;
    ASSERT_TRUE(copy.deserialize(state.serialize()));
    EXPECT_NE(copy.find("library", {"LIB7"}), nullptr);
    EXPECT_EQ(copy.serialize(), state.serialize());
    EXPECT_FALSE(copy.deserialize("garbage"));
    EXPECT_NE(copy.find("library", {"LIB7"}), nullptr);  // a damaged file changes nothing
}

TEST_F(Pilot, LogonIsCaseInsensitive) {
    EXPECT_TRUE(pilot::checkLogon(state, "admin", "pelko"));
    EXPECT_TRUE(pilot::checkLogon(state, "ADMIN", "Pelko"));
    EXPECT_FALSE(pilot::checkLogon(state, "admin", "wrong"));
    EXPECT_FALSE(pilot::checkLogon(state, "nobody", "pelko"));
}

}  // namespace
