#include "common/cmd/parsqdev.h"

namespace qora::parse {

namespace {
using R = DeviceClassRecord;
enum Anchor { LIBRARY_LINE = ANCHOR, DIRECTORY_LINE };

// Classes with a drive letter line carry their library one line further down.
std::size_t locate(const Block& block, int anchor) {
    std::size_t library = contains(block.line(10), L"Library:") ? 10 : 11;
    return anchor == LIBRARY_LINE ? library : library + 1;
}

const Signature kSignature[] = {{0, L"Device Class Name:"}, {1, L"Device Access Strategy:"}};
const Field<R> kFields[] = {
    wordField(L"szQoraDevClassName", 0, 3, &R::szQoraDevClassName, 64),
    wordField(L"szQoraDevClassStrategy", 1, 3, &R::szQoraDevClassStrategy, 64),
    wordField(L"szQoraDevClassPoolCount", 2, 3, &R::szQoraDevClassPoolCount, 64),
    wordField(L"szQoraDevClassDeviceType", 3, 2, &R::szQoraDevClassDeviceType, 64),
    wordField(L"szQoraDevClassFormat", 4, 1, &R::szQoraDevClassFormat, 64),
    wordField(L"szQoraDevClassLibName", LIBRARY_LINE, 1, &R::szQoraDevClassLibName, 64),
    wordField(L"directory", DIRECTORY_LINE, 1, &R::directory, 64),
};
const Scheme<R> kScheme{{kSignature, 1}, kFields, locate};
}  // namespace

unsigned parseDeviceClasses(DeviceClassResults& results, std::wstring_view text,
                            const TraceSink& trace) {
    return parseList(results, text, kScheme, trace);
}

void freeDeviceClasses(DeviceClassResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing db results\n", L"pAdc", L"nDeviceClasses"}, trace);
}

}  // namespace qora::parse
