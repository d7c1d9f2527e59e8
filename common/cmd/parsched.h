// Client schedules from the reply to "query schedule f=d" and their node
// associations from the reply to "query association".
#pragma once
#include "common/cmd/parsblk.h"

namespace qora::parse {

// The scheduling wizard sends these texts back to the server unchanged, so
// the values after a label are taken whole, colons and blanks included.
struct ScheduleRecord {
    std::wstring domain;        // 128
    std::wstring scheduleName;  // 128
    std::wstring description;   // 128
    std::wstring action;        // 128
    std::wstring options;       // 128
    std::wstring objects;       // 128
    std::wstring priority;      // 128
    std::wstring startDate;     // 128
    std::wstring startTime;     // 128
    std::wstring duration;      // 128
    std::wstring period;        // 128
    std::wstring dayOfWeek;     // 128
    std::wstring expiration;    // 128, "Never" when none
    int onServer = 0;  // 1: the schedule exists on the server; new ones carry 0
    int modified = 0;  // set by a wizard when the user changes the schedule

    bool operator==(const ScheduleRecord&) const = default;
};
using ScheduleResults = ParseResults<ScheduleRecord>;

struct NodeEntry {
    std::wstring name;  // 128
    int onServer = 1;
    int modified = 0;
    int deleted = 0;

    bool operator==(const NodeEntry&) const = default;
};

struct AssociationRecord {
    std::wstring domain;        // 128
    std::wstring scheduleName;  // 128
    std::vector<NodeEntry> nodes;
    int nodeCount = 0;
    int onServer = 0;
    int modified = 0;

    bool operator==(const AssociationRecord&) const = default;
};
using AssociationResults = ParseResults<AssociationRecord>;

// labels: the texts of messages 10008 (line 0), 10009 (line 1), 10010 (line 10).
unsigned parseSchedules(ScheduleResults& results, std::wstring_view text, const BlockLabels& labels,
                        const TraceSink& trace = {});
void freeSchedules(ScheduleResults& results, const TraceSink& trace = {});

// labels: the texts of messages 10011 (line 0), 10012 (line 1), 10013 (line 2).
unsigned parseAssociations(AssociationResults& results, std::wstring_view text,
                           const BlockLabels& labels, const TraceSink& trace = {});
void freeAssociations(AssociationResults& results, const TraceSink& trace = {});

}  // namespace qora::parse
