// Description file of the simulated devices: one device a line,
//   NAME key=value key=value ...
// '#' starts a comment line. No Win32 here.
#pragma once
#include <string>
#include <vector>
#include <utility>

struct SimDevice {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;

    std::string get(const std::string& key, const std::string& def = "") const;
    long long num(const std::string& key, long long def = 0) const;   // decimal or 0x hex
    void set(const std::string& key, const std::string& value);   // empty removes
};

struct SimDescription {
    std::vector<std::string> comments;
    std::vector<SimDevice> devices;
    SimDevice* find(const std::string& name);   // name compared without case
};

bool simParseDescription(const std::string& text, SimDescription& out, std::string& error);
std::string simFormatDescription(const SimDescription& d);

// Records of a tape image: 32-bit little-endian length before and after each
// record, a length of 0 for a tape mark, end of data at the end of the file.
struct SimTapeItem {
    bool mark;
    std::string data;
};
// False when the image is damaged (lengths that do not match or run past the end).
bool simDecodeTape(const std::string& image, std::vector<SimTapeItem>& items);
