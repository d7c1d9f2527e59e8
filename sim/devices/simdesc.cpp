#include "simdesc.h"
#include <sstream>
#include <cstdlib>
#include <strings.h>

std::string SimDevice::get(const std::string& key, const std::string& def) const
{
    for (const auto& a : attrs)
        if (a.first == key)
            return a.second;
    return def;
}

long long SimDevice::num(const std::string& key, long long def) const
{
    std::string v = get(key);
    if (v.empty())
        return def;
    char* end = nullptr;
    long long n = std::strtoll(v.c_str(), &end, 0);
    return end && *end == '\0' ? n : def;
}

void SimDevice::set(const std::string& key, const std::string& value)
{
    for (auto it = attrs.begin(); it != attrs.end(); ++it)
        if (it->first == key) {
            if (value.empty())
                attrs.erase(it);
            else
                it->second = value;
            return;
        }
    if (!value.empty())
        attrs.emplace_back(key, value);
}

SimDevice* SimDescription::find(const std::string& name)
{
    for (auto& d : devices)
        if (strcasecmp(d.name.c_str(), name.c_str()) == 0)
            return &d;
    return nullptr;
}

bool simParseDescription(const std::string& text, SimDescription& out, std::string& error)
{
    out = SimDescription();
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        lineNo++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        if (line[first] == '#') {
            out.comments.push_back(line);
            continue;
        }
        std::istringstream words(line);
        SimDevice d;
        words >> d.name;
        std::string w;
        while (words >> w) {
            size_t eq = w.find('=');
            if (eq == std::string::npos || eq == 0) {
                error = "line " + std::to_string(lineNo) + ": expected key=value, got " + w;
                return false;
            }
            d.set(w.substr(0, eq), w.substr(eq + 1));
        }
        out.devices.push_back(d);
    }
    return true;
}

std::string simFormatDescription(const SimDescription& d)
{
    std::string s;
    for (const auto& c : d.comments)
        s += c + "\n";
    for (const auto& dev : d.devices) {
        s += dev.name;
        for (const auto& a : dev.attrs)
            s += " " + a.first + "=" + a.second;
        s += "\n";
    }
    return s;
}

static unsigned le32(const std::string& s, size_t at)
{
    return (unsigned char)s[at] | (unsigned char)s[at + 1] << 8 | (unsigned char)s[at + 2] << 16
         | (unsigned)(unsigned char)s[at + 3] << 24;
}

bool simDecodeTape(const std::string& image, std::vector<SimTapeItem>& items)
{
    items.clear();
    size_t pos = 0;
    while (pos < image.size()) {
        if (image.size() - pos < 4)
            return false;
        unsigned len = le32(image, pos);
        if (len == 0) {
            items.push_back({true, {}});
            pos += 4;
            continue;
        }
        if (image.size() - pos - 4 < (size_t)len + 4 || le32(image, pos + 4 + len) != len)
            return false;
        items.push_back({false, image.substr(pos + 4, len)});
        pos += 8 + (size_t)len;
    }
    return true;
}
