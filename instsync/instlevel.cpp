#include "instsync/instlevel.h"
#include <vector>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The number at the start of each field, without leading zeros, as digits:
// compared by length first, so no field can overflow.
std::vector<std::string> fieldNumbers(const std::string& level) {
    std::vector<std::string> fields(1);
    bool inDigits = true;
    for (char c : level) {
        if (c == '.') {
            fields.emplace_back();
            inDigits = true;
        } else if (inDigits && isDigit(c)) {
            if (!(fields.back().empty() && c == '0')) fields.back() += c;
        } else {
            inDigits = false;
        }
    }
    return fields;
}

}  // namespace

bool isValidMinVersion(const std::string& v) {
    if (v.size() < 7) return false;
    size_t pos = 0;
    for (int field = 0; field < 4; ++field) {
        if (pos >= v.size() || !isDigit(v[pos])) return false;
        ++pos;
        if (pos < v.size() && isDigit(v[pos])) ++pos;
        if (field < 3) {
            if (pos >= v.size() || v[pos] != '.') return false;
            ++pos;
        }
    }
    return true;
}

int compareLevels(const std::string& a, const std::string& b) {
    std::vector<std::string> fa = fieldNumbers(a), fb = fieldNumbers(b);
    size_t count = fa.size() > fb.size() ? fa.size() : fb.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string x = i < fa.size() ? fa[i] : std::string();
        const std::string y = i < fb.size() ? fb[i] : std::string();
        if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
        int c = x.compare(y);
        if (c) return c < 0 ? -1 : 1;
    }
    return 0;
}
