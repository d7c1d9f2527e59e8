// Damaged and hostile replies: every parser runs through them without a
// fault and answers with its codes.
#include <gtest/gtest.h>

#include <random>

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

using namespace qora::parse;

namespace {

const char* const kFixtures[] = {"qlibrary.txt", "qdevclass.txt", "qdrive.txt", "qstgpool.txt",
                                 "qdb.txt", "qdb_two.txt", "qlog.txt", "qnode.txt", "qnode_short.txt",
                                 "qcopygroup.txt", "qschedule.txt", "qassociation.txt",
                                 "qdomain.txt"};

bool fits(const std::wstring& field, std::size_t width) { return field.size() < width; }

// Runs every parser over the text; returns how many records they found and
// checks the result codes and field widths on the way.
std::size_t parseWithAll(const std::wstring& text) {
    std::size_t found = 0;
    auto code = [](unsigned c) { return c == PARSE_OK || c == PARSE_NO_BLOCK; };
    {
        CopyGroupResults r;
        EXPECT_TRUE(code(parseCopyGroups(r, text, fixture::copyGroupLabels)));
        for (auto& x : r.records) EXPECT_TRUE(fits(x.destination, 128) && fits(x.domain, 128));
        found += r.count();
    }
    {
        NodeResults r;
        EXPECT_TRUE(code(parseNodes(r, text, fixture::nodeLabels)));
        for (auto& x : r.records) EXPECT_TRUE(fits(x.nodeName, 384) && fits(x.url, 128));
        found += r.count();
    }
    {
        ScheduleResults r;
        EXPECT_TRUE(code(parseSchedules(r, text, fixture::scheduleLabels)));
        for (auto& x : r.records) EXPECT_TRUE(fits(x.objects, 128) && fits(x.description, 128));
        found += r.count();
    }
    {
        AssociationResults r;
        EXPECT_TRUE(code(parseAssociations(r, text, fixture::associationLabels)));
        for (auto& x : r.records) {
            EXPECT_EQ(x.nodeCount, int(x.nodes.size()));
            for (auto& n : x.nodes) EXPECT_TRUE(fits(n.name, 128));
        }
        found += r.count();
    }
    {
        DomainResults r;
        EXPECT_TRUE(code(parseDomains(r, text, fixture::domainLabels)));
        for (auto& x : r.records) EXPECT_TRUE(fits(x.description, 512));
        found += r.count();
    }
    {
        StoragePoolResults r;
        EXPECT_TRUE(code(parseStoragePools(r, text, fixture::poolLabels)));
        for (auto& x : r.records) EXPECT_TRUE(fits(x.devClass, 512) && fits(x.estimatedCapacity, 68));
        found += r.count();
    }
    {
        DeviceClassResults r;
        EXPECT_TRUE(code(parseDeviceClasses(r, text)));
        for (auto& x : r.records) EXPECT_TRUE(fits(x.directory, 64));
        found += r.count();
    }
    {
        DriveResults r;
        EXPECT_TRUE(code(parseDrives(r, text)));
        found += r.count();
    }
    {
        LibraryResults r;
        EXPECT_TRUE(code(parseLibraries(r, text)));
        found += r.count();
    }
    {
        DatabaseResult db;
        parseDatabase(db, text);
        EXPECT_EQ(db.errorCode, 0u);
        found += db.found;
        LogResult log;
        parseLog(log, text);
        EXPECT_TRUE(fits(log.record.utilization, 64));
        found += log.found;
    }
    return found;
}

}  // namespace

TEST(Corpus, EveryTruncationOfEveryReply) {
    for (const char* name : kFixtures) {
        std::wstring text = fixture::read(name);
        ASSERT_FALSE(text.empty()) << name;
        for (std::size_t cut = 0; cut <= text.size(); cut += 7) parseWithAll(text.substr(0, cut));
    }
}

TEST(Corpus, LinesWithoutColonsOrEnds) {
    std::wstring all;
    for (const char* name : kFixtures) all += fixture::read(name);
    std::wstring noColons = all;
    for (wchar_t& c : noColons)
        if (c == L':') c = L' ';
    parseWithAll(noColons);

    // carriage returns alone end no line: the whole reply is one line
    std::wstring noLineFeeds;
    for (wchar_t c : all)
        if (c != L'\n') noLineFeeds += c;
    EXPECT_EQ(parseWithAll(noLineFeeds), 0u);
    EXPECT_EQ(parseWithAll(L""), 0u);
}

TEST(Corpus, TenThousandCharacterLinesAreCutAtTheirFields) {
    std::wstring huge(10000, L'Z');
    for (const char* name : kFixtures) {
        std::wstring text = fixture::read(name);
        std::wstring widened;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos) end = text.size();
            std::wstring line = text.substr(start, end - start);
            std::size_t colon = line.find(L':');
            if (colon != std::wstring::npos) line.insert(colon + 1, L" " + huge + L" " + huge);
            widened += line + L"\n";
            start = end + 1;
        }
        parseWithAll(widened);
    }
}

TEST(Corpus, BinaryBytes) {
    std::mt19937 random(1901);
    std::uniform_int_distribution<int> any(0, 0xFFFF);
    std::uniform_int_distribution<int> few(0, 40);
    for (int round = 0; round < 200; ++round) {
        std::wstring text;
        for (int i = 0; i < 2000; ++i) text += wchar_t(few(random) == 0 ? L'\n' : any(random));
        parseWithAll(text);
    }
    // real replies with damage sprinkled in
    for (const char* name : kFixtures) {
        std::wstring text = fixture::read(name);
        for (int i = 0; i < 50; ++i) text[random() % text.size()] = wchar_t(any(random));
        parseWithAll(text);
    }
}
