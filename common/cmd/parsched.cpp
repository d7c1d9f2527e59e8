#include "common/cmd/parsched.h"

namespace qora::parse {

namespace {
using S = ScheduleRecord;
const Field<S> kScheduleFields[] = {
    wordField(L"     Domain", 0, 3, &S::domain, 128),
    wordField(L"   Schedule", 1, 2, &S::scheduleName, 128),
    labelField(L"Description", 2, &S::description, 128),
    labelField(L"     Action", 3, &S::action, 128),
    labelField(L"    Options", 4, &S::options, 128),
    labelField(L"    Objects", 5, &S::objects, 128),
    labelField(L"   Priority", 6, &S::priority, 128),
    wordField(L" Start Date", 7, 2, &S::startDate, 128, nullptr, 4),
    wordField(L" Start Time", 7, 3, &S::startTime, 128, nullptr, 4),
    labelField(L"   Duration", 8, &S::duration, 128),
    labelField(L"     Period", 9, &S::period, 128),
    wordField(L"Day of Week", 10, 3, &S::dayOfWeek, 128),
    wordField(L" Expiration", 11, 1, &S::expiration, 128, L"Never"),
    setField(L"  On Server", &S::onServer, 1),
    setField(L"   Modified", &S::modified, 0),
};

using A = AssociationRecord;

void addNodes(A& rec, std::wstring_view line) {
    for (std::wstring_view name : words(line)) rec.nodes.push_back({fitted(name, 128)});
}

// The node list starts after the label on line 2 and goes on over the
// following lines up to the blank line that ends the block.
void completeAssociation(A& rec, const Block& block) {
    addNodes(rec, afterLabel(block.line(2)));
    for (std::size_t i = 3; block.has(i); ++i) {
        std::wstring_view line = block.line(i);
        if (isBlankLine(line) || block.startsBlock(i)) break;
        addNodes(rec, line);
    }
    rec.nodeCount = static_cast<int>(rec.nodes.size());
}

const Field<A> kAssociationFields[] = {
    wordField(L"  Domain", 0, 3, &A::domain, 128),
    wordField(L"Schedule", 1, 2, &A::scheduleName, 128),
    customField(L"   Nodes", &A::nodeCount),
    setField(L"On Server", &A::onServer, 1),
    setField(L"Modified", &A::modified, 0),
};
}  // namespace

unsigned parseSchedules(ScheduleResults& results, std::wstring_view text, const BlockLabels& labels,
                        const TraceSink& trace) {
    const Signature signature[] = {{0, labels.first}, {1, labels.second}, {10, labels.third}};
    const Scheme<S> scheme{{signature, 11}, kScheduleFields};
    if (labelsMissing(results, labels)) return results.errorCode;
    return parseList(results, text, scheme, trace);
}

void freeSchedules(ScheduleResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing sched results\n"}, trace);
}

unsigned parseAssociations(AssociationResults& results, std::wstring_view text,
                           const BlockLabels& labels, const TraceSink& trace) {
    const Signature signature[] = {{0, labels.first}, {1, labels.second}, {2, labels.third}};
    const Scheme<A> scheme{{signature, 2}, kAssociationFields, nullptr, completeAssociation};
    if (labelsMissing(results, labels)) return results.errorCode;
    return parseList(results, text, scheme, trace);
}

void freeAssociations(AssociationResults& results, const TraceSink& trace) {
    releaseResults(results, {L"Freeing association results\n"}, trace);
}

}  // namespace qora::parse
