// The reply parsers on the server's replies as it prints them.
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
#include "tests/common/cmd/parsfixture.h"
#include "tests/common/cmd/parsprint.h"

using namespace qora::parse;

namespace {

std::vector<NodeEntry> entries(std::initializer_list<const wchar_t*> names) {
    std::vector<NodeEntry> out;
    for (const wchar_t* n : names) out.push_back({n});
    return out;
}

// Every fixture's blocks, as one macro's output would hold them.
std::wstring wholeMacroOutput() {
    std::wstring all;
    for (const char* name : {"qlibrary.txt", "qdevclass.txt", "qdrive.txt", "qstgpool.txt", "qdb.txt",
                             "qlog.txt", "qnode.txt", "qcopygroup.txt", "qschedule.txt",
                             "qassociation.txt", "qdomain.txt"})
        all += fixture::read(name);
    return all;
}

}  // namespace

TEST(LineModel, KeepsCarriageReturnOnlyLinesAndDropsRunsOfLineFeeds) {
    std::wstring text = L"a b\r\n\r\n\n\nc\r\n";
    Lines lines = splitLines(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"a b");
    EXPECT_EQ(lines[1], L"");
    EXPECT_EQ(lines[2], L"c");
}

TEST(LineModel, WordsLabelsAndNumbers) {
    EXPECT_EQ(word(L"   Storage Pool Name:  BACKUPPOOL", 3), L"BACKUPPOOL");
    EXPECT_EQ(word(L"Storage Pool Name:", 3), L"");
    EXPECT_EQ(afterLabel(L"  Description: Nightly: all drives  "), L"Nightly: all drives");
    EXPECT_EQ(afterLabel(L"no colon here"), L"");
    EXPECT_EQ(numberOf(L"1,024"), 1024);
    EXPECT_EQ(numberOf(L"No"), 0);
    EXPECT_EQ(numberOf(L""), 0);
    EXPECT_EQ(numberOf(L"99999999999"), 0);
    EXPECT_TRUE(isNo(L" no "));
    EXPECT_FALSE(isNo(L"Nope"));
}

