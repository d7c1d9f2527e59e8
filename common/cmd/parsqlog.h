// The recovery log from the reply to "query log f=d".
#pragma once
#include "common/cmd/parsqdb.h"

namespace qora::parse {

using LogRecord = SpaceRecord;
using LogResult = SingleResult<LogRecord>;

void parseLog(LogResult& result, std::wstring_view text, const TraceSink& trace = {});

}  // namespace qora::parse
