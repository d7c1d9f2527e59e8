// The build tool's core: message source texts to a standard repository or a
// message table resource. No Win32 here.
#pragma once
#include <string>
#include <vector>

struct MsgSource {
    unsigned num;
    int severity;
    std::string text;        // with "@n%conv" inserts
};

// One message a line: number, severity letter, text; '#' lines and empty
// lines are skipped. Each text's inserts must be the ones kvtlabel passes.
bool msgParseSource(const std::string& source, std::vector<MsgSource>& out, std::string& error);
// Numbers kvtlabel issues that the source lacks.
std::vector<unsigned> msgMissingNumbers(const std::vector<MsgSource>& msgs);
bool msgBuildStandard(const std::vector<MsgSource>& msgs, std::string& image, std::string& error);
// A message table resource (the binary of a MESSAGETABLE): each text with its
// identifier in front and "\r\n" after it.
bool msgBuildTable(const std::vector<MsgSource>& msgs, std::string& image, std::string& error);