TEST(StoragePools, EachBlockTakesTheNextPoolFromItsOwnLayout) {
    StoragePoolResults r;
    ASSERT_EQ(parseStoragePools(r, fixture::read("qstgpool.txt"), fixture::poolLabels), 0u);
    EXPECT_TRUE(r.success);
    std::vector<StoragePoolRecord> expected = {
        // "Pct" on line 4 and the migration label on line 9: next pool on line 12
        {L"BACKUPPOOL", L"Primary", L"DISK", L"TAPEPOOL", L"1,024.0"},
        // "Pct" on line 4 without the migration label: line 10
        {L"TAPEPOOL", L"Primary", L"DLTCLASS", L"OVERFLOW", L"40,960.0"},
        // no "Pct": line 9; no capacity given
        {L"OFFSITE", L"Copy", L"DLTCLASS", L"FILEPOOL", L"0.0"},
        // an empty next pool line
        {L"ARCHIVEPOOL", L"Primary", L"DISK", L"None", L"8.0"},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(StoragePools, KeepsEveryPoolOfALongReply) {
    std::wstring text;
    for (int i = 0; i < 300; ++i) {
        text += L"Storage Pool Name: POOL" + std::to_wstring(i) +
                L"\r\nStorage Pool Type: Primary\r\nDevice Class Name: DISK\r\n";
        for (int l = 3; l < 9; ++l) text += L"Filler: x\r\n";
        text += L"Next Storage Pool: POOL" + std::to_wstring(i + 1) + L"\r\n\r\n";
    }
    StoragePoolResults r;
    ASSERT_EQ(parseStoragePools(r, text, fixture::poolLabels), 0u);
    ASSERT_EQ(r.count(), 300u);
    EXPECT_EQ(r.records[299].pool, L"POOL299");
    EXPECT_EQ(r.records[299].nextPool, L"POOL300");
}

TEST(DeviceClasses, LibraryLineMovesDownAfterADriveLetterLine) {
    DeviceClassResults r;
    ASSERT_EQ(parseDeviceClasses(r, fixture::read("qdevclass.txt")), 0u);
    std::vector<DeviceClassRecord> expected = {
        {L"DISK", L"Random", L"2", L"DISK", L"", L"", L""},
        {L"DLTCLASS", L"Sequential", L"2", L"DLT", L"DRIVE", L"AUTOLIB", L""},
        {L"FILECLASS", L"Sequential", L"1", L"FILE", L"DRIVE", L"", L"D:\\QORA\\VOLS"},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(Drives, ReadEveryDrive) {
    DriveResults r;
    ASSERT_EQ(parseDrives(r, fixture::read("qdrive.txt")), 0u);
    std::vector<DriveRecord> expected = {
        {L"AUTOLIB", L"DRIVE1", L"DLT", L"mt0.4.0.1", L"116"},
        {L"AUTOLIB", L"DRIVE2", L"DLT", L"mt0.5.0.1", L"117"},
        {L"MANLIB", L"TAPE0", L"8MM", L"mt1.2.0.1", L""},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(Libraries, ReadEveryLibrary) {
    LibraryResults r;
    ASSERT_EQ(parseLibraries(r, fixture::read("qlibrary.txt")), 0u);
    std::vector<LibraryRecord> expected = {
        {L"AUTOLIB", L"SCSI", L"lb0.6.0.1", L""},
        {L"MANLIB", L"MANUAL", L"", L""},
        {L"ACSLIB", L"EXTERNAL", L"", L"C:\\ACSLS\\ACSMGR.EXE"},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(DatabaseAndLog, TheLastBlockWins) {
    DatabaseResult db;
    parseDatabase(db, fixture::read("qdb_two.txt"));
    ASSERT_TRUE(db.found);
    EXPECT_EQ(db.record, (DatabaseRecord{L"1,024", L"1,000", L"24", L"980", L""}));

    LogResult log;
    parseLog(log, fixture::read("qlog.txt"));
    ASSERT_TRUE(log.found);
    EXPECT_EQ(log.record, (LogRecord{L"8", L"8", L"0", L"4", L"0.6"}));

    // the database reply is not a log reply and the other way round
    parseLog(log, fixture::read("qdb.txt"));
    EXPECT_FALSE(log.found);
    parseDatabase(db, fixture::read("qlog.txt"));
    EXPECT_FALSE(db.found);
}

TEST(CopyGroups, NumbersWithThousandsSeparators) {
    CopyGroupResults r;
    ASSERT_EQ(parseCopyGroups(r, fixture::read("qcopygroup.txt"), fixture::copyGroupLabels), 0u);
    std::vector<CopyGroupRecord> expected = {
        {L"STANDARD", L"ACTIVE", L"STANDARD", L"STANDARD", L"Backup", L"BACKUPPOOL", 2, 1, 30, 60},
        {L"STANDARD", L"STANDARD", L"STANDARD", L"STANDARD", L"Backup", L"BACKUPPOOL", 2, 1, 30, 60},
        {L"ENGINEERING", L"ACTIVE", L"CADFILES", L"STANDARD", L"Backup", L"TAPEPOOL", 1024, 0, 1000, 9999},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(Nodes, DeleteRightsAndServerMarker) {
    NodeResults r;
    ASSERT_EQ(parseNodes(r, fixture::read("qnode.txt"), fixture::nodeLabels), 0u);
    std::vector<NodeRecord> expected = {
        {L"CLIENT1", L"STANDARD", L"Client", L"", L"", L"Client", 1, 0, 1, 0},
        {L"BLDG4-CAD-WORKSTATION-0017", L"ENGINEERING", L"Yes", L"WINOPTS",
         L"http://bldg4-cad-0017:1581", L"Client", 0, 1, 1, 0},
        {L"FILESRV", L"STANDARD", L"No", L"", L"", L"Server", 1, 1, 1, 0},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(Nodes, ABlockShorterThanTwentySevenLinesIsNoBlock) {
    NodeResults r;
    EXPECT_EQ(parseNodes(r, fixture::read("qnode_short.txt"), fixture::nodeLabels), 1903u);
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.count(), 0u);
}

TEST(Schedules, ValuesThatGoBackToTheServerSurviveWhole) {
    ScheduleResults r;
    ASSERT_EQ(parseSchedules(r, fixture::read("qschedule.txt"), fixture::scheduleLabels), 0u);
    std::vector<ScheduleRecord> expected = {
        {L"STANDARD", L"DAILY_INCR", L"Daily incremental backup", L"Incremental", L"", L"", L"5",
         L"11/30/2026", L"21:00:00", L"1 Hour(s)", L"1 Day(s)", L"Any", L"Never", 1, 0},
        {L"ENGINEERING", L"NIGHTLY", L"Nightly: all drives", L"Selective", L"-subdir=yes",
         L"c:\\my files\\* d:\\cad\\*", L"2", L"12/01/2026", L"23:30:00", L"4 Hour(s)",
         L"1 Day(s)", L"Weekday", L"12/31/2027", 1, 0},
        {L"ENGINEERING", L"MONTHLY_ARC", L"Monthly archive", L"Archive",
         L"-subdir=yes -desc=\"Monthly\"", L"d:\\projects\\*", L"1", L"12/05/2026", L"02:00:00",
         L"6 Hour(s)", L"1 Month(s)", L"Saturday", L"Never", 1, 0},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(Associations, NodeListsRunOverSeveralLines) {
    AssociationResults r;
    ASSERT_EQ(parseAssociations(r, fixture::read("qassociation.txt"), fixture::associationLabels), 0u);
    ASSERT_EQ(r.count(), 3u);
    EXPECT_EQ(r.records[0].nodes, entries({L"CLIENT1", L"FILESRV"}));
    EXPECT_EQ(r.records[1].scheduleName, L"NIGHTLY");
    EXPECT_EQ(r.records[1].nodes, entries({L"BLDG4-CAD-WORKSTATION-0017", L"CAD2", L"CAD3", L"CAD4",
                                           L"CAD5", L"CAD6", L"CAD7"}));
    EXPECT_EQ(r.records[1].nodeCount, 7);
    EXPECT_EQ(r.records[2].nodeCount, 0);
    EXPECT_EQ(r.records[2].onServer, 1);
}

TEST(Associations, ANodeListWithoutBlankLineStopsAtTheNextBlock) {
    std::wstring text =
        L"Policy Domain Name: D1\r\nSchedule Name: S1\r\nAssociated Nodes: A B\r\n   C\r\n"
        L"Policy Domain Name: D2\r\nSchedule Name: S2\r\nAssociated Nodes: E\r\n";
    AssociationResults r;
    ASSERT_EQ(parseAssociations(r, text, fixture::associationLabels), 0u);
    ASSERT_EQ(r.count(), 2u);
    EXPECT_EQ(r.records[0].nodes, entries({L"A", L"B", L"C"}));
    EXPECT_EQ(r.records[1].nodes, entries({L"E"}));
}

TEST(Domains, DescriptionLinesJoinAsTheServerBrokeThem) {
    DomainResults r;
    ASSERT_EQ(parseDomains(r, fixture::read("qdomain.txt"), fixture::domainLabels), 0u);
    std::vector<DomainRecord> expected = {
        {L"STANDARD", L"STANDARD", L"Installed default policy domain.", 3, 30, 365, 1, 0},
        {L"ENGINEERING", L"",
         L"Workstations of the engineering department in building 4: nightly incremental "
         L"backups, archives kept for seven years.",
         1024, 1095, 2555, 1, 0},
    };
    EXPECT_EQ(r.records, expected);
}

TEST(Domains, ACutOffBlockDoesNotSwallowTheNextOne) {
    std::wstring text = L"Policy Domain Name: D1\r\nActivated Policy Set: P\r\n\r\n\r\n\r\n"
                        L"Number of Registered Nodes: 1\r\nDescription: first\r\n"
                        L"Policy Domain Name: D2\r\nActivated Policy Set: P\r\n\r\n\r\n\r\n"
                        L"Number of Registered Nodes: 2\r\nDescription: second\r\n"
                        L"Backup Retention (Grace Period): 5\r\nArchive Retention (Grace Period): 6\r\n";
    DomainResults r;
    ASSERT_EQ(parseDomains(r, text, fixture::domainLabels), 0u);
    ASSERT_EQ(r.count(), 2u);
    EXPECT_EQ(r.records[0].description, L"first");
    EXPECT_EQ(r.records[0].backupGrace, 0);
    EXPECT_EQ(r.records[1].description, L"second");
    EXPECT_EQ(r.records[1].archiveGrace, 6);
}

TEST(Widths, OverLongFieldsAreCutAtTheirWidth) {
    std::wstring longName(500, L'N');
    std::wstring text = fixture::read("qnode.txt");
    text.replace(text.find(L"CLIENT1"), 7, longName);
    NodeResults nodes;
    ASSERT_EQ(parseNodes(nodes, text, fixture::nodeLabels), 0u);
    EXPECT_EQ(nodes.records[0].nodeName, std::wstring(383, L'N'));

    std::wstring domain = fixture::read("qdomain.txt");
    std::wstring piece = L"                                   " + std::wstring(60, L'x') + L"\r\n";
    std::wstring many;
    for (int i = 0; i < 20; ++i) many += piece;
    domain.insert(domain.find(L"  Backup Retention"), many);
    DomainResults domains;
    ASSERT_EQ(parseDomains(domains, domain, fixture::domainLabels), 0u);
    EXPECT_EQ(domains.records[0].description.size(), 511u);
    EXPECT_EQ(domains.records[0].backupGrace, 30);
}

TEST(MacroOutput, EachParserPicksOnlyItsOwnBlocks) {
    std::wstring all = wholeMacroOutput();
    CopyGroupResults cg;
    EXPECT_EQ(parseCopyGroups(cg, all, fixture::copyGroupLabels), 0u);
    EXPECT_EQ(cg.count(), 3u);
    NodeResults nodes;
    EXPECT_EQ(parseNodes(nodes, all, fixture::nodeLabels), 0u);
    EXPECT_EQ(nodes.count(), 3u);
    ScheduleResults sched;
    EXPECT_EQ(parseSchedules(sched, all, fixture::scheduleLabels), 0u);
    EXPECT_EQ(sched.count(), 3u);
    AssociationResults assoc;
    EXPECT_EQ(parseAssociations(assoc, all, fixture::associationLabels), 0u);
    EXPECT_EQ(assoc.count(), 3u);
    DomainResults dom;
    EXPECT_EQ(parseDomains(dom, all, fixture::domainLabels), 0u);
    EXPECT_EQ(dom.count(), 2u);
    StoragePoolResults pools;
    EXPECT_EQ(parseStoragePools(pools, all, fixture::poolLabels), 0u);
    EXPECT_EQ(pools.count(), 4u);
    DeviceClassResults dc;
    parseDeviceClasses(dc, all);
    EXPECT_EQ(dc.count(), 3u);
    DriveResults drives;
    parseDrives(drives, all);
    EXPECT_EQ(drives.count(), 3u);
    LibraryResults libs;
    parseLibraries(libs, all);
    EXPECT_EQ(libs.count(), 3u);
}

TEST(Failures, MissingLabelsAndRepliesWithoutBlocks) {
    const BlockLabels noThird{L"Policy Domain Name", L"Policy Set Name", L""};
    CopyGroupResults cg;
    EXPECT_EQ(parseCopyGroups(cg, fixture::read("qcopygroup.txt"), noThird), 1902u);
    EXPECT_FALSE(cg.success);
    NodeResults nodes;
    EXPECT_EQ(parseNodes(nodes, fixture::read("qnode.txt"), {}), 1902u);
    StoragePoolResults pools;
    EXPECT_EQ(parseStoragePools(pools, fixture::read("qstgpool.txt"),
                                {L"Storage Pool Name", L"Storage Pool Type", L""}),
              1902u);
    EXPECT_EQ(pools.count(), 0u);

    const std::wstring noBlock = L"ANS1234E No match found using this criteria.\r\n";
    EXPECT_EQ(parseStoragePools(pools, noBlock, fixture::poolLabels), 1903u);
    EXPECT_FALSE(pools.success);
    EXPECT_EQ(parseSchedules(*std::make_unique<ScheduleResults>(), L"", fixture::scheduleLabels), 1903u);
    LibraryResults libs;
    parseLibraries(libs, noBlock);
    EXPECT_EQ(libs.errorCode, 1903u);
    DatabaseResult db;
    parseDatabase(db, noBlock);
    EXPECT_FALSE(db.found);
    EXPECT_EQ(db.errorCode, 0u);
}

TEST(Free, LeavesAnEmptySuccessfulContainerAndTraces) {
    StoragePoolResults pools;
    parseStoragePools(pools, fixture::read("qstgpool.txt"), fixture::poolLabels);
    std::wstring traced;
    freeStoragePools(pools, [&](std::wstring_view t) { traced += t; });
    EXPECT_EQ(pools.count(), 0u);
    EXPECT_TRUE(pools.success);
    EXPECT_EQ(traced, L"Freeing stgpool results\npAsp != NULL\nnStgpools: 4\n"
                      L"freeing pool info: 0\nfreeing pool info: 1\nfreeing pool info: 2\n"
                      L"freeing pool info: 3\n");
}

TEST(Trace, LineCountAndRecordDump) {
    LibraryResults libs;
    std::wstring traced;
    parseLibraries(libs, fixture::read("qlibrary.txt"), [&](std::wstring_view t) { traced += t; });
    EXPECT_EQ(traced.rfind(L"Parsed 26 lines\n", 0), 0u) << qora::parse::printable(traced.substr(0, 40));
    EXPECT_NE(traced.find(L"    Library Name: AUTOLIB\n    Library Type: SCSI\n  Library Device: "
                          L"lb0.6.0.1\n Library Ext Mgr: \n"),
              std::wstring::npos);
}
