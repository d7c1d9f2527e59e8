#include "common/cmd/parsqdrv.h"

namespace qora::parse {

namespace {
using R = DriveRecord;
const Signature kSignature[] = {{0, L"Library Name:"}, {1, L"Drive Name:"}, {2, L"Device Type:"}};
// The device type is the word after "Device Type:", like the other values.
const Field<R> kFields[] = {
    wordField(L"  Library Name", 0, 2, &R::library, 256),
    wordField(L"    Drive Name", 1, 2, &R::drive, 256),
    wordField(L"   Device Type", 2, 2, &R::deviceType, 256),
    wordField(L"        Device", 3, 1, &R::device, 256),
    wordField(L"       Element", 5, 1, &R::element, 256),
};
const Scheme<R> kScheme{{kSignature, 2}, kFields};
}  // namespace

unsigned parseDrives(DriveResults& results, std::wstring_view text, const TraceSink& trace) {
    return parseList(results, text, kScheme, trace);
}

void freeDrives(DriveResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing drive results\n", L"pAdrvs", L"nDrives"}, trace);
}

}  // namespace qora::parse
