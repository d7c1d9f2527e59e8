#include "common/cmd/parsdom.h"

namespace qora::parse {

namespace {
using R = DomainRecord;
enum Anchor { BACKUP_GRACE = ANCHOR, ARCHIVE_GRACE };

constexpr std::size_t DESCRIPTION_LINE = 6;
constexpr std::size_t MAX_CONTINUATION_LINES = 32;
constexpr std::wstring_view kBackupGraceLabel = L"Backup Retention (Grace Period):";

// The description runs from line 6 to the grace period line; a cut-off block
// never takes the lines of the next one.
bool endsDescription(const Block& block, std::size_t offset) {
    return !block.has(offset) || contains(block.line(offset), kBackupGraceLabel) ||
           block.startsBlock(offset);
}

std::size_t backupGraceLine(const Block& block) {
    std::size_t last = DESCRIPTION_LINE + MAX_CONTINUATION_LINES + 1;
    for (std::size_t i = DESCRIPTION_LINE + 1; i <= last && block.has(i); ++i) {
        if (contains(block.line(i), kBackupGraceLabel)) return i;
        if (block.startsBlock(i)) break;
    }
    return NO_LINE;
}

std::size_t locate(const Block& block, int anchor) {
    std::size_t backup = backupGraceLine(block);
    if (backup == NO_LINE || anchor == BACKUP_GRACE) return backup;
    return backup + 1;
}

// Continuation lines are indented to the value column; the pieces join
// directly, as the server broke the text.
void completeDomain(R& rec, const Block& block) {
    std::wstring_view first = block.line(DESCRIPTION_LINE);
    std::size_t colon = first.find(L':');
    if (colon == std::wstring_view::npos) return;
    std::wstring text(trimLeadingBlanks(first.substr(colon + 1)));
    for (std::size_t i = DESCRIPTION_LINE + 1;
         i <= DESCRIPTION_LINE + MAX_CONTINUATION_LINES && !endsDescription(block, i); ++i)
        text += trimLeadingBlanks(block.line(i));
    rec.description = fitted(trimBlanks(text), 512);
}

const Field<R> kFields[] = {
    wordField(L"          Domain", 0, 3, &R::domain, 128),
    wordField(L"      Policy Set", 1, 3, &R::policySet, 128),
    customField(L"     Description", &R::description, 512),
    numberField(L"Registered Nodes", 5, 4, &R::registeredNodes),
    numberField(L"    Backup Grace", BACKUP_GRACE, 4, &R::backupGrace),
    numberField(L"   Archive Grace", ARCHIVE_GRACE, 4, &R::archiveGrace),
    setField(L"       On Server", &R::onServer, 1),
    setField(L"        Modified", &R::modified, 0),
};
}  // namespace

unsigned parseDomains(DomainResults& results, std::wstring_view text, const BlockLabels& labels,
                      const TraceSink& trace) {
    const Signature signature[] = {{0, labels.first}, {1, labels.second}, {5, labels.third}};
    const Scheme<R> scheme{{signature, 5}, kFields, locate, completeDomain};
    if (labelsMissing(results, labels)) return results.errorCode;
    return parseList(results, text, scheme, trace);
}

void freeDomains(DomainResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing domain results\n"}, trace);
}

}  // namespace qora::parse
