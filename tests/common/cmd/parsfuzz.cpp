// libFuzzer target: any bytes, read as wide text, through every parser.
#include <cstddef>
#include <cstdint>
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

using namespace qora::parse;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // one byte a character keeps the labels easy for the fuzzer to find
    std::wstring text(data, data + size);
    const BlockLabels labels{L"Name", L"Type", L"Nodes"};
    CopyGroupResults cg;
    parseCopyGroups(cg, text, labels);
    NodeResults nodes;
    parseNodes(nodes, text, labels);
    ScheduleResults sched;
    parseSchedules(sched, text, labels);
    AssociationResults assoc;
    parseAssociations(assoc, text, labels);
    DomainResults dom;
    parseDomains(dom, text, labels);
    StoragePoolResults pools;
    parseStoragePools(pools, text, labels);
    DeviceClassResults dc;
    parseDeviceClasses(dc, text);
    DriveResults drives;
    parseDrives(drives, text);
    LibraryResults libs;
    parseLibraries(libs, text);
    DatabaseResult db;
    parseDatabase(db, text);
    LogResult log;
    parseLog(log, text);
    return 0;
}
