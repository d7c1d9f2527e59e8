#include "srvutil/devlist.h"

#include <cwctype>
#include <vector>

namespace {

bool isWhite(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

bool equalsNoCase(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return i == a.size() && !b[i];
}

// The value of a report line: everything after its label's colon, so that a
// root such as e:\ survives whole.
std::wstring lineValue(const std::wstring& line) {
    size_t colon = line.find(L':');
    if (colon == std::wstring::npos) return {};
    size_t b = colon + 1, e = line.size();
    while (b < e && isWhite(line[b])) ++b;
    while (e > b && isWhite(line[e - 1])) --e;
    return line.substr(b, e - b);
}

uint32_t decimalValue(const std::wstring& s) {
    uint64_t v = 0;
    for (wchar_t c : s) {
        if (c < L'0' || c > L'9') break;
        v = v * 10 + uint64_t(c - L'0');
        if (v > UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<uint32_t>(v);
}

const wchar_t kBlockLabel[] = L"Device Type:        ";

}  // namespace

DeviceKind deviceKindOfType(const std::wstring& type, bool allowPartition) {
    if (equalsNoCase(type, L"DiskPeripheral")) return DEVKIND_DISK;
    if (equalsNoCase(type, L"CdRomPeripheral")) return DEVKIND_CDROM;
    if (equalsNoCase(type, L"TapePeripheral")) return DEVKIND_TAPE;
    if (equalsNoCase(type, L"MediumChangerPeripheral")) return DEVKIND_CHANGER;
    if (equalsNoCase(type, L"OpticalDiskPeripheral")) return DEVKIND_OPTICAL;
    if (allowPartition && equalsNoCase(type, L"DiskPartition")) return DEVKIND_REMOVABLE;
    return DEVKIND_OTHER;
}

int parseDeviceReport(const std::wstring& text, DeviceEntry** list, int capacity) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        while (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }

    int count = 0;
    for (size_t i = 0; i < lines.size() && count < capacity; ++i) {
        if (lines[i].find(kBlockLabel) == std::wstring::npos) continue;
        // The block's lines in the report's order; a block cut short by the
        // next one or by the end of the file leaves the rest empty.
        std::wstring values[8];
        size_t n = 0;
        for (; n < 8 && i + n < lines.size(); ++n) {
            if (n && lines[i + n].find(kBlockLabel) != std::wstring::npos) break;
            values[n] = lineValue(lines[i + n]);
        }
        auto* entry = new DeviceEntry;
        entry->type = values[0];
        entry->deviceName = values[1];
        entry->deviceClass = values[2];
        entry->targetId = decimalValue(values[3]);
        entry->lun = decimalValue(values[4]);
        entry->bus = decimalValue(values[5]);
        entry->port = decimalValue(values[6]);
        entry->identifier = values[7];

        entry->kind = DEVKIND_OTHER;
        if (equalsNoCase(entry->deviceClass, L"DISK")) {
            entry->kind = DEVKIND_DISK;
        } else if (equalsNoCase(entry->deviceClass, L"GENERICTAPE") ||
                   equalsNoCase(entry->deviceClass, L"n/a")) {
            entry->kind = DEVKIND_TAPE;
        } else {
            entry->owned = 1;
        }
        DeviceKind byType = deviceKindOfType(entry->type, true);
        if (byType != DEVKIND_OTHER) entry->kind = byType;
        entry->key = static_cast<uint32_t>(count);
        list[count++] = entry;
        i += n - 1;
    }
    return count;
}

void FreeDeviceList(DeviceEntry** list, int capacity) {
    for (int i = 0; i < capacity; ++i) {
        delete list[i];
        list[i] = nullptr;
    }
}
