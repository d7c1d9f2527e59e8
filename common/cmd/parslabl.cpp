#include "common/cmd/parslabl.h"

#include "common/cmd/trace.h"
#include "parsers_ids.h"

using namespace qora::parse;

TraceSink parserTrace() {
    if (!traceFlags[T_CMD_PARSE]) return {};
    return [](std::wstring_view text) {
        std::wstring line(text);
        traceMessage(__FILE__, __LINE__, L"%s", line.c_str());
    };
}

CParseLabels::CParseLabels()
    : msgLib_(std::in_place), source_([](UINT id) {
          tstring text;
          loadString(id, text);
          return std::wstring(text);
      }) {}

CParseLabels::CParseLabels(TextSource source) : source_(std::move(source)) {}

BlockLabels CParseLabels::load(UINT first, UINT second, UINT third) const {
    return {source_(first), source_(second), source_(third)};
}

unsigned CParseLabels::parseCopyGroups(CopyGroupResults& results, std::wstring_view text) {
    return qora::parse::parseCopyGroups(
        results, text, load(IDS_LABEL_CG_DOMAIN, IDS_LABEL_CG_POLICY_SET, IDS_LABEL_CG_DESTINATION),
        parserTrace());
}

unsigned CParseLabels::parseNodes(NodeResults& results, std::wstring_view text) {
    return qora::parse::parseNodes(
        results, text, load(IDS_LABEL_NODE_NAME, IDS_LABEL_NODE_PLATFORM, IDS_LABEL_NODE_TYPE),
        parserTrace());
}

unsigned CParseLabels::parseSchedules(ScheduleResults& results, std::wstring_view text) {
    return qora::parse::parseSchedules(
        results, text, load(IDS_LABEL_SCHED_DOMAIN, IDS_LABEL_SCHED_NAME, IDS_LABEL_SCHED_DAY),
        parserTrace());
}

unsigned CParseLabels::parseAssociations(AssociationResults& results, std::wstring_view text) {
    return qora::parse::parseAssociations(
        results, text,
        load(IDS_LABEL_ASSOC_DOMAIN, IDS_LABEL_ASSOC_SCHEDULE, IDS_LABEL_ASSOC_NODES),
        parserTrace());
}

unsigned CParseLabels::parseDomains(DomainResults& results, std::wstring_view text) {
    return qora::parse::parseDomains(
        results, text, load(IDS_LABEL_DOM_DOMAIN, IDS_LABEL_DOM_POLICY_SET, IDS_LABEL_DOM_NODES),
        parserTrace());
}

unsigned CParseLabels::parseStoragePools(StoragePoolResults& results, std::wstring_view text) {
    return qora::parse::parseStoragePools(
        results, text, load(IDS_LABEL_POOL_NAME, IDS_LABEL_POOL_TYPE, IDS_LABEL_POOL_MIGRATING),
        parserTrace());
}

bool CParseLabels::isNo(std::wstring_view word) { return qora::parse::isNo(word); }

std::wstring CParseLabels::removeCommas(std::wstring_view word) { return withoutCommas(word); }
