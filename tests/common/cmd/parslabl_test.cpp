// The translated parsers with their labels from the installed message library.
#include <gtest/gtest.h>

#include "common/cmd/parslabl.h"
#include "common/cmd/trace.h"
#include "parsers_ids.h"
#include "tests/common/cmd/parsfixture.h"
#include "tests/common/cmd/regtest.h"

using namespace qora::parse;

namespace {
class InstalledLabels : public regtest::InstalledProduct {
protected:
    void TearDown() override { freeMessageLibraries(); }
};
}  // namespace

TEST_F(InstalledLabels, EveryLabelIsInTheEnglishLibrary) {
    CIfcMsgLib libraries;
    for (UINT id = IDS_LABEL_CG_DOMAIN; id <= IDS_LABEL_POOL_MIGRATING; ++id) {
        tstring text;
        EXPECT_GT(loadString(id, text), 0) << id;
    }
}

TEST_F(InstalledLabels, ReadTheServersRepliesThroughTheLibrary) {
    CParseLabels labels;
    CopyGroupResults cg;
    EXPECT_EQ(labels.parseCopyGroups(cg, fixture::read("qcopygroup.txt")), 0u);
    EXPECT_EQ(cg.count(), 3u);
    NodeResults nodes;
    EXPECT_EQ(labels.parseNodes(nodes, fixture::read("qnode.txt")), 0u);
    EXPECT_EQ(nodes.count(), 3u);
    ScheduleResults sched;
    EXPECT_EQ(labels.parseSchedules(sched, fixture::read("qschedule.txt")), 0u);
    EXPECT_EQ(sched.count(), 3u);
    AssociationResults assoc;
    EXPECT_EQ(labels.parseAssociations(assoc, fixture::read("qassociation.txt")), 0u);
    EXPECT_EQ(assoc.count(), 3u);
    DomainResults dom;
    EXPECT_EQ(labels.parseDomains(dom, fixture::read("qdomain.txt")), 0u);
    EXPECT_EQ(dom.count(), 2u);
    StoragePoolResults pools;
    EXPECT_EQ(labels.parseStoragePools(pools, fixture::read("qstgpool.txt")), 0u);
    ASSERT_EQ(pools.count(), 4u);
    EXPECT_EQ(pools.records[0].nextPool, L"TAPEPOOL");
}

TEST(ParseLabels, ALabelMissingFromTheLibraryGives1902) {
    CParseLabels labels([](UINT id) {
        return id == IDS_LABEL_SCHED_DAY ? std::wstring() : std::wstring(L"Policy Domain Name");
    });
    ScheduleResults sched;
    EXPECT_EQ(labels.parseSchedules(sched, fixture::read("qschedule.txt")), 1902u);
    EXPECT_FALSE(sched.success);
}

TEST(ParseLabels, WordHelpers) {
    EXPECT_TRUE(CParseLabels::isNo(L"NO "));
    EXPECT_FALSE(CParseLabels::isNo(L"Yes"));
    EXPECT_EQ(CParseLabels::removeCommas(L"1,024,000"), L"1024000");
}

TEST(ParseLabels, TracesUnderTheParserFlag) {
    qtest::TempDir dir(L"parstrace");
    ASSERT_EQ(traceStart((dir / L"trace.out").c_str()), 0);
    CParseLabels labels([](UINT id) {
        return std::wstring(id == IDS_LABEL_POOL_NAME   ? L"Storage Pool Name"
                            : id == IDS_LABEL_POOL_TYPE ? L"Storage Pool Type"
                                                        : L"Migration in Progress?");
    });
    StoragePoolResults pools;
    labels.parseStoragePools(pools, fixture::read("qstgpool.txt"));  // flag off: no lines
    ASSERT_EQ(traceSetFlag(T_CMD_PARSE, 1), 0);
    labels.parseStoragePools(pools, fixture::read("qstgpool.txt"));
    freeStoragePools(pools, parserTrace());
    traceSetFlag(T_CMD_PARSE, 0);
    std::string trace;
    for (char c : qtest::readFile(dir / L"trace.out"))
        if (c != '\r') trace += c;
    EXPECT_EQ(trace.find("Parsed "), trace.rfind("Parsed ")) << trace;
    for (const char* line : {"Parsed 83 lines\n", "         Pool: BACKUPPOOL\n", "Freeing stgpool results\n",
                             "nStgpools: 4\n", "freeing pool info: 3\n"})
        EXPECT_NE(trace.find(line), std::string::npos) << line << "\n" << trace;
}
