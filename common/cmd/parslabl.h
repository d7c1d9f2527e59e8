// The translated reply parsers, fed with the labels of the message library,
// so that they read the server's output in the user's language.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "common/cmd/msglib.h"
#include "common/cmd/parscg.h"
#include "common/cmd/parsched.h"
#include "common/cmd/parsdom.h"
#include "common/cmd/parsnode.h"
#include "common/cmd/parsqstg.h"

// Trace output for the parsers: writes under T_CMD_PARSE, empty while the
// flag is off. Pass it to the parsers that need no labels as well.
qora::parse::TraceSink parserTrace();

class CParseLabels {
public:
    // Where label texts come from: message number to text, empty when missing.
    using TextSource = std::function<std::wstring(UINT id)>;

    CParseLabels();  // the message library
    explicit CParseLabels(TextSource source);

    unsigned parseCopyGroups(qora::parse::CopyGroupResults& results, std::wstring_view text);
    unsigned parseNodes(qora::parse::NodeResults& results, std::wstring_view text);
    unsigned parseSchedules(qora::parse::ScheduleResults& results, std::wstring_view text);
    unsigned parseAssociations(qora::parse::AssociationResults& results, std::wstring_view text);
    unsigned parseDomains(qora::parse::DomainResults& results, std::wstring_view text);
    unsigned parseStoragePools(qora::parse::StoragePoolResults& results, std::wstring_view text);

    // Word helpers for the pages that read the records.
    static bool isNo(std::wstring_view word);
    static std::wstring removeCommas(std::wstring_view word);

private:
    qora::parse::BlockLabels load(UINT first, UINT second, UINT third) const;

    std::optional<CIfcMsgLib> msgLib_;
    TextSource source_;
};
