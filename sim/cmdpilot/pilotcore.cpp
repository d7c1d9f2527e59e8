#include "sim/cmdpilot/pilotcore.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace pilot {

std::string upper(std::string s) {
    for (auto& c : s) c = (char)std::toupper((unsigned char)c);
    return s;
}

namespace {

std::string lower(std::string s) {
    for (auto& c : s) c = (char)std::tolower((unsigned char)c);
    return s;
}

// "INCREMENTAL" -> "Incremental", as the server prints enumerated values.
std::string title(const std::string& s) {
    std::string r = lower(s);
    if (!r.empty()) r[0] = (char)std::toupper((unsigned char)r[0]);
    return r;
}

// Abbreviations: a word names an entry when it is a prefix of the full name
// and at least `min` characters long.
struct Word {
    const char* full;
    size_t min;
};

const char* match(const std::string& word, const Word* table, size_t n) {
    std::string w = lower(word);
    for (size_t i = 0; i < n; ++i) {
        std::string full = table[i].full;
        if (w.size() >= table[i].min && w.size() <= full.size() && full.compare(0, w.size(), w) == 0)
            return table[i].full;
    }
    return nullptr;
}

const Word kVerbs[] = {
    {"define", 3}, {"update", 3}, {"delete", 3}, {"query", 1}, {"register", 3}, {"remove", 3},
    {"copy", 4}, {"validate", 4}, {"activate", 4}, {"checkin", 7}, {"extend", 3},
};

const Word kTypes[] = {
    {"library", 3}, {"drive", 3}, {"devclass", 4}, {"stgpool", 3}, {"volume", 1},
    {"dbvolume", 3}, {"logvolume", 4}, {"domain", 3}, {"policyset", 3}, {"mgmtclass", 3},
    {"copygroup", 4}, {"schedule", 2}, {"association", 5}, {"node", 1}, {"libvolume", 4},
    {"admin", 2}, {"db", 2}, {"log", 3},
};

const Word kParams[] = {
    {"libtype", 4}, {"device", 6}, {"element", 4}, {"devtype", 4}, {"format", 1},
    {"library", 3}, {"directory", 3}, {"maxcapacity", 4}, {"maxscratch", 4},
    {"nextstgpool", 4}, {"description", 4}, {"destination", 4}, {"verexists", 4},
    {"verdeleted", 4}, {"retextra", 4}, {"retonly", 4}, {"domain", 3}, {"action", 2},
    {"options", 3}, {"objects", 3}, {"priority", 3}, {"startdate", 6}, {"starttime", 6},
    {"duration", 5}, {"durunits", 4}, {"period", 4}, {"perunits", 4}, {"dayofweek", 3},
    {"expiration", 3}, {"search", 3}, {"status", 4}, {"type", 1}, {"compression", 4},
    {"archdelete", 5}, {"backdelete", 5}, {"url", 3}, {"contact", 3}, {"access", 3},
    {"highmig", 3}, {"lowmig", 3}, {"mountlimit", 5}, {"checklabel", 6},
};

struct Token {
    std::string key;    // canonical parameter name, empty for a positional word
    std::string value;  // quotes removed
    std::string raw;
};

// Splits a command into words; quotes (' or ") group blanks and are removed.
bool tokenize(const std::string& line, std::vector<Token>& out, std::string& bad) {
    size_t i = 0, n = line.size();
    while (i < n) {
        while (i < n && std::isspace((unsigned char)line[i])) ++i;
        if (i >= n) break;
        std::string raw, text;
        bool sawEq = false;
        std::string key;
        while (i < n && !std::isspace((unsigned char)line[i])) {
            char c = line[i];
            if (c == '\'' || c == '"') {
                size_t e = line.find(c, i + 1);
                if (e == std::string::npos) {
                    bad = "unbalanced quote";
                    return false;
                }
                text += line.substr(i + 1, e - i - 1);
                raw += line.substr(i, e - i + 1);
                i = e + 1;
                continue;
            }
            if (c == '=' && !sawEq) {
                sawEq = true;
                key = text;
                text.clear();
                raw += c;
                ++i;
                continue;
            }
            text += c;
            raw += c;
            ++i;
        }
        Token t;
        t.raw = raw;
        t.value = text;
        if (sawEq) {
            const char* canon = match(key, kParams, sizeof kParams / sizeof *kParams);
            if (!canon) {
                bad = key;
                return false;
            }
            t.key = canon;
        }
        out.push_back(t);
    }
    return true;
}

std::string typeLabel(const std::string& type) {
    static const std::map<std::string, std::string> names = {
        {"library", "Library"}, {"drive", "Drive"}, {"devclass", "Device class"},
        {"stgpool", "Storage pool"}, {"volume", "Volume"}, {"dbvolume", "Database volume"},
        {"logvolume", "Recovery log volume"}, {"domain", "Policy domain"},
        {"policyset", "Policy set"}, {"mgmtclass", "Management class"},
        {"copygroup", "Copy group"}, {"schedule", "Schedule"}, {"association", "Association"},
        {"node", "Node"}, {"libvolume", "Library volume"}, {"admin", "Administrator"}};
    auto it = names.find(type);
    return it == names.end() ? type : it->second;
}

std::string joinKeys(const std::vector<std::string>& keys) {
    std::string r;
    for (auto& k : keys) r += (r.empty() ? "" : " ") + k;
    return r;
}

std::string fmt(const char* f, long long v) {
    char b[64];
    std::snprintf(b, sizeof b, f, v);
    return b;
}

// 1024 -> "1,024", as the server prints counts.
std::string grouped(long long v) {
    std::string s = std::to_string(v < 0 ? -v : v);
    for (int i = (int)s.size() - 3; i > 0; i -= 3) s.insert((size_t)i, ",");
    return v < 0 ? "-" + s : s;
}

// One reply line: the label right-aligned so that its colon is in column 34.
std::string label(const std::string& text, const std::string& value) {
    std::string l = text.size() < 33 ? std::string(33 - text.size(), ' ') + text : text;
    return l + ":" + (value.empty() ? "" : " " + value);
}

// A long value goes on in the value column, 40 characters a line; a line
// never begins with a blank because the reader drops the indentation.
void wrapped(std::vector<std::string>& lines, const std::string& text, const std::string& value) {
    const size_t width = 40;
    size_t i = 0;
    bool first = true;
    do {
        size_t n = std::min(width, value.size() - i);
        while (i + n < value.size() && value[i + n] == ' ') ++n;
        std::string piece = value.substr(i, n);
        lines.push_back(first ? label(text, piece) : std::string(35, ' ') + piece);
        first = false;
        i += n;
    } while (i < value.size());
}

bool wildMatch(const std::string& pat, const std::string& s) {
    if (pat.empty()) return s.empty();
    if (pat[0] == '*') {
        for (size_t i = 0; i <= s.size(); ++i)
            if (wildMatch(pat.substr(1), s.substr(i))) return true;
        return false;
    }
    return !s.empty() && pat[0] == s[0] && wildMatch(pat.substr(1), s.substr(1));
}

class Interp {
public:
    Interp(ServerState& st, std::string& out, const Environment& env) : st_(st), out_(out), env_(env) {}
    int run(const std::string& line);

private:
    int msg(int rc, const std::string& text) {
        out_ += text + "\n";
        return rc;
    }
    int syntax(const std::string& what) { return msg(RC_SYNTAX, "ANR2020E " + cmd_ + ": Invalid parameter - " + what + "."); }
    int missing(const std::string& what) { return msg(RC_SYNTAX, "ANR2004E " + cmd_ + ": Missing " + what + "."); }
    int notFound(const std::string& type, const std::vector<std::string>& keys) {
        return msg(RC_NOT_FOUND, "ANR2025E " + cmd_ + ": " + typeLabel(type) + " " + joinKeys(keys) + " is not defined.");
    }
    bool need(const std::string& type, const std::vector<std::string>& keys, int& rc) {
        if (st_.find(type, keys)) return true;
        rc = notFound(type, keys);
        return false;
    }

    int define(const std::string& type, bool update);
    int remove(const std::string& type);
    int query(const std::string& type);
    int copyDomain();
    int policySet(bool activate);
    int checkin();
    int extend(const std::string& type);

    void block(const std::vector<std::string>& lines) {
        for (auto& l : lines) out_ += l + "\n";
        out_ += "\n";
    }
    void dbLog(const std::string& type);
    long long spaceMb(const std::string& volType) const;

    ServerState& st_;
    std::string& out_;
    const Environment& env_;
    std::string cmd_;                 // verb and object in upper case, for messages
    std::vector<std::string> pos_;    // positional words after the object, upper case
    std::map<std::string, std::string> kv_;
};

int Interp::run(const std::string& line) {
    std::vector<Token> toks;
    std::string bad;
    if (!tokenize(line, toks, bad)) {
        cmd_ = "COMMAND";
        return msg(RC_SYNTAX, "ANR2020E Invalid parameter - " + bad + ".");
    }
    if (toks.empty()) return RC_OK;
    if (!toks[0].key.empty()) return msg(RC_UNKNOWN_COMMAND, "ANR2000E Unknown command - " + upper(toks[0].raw) + ".");
    const char* verb = match(toks[0].value, kVerbs, sizeof kVerbs / sizeof *kVerbs);
    if (!verb) return msg(RC_UNKNOWN_COMMAND, "ANR2000E Unknown command - " + upper(toks[0].value) + ".");
    if (toks.size() < 2 || !toks[1].key.empty()) {
        cmd_ = upper(verb);
        return missing("object type");
    }
    const char* type = match(toks[1].value, kTypes, sizeof kTypes / sizeof *kTypes);
    if (!type) return msg(RC_UNKNOWN_COMMAND, "ANR2000E Unknown command - " + upper(toks[0].value + " " + toks[1].value) + ".");
    cmd_ = upper(std::string(verb) + " " + type);
    for (size_t i = 2; i < toks.size(); ++i) {
        if (toks[i].key.empty()) pos_.push_back(upper(toks[i].value));
        else kv_[toks[i].key] = toks[i].value;
    }
    std::string v = verb, t = type;
    if (v == "query") return query(t);
    if (v == "define" && t != "db" && t != "log" && t != "node" && t != "admin") return define(t, false);
    if (v == "update" && t != "db" && t != "log" && t != "volume" && t != "dbvolume" && t != "logvolume")
        return define(t, true);
    if (v == "register" && (t == "node" || t == "admin")) return define(t, false);
    if (v == "delete" && t != "node" && t != "admin" && t != "db" && t != "log") return remove(t);
    if (v == "remove" && (t == "node" || t == "admin")) return remove(t);
    if (v == "copy" && t == "domain") return copyDomain();
    if ((v == "validate" || v == "activate") && t == "policyset") return policySet(v == "activate");
    if (v == "checkin" && t == "libvolume") return checkin();
    if (v == "extend" && (t == "db" || t == "log")) return extend(t);
    return msg(RC_UNKNOWN_COMMAND, "ANR2000E Unknown command - " + cmd_ + ".");
}

// Number of positional key words of each type, and what is positional after them.
size_t keyCount(const std::string& t) {
    if (t == "drive" || t == "volume" || t == "policyset" || t == "schedule") return 2;
    if (t == "mgmtclass" || t == "association") return 3;
    if (t == "copygroup") return 4;
    return 1;
}

int Interp::define(const std::string& t, bool update) {
    size_t nk = keyCount(t);
    std::vector<std::string> keys(pos_.begin(), pos_.begin() + std::min(nk, pos_.size()));
    if (t == "copygroup") {  // the copy group name is optional and always STANDARD
        if (keys.size() == 3) keys.push_back("STANDARD");
        keys.push_back(upper(kv_.count("type") ? kv_["type"] : "BACKUP"));
        if (keys.back() != "BACKUP" && keys.back() != "ARCHIVE") return syntax("TYPE=" + keys.back());
        kv_.erase("type");
    }
    if (keys.size() < nk) return missing(t == "copygroup" ? "policy domain, policy set or management class" : "name");
    for (auto& k : keys)
        if (k.empty() || k.size() > 64) return syntax(k.empty() ? "(empty name)" : k);
    std::vector<std::string> extra(pos_.begin() + std::min(nk, pos_.size()), pos_.end());

    int rc = RC_OK;
    Object* existing = nullptr;
    if (t != "association") existing = st_.find(t, keys);
    if (update && !existing) return notFound(t, keys);
    if (!update && existing) return msg(RC_EXISTS, "ANR2060E " + cmd_ + ": " + typeLabel(t) + " " + joinKeys(keys) + " is already defined.");

    Object o = existing ? *existing : Object{t, keys, {}};
    // Positional values after the keys.
    if (t == "stgpool" && !extra.empty()) o.attrs["devclass"] = extra[0];
    if (t == "node" && !extra.empty()) o.attrs["password"] = extra[0];
    if (t == "admin" && !extra.empty()) o.attrs["password"] = extra[0];
    for (auto& [k, v] : kv_) o.attrs[k] = v;

    // Prerequisites and required values.
    if (t == "library") {
        std::string lt = upper(o.attr("libtype", "MANUAL"));
        if (lt != "MANUAL" && lt != "SCSI" && lt != "ACSLS" && lt != "EXTERNAL" && lt != "8120") return syntax("LIBTYPE=" + lt);
        o.attrs["libtype"] = lt;
        if (lt == "SCSI" && o.attr("device").empty()) return missing("DEVICE for a SCSI library");
    } else if (t == "drive") {
        if (!need("library", {keys[0]}, rc)) return rc;
        if (o.attr("device").empty()) return missing("DEVICE");
        const Object* lib = st_.find("library", {keys[0]});
        if (lib->attr("libtype") == "SCSI" && o.attr("element").empty()) return missing("ELEMENT for a drive in a SCSI library");
    } else if (t == "devclass") {
        std::string dt = upper(o.attr("devtype"));
        if (dt.empty()) return missing("DEVTYPE");
        o.attrs["devtype"] = dt;
        if (dt == "FILE") {
            if (o.attr("directory").empty()) return missing("DIRECTORY");
        } else if (dt != "DISK") {
            if (o.attr("library").empty()) return missing("LIBRARY");
            if (!need("library", {upper(o.attr("library"))}, rc)) return rc;
        }
    } else if (t == "stgpool") {
        if (o.attr("devclass").empty()) return missing("device class");
        if (!need("devclass", {upper(o.attr("devclass"))}, rc)) return rc;
        std::string next = upper(o.attr("nextstgpool"));
        if (!next.empty()) {
            if (next == keys[0]) return syntax("NEXTSTGPOOL=" + next);
            if (!need("stgpool", {next}, rc)) return rc;
        }
    } else if (t == "volume" || t == "dbvolume" || t == "logvolume") {
        std::string path = t == "volume" ? keys[1] : keys[0];
        if (t == "volume") {
            if (!need("stgpool", {keys[0]}, rc)) return rc;
            const Object* pool = st_.find("stgpool", {keys[0]});
            const Object* dc = st_.find("devclass", {upper(pool->attr("devclass"))});
            if (!dc || dc->attr("devtype") != "DISK") return msg(RC_REFUSED, "ANR2405E " + cmd_ + ": Storage pool " + keys[0] + " is not a disk storage pool.");
        }
        long long size = env_.fileSize ? env_.fileSize(path) : -1;
        if (size < 0) return msg(RC_REFUSED, "ANR7807W " + cmd_ + ": Unable to open file " + path + ".");
        if (size < 4LL * 1024 * 1024 && t != "volume") return msg(RC_REFUSED, "ANR2416E " + cmd_ + ": Volume " + path + " is too small.");
        o.attrs["size"] = std::to_string(size / (1024 * 1024));
    } else if (t == "policyset") {
        if (!need("domain", {keys[0]}, rc)) return rc;
    } else if (t == "mgmtclass") {
        if (!need("policyset", {keys[0], keys[1]}, rc)) return rc;
    } else if (t == "copygroup") {
        if (!need("mgmtclass", {keys[0], keys[1], keys[2]}, rc)) return rc;
        if (keys[1] == "ACTIVE") return msg(RC_REFUSED, "ANR1523E " + cmd_ + ": The ACTIVE policy set cannot be changed.");
        std::string dest = upper(o.attr("destination"));
        if (dest.empty()) return missing("DESTINATION");
        if (!need("stgpool", {dest}, rc)) return rc;
    } else if (t == "schedule") {
        if (!need("domain", {keys[0]}, rc)) return rc;
    } else if (t == "node") {
        if (!update && o.attr("password").empty()) return missing("password");
        std::string dom = upper(o.attr("domain", "STANDARD"));
        if (!need("domain", {dom}, rc)) return rc;
        o.attrs["domain"] = dom;
    } else if (t == "association") {
        if (!need("schedule", {keys[0], keys[1]}, rc)) return rc;
        std::vector<std::string> nodes;
        std::string list = pos_[2];
        for (size_t i = 3; i < pos_.size(); ++i) list += "," + pos_[i];
        std::stringstream ss(list);
        for (std::string n; std::getline(ss, n, ',');)
            if (!n.empty()) nodes.push_back(n);
        for (auto& n : nodes) {
            const Object* node = st_.find("node", {n});
            if (!node) return notFound("node", {n});
            if (node->attr("domain") != keys[0]) return msg(RC_REFUSED, "ANR2121W " + cmd_ + ": Node " + n + " is not in domain " + keys[0] + ".");
        }
        for (auto& n : nodes) {
            st_.put(Object{t, {keys[0], keys[1], n}, {}});
            msg(RC_OK, "ANR2510I Node " + n + " associated with schedule " + keys[1] + " in policy domain " + keys[0] + ".");
        }
        return RC_OK;
    }
    o.attrs["updated"] = env_.now;
    st_.put(o);
    return msg(RC_OK, "ANR2017I " + typeLabel(t) + " " + joinKeys(keys) + (update ? " updated." : " defined."));
}

int Interp::remove(const std::string& t) {
    size_t nk = keyCount(t);
    std::vector<std::string> keys(pos_.begin(), pos_.begin() + std::min(nk, pos_.size()));
    if (t == "copygroup") {
        if (keys.size() == 3) keys.push_back("STANDARD");
        keys.push_back(upper(kv_.count("type") ? kv_["type"] : "BACKUP"));
    }
    if (keys.size() < nk) return missing("name");
    if (!st_.find(t, keys)) return notFound(t, keys);
    if (t == "library" && !st_.list("drive").empty()) {
        for (auto* d : st_.list("drive"))
            if (d->keys[0] == keys[0]) return msg(RC_REFUSED, "ANR8420E " + cmd_ + ": Library " + keys[0] + " still has drives defined.");
    }
    if (t == "stgpool") {
        for (auto* v : st_.list("volume"))
            if (v->keys[0] == keys[0]) return msg(RC_REFUSED, "ANR2413E " + cmd_ + ": Storage pool " + keys[0] + " still has volumes.");
    }
    st_.erase(t, keys);
    if (t == "schedule") st_.eraseUnder("association", keys);
    if (t == "node")
        for (auto* a : st_.list("association"))
            if (a->keys[2] == keys[0]) {
                st_.erase("association", a->keys);
                break;
            }
    if (t == "domain") {
        for (auto sub : {"policyset", "mgmtclass", "copygroup", "schedule", "association"}) st_.eraseUnder(sub, keys);
    }
    return msg(RC_OK, "ANR2017I " + typeLabel(t) + " " + joinKeys(keys) + " deleted.");
}

int Interp::copyDomain() {
    if (pos_.size() < 2) return missing("source and target domain");
    int rc = RC_OK;
    if (!need("domain", {pos_[0]}, rc)) return rc;
    if (st_.find("domain", {pos_[1]})) return msg(RC_EXISTS, "ANR2060E " + cmd_ + ": Policy domain " + pos_[1] + " is already defined.");
    Object d = *st_.find("domain", {pos_[0]});
    d.keys = {pos_[1]};
    d.attrs.erase("description");
    st_.put(d);
    for (auto sub : {"policyset", "mgmtclass", "copygroup"})
        for (auto* o : st_.list(sub))
            if (o->keys[0] == pos_[0]) {
                Object c = *o;
                c.keys[0] = pos_[1];
                st_.put(c);
            }
    return msg(RC_OK, "ANR1504I Policy domain " + pos_[0] + " copied to domain " + pos_[1] + ".");
}

int Interp::policySet(bool activate) {
    if (pos_.size() < 2) return missing("policy domain or policy set");
    int rc = RC_OK;
    if (!need("policyset", {pos_[0], pos_[1]}, rc)) return rc;
    if (pos_[1] == "ACTIVE") return syntax("ACTIVE");
    bool backup = false;
    for (auto* c : st_.list("copygroup"))
        if (c->keys[0] == pos_[0] && c->keys[1] == pos_[1] && c->keys[4] == "BACKUP") backup = true;
    if (!backup) return msg(RC_REFUSED, "ANR1520E " + cmd_ + ": Policy set " + pos_[1] + " in domain " + pos_[0] + " has no backup copy group.");
    if (!activate) return msg(RC_OK, "ANR1515I Policy set " + pos_[1] + " validated in domain " + pos_[0] + ".");
    st_.eraseUnder("policyset", {pos_[0], "ACTIVE"});
    st_.eraseUnder("mgmtclass", {pos_[0], "ACTIVE"});
    st_.eraseUnder("copygroup", {pos_[0], "ACTIVE"});
    st_.put(Object{"policyset", {pos_[0], "ACTIVE"}, {}});
    for (auto sub : {"mgmtclass", "copygroup"})
        for (auto* o : st_.list(sub))
            if (o->keys[0] == pos_[0] && o->keys[1] == pos_[1]) {
                Object c = *o;
                c.keys[1] = "ACTIVE";
                st_.put(c);
            }
    st_.find("domain", {pos_[0]})->attrs["activated"] = pos_[1];
    return msg(RC_OK, "ANR1514I Policy set " + pos_[1] + " activated in domain " + pos_[0] + ".");
}

int Interp::checkin() {
    if (pos_.empty()) return missing("library");
    int rc = RC_OK;
    if (!need("library", {pos_[0]}, rc)) return rc;
    std::string status = upper(kv_.count("status") ? kv_["status"] : "");
    if (status != "SCRATCH" && status != "PRIVATE") return missing("STATUS=SCRATCH or STATUS=PRIVATE");
    bool search = upper(kv_.count("search") ? kv_["search"] : "NO") == "YES";
    if (!search && pos_.size() < 2) return missing("volume name or SEARCH=YES");
    std::vector<std::string> vols;
    if (search) {
        // The simulated library holds three labelled cartridges.
        for (int i = 1; i <= 3; ++i) vols.push_back(pos_[0].substr(0, 4) + fmt("%03lld", i));
    } else {
        vols.push_back(pos_[1]);
    }
    for (auto& v : vols) st_.put(Object{"libvolume", {pos_[0], v}, {{"status", status}}});
    return msg(RC_OK, "ANR8430I " + cmd_ + ": " + std::to_string(vols.size()) + " volumes checked into library " + pos_[0] + ".");
}

long long Interp::spaceMb(const std::string& volType) const {
    long long total = 0;
    for (auto* v : st_.list(volType)) {
        long long mb = std::atoll(v->attr("size", "0").c_str());
        if (mb > 1) total += mb - 1;  // one megabyte of each volume holds its header
    }
    return total;
}

int Interp::extend(const std::string& t) {
    if (pos_.empty()) return missing("size");
    long long add = std::atoll(pos_[0].c_str());
    if (add <= 0 || pos_[0].find_first_not_of("0123456789") != std::string::npos) return syntax(pos_[0]);
    Object* o = st_.find(t, {t});
    long long assigned = std::atoll(o->attr("assigned", "0").c_str());
    long long avail = spaceMb(t == "db" ? "dbvolume" : "logvolume");
    if (assigned + add > avail)
        return msg(RC_REFUSED, "ANR2433E " + cmd_ + ": Insufficient space: " + std::to_string(avail - assigned) + " megabytes can be added.");
    o->attrs["assigned"] = std::to_string(assigned + add);
    return msg(RC_OK, "ANR2248I " + std::string(t == "db" ? "Database" : "Recovery log") + " assigned capacity is now " + std::to_string(assigned + add) + " megabytes.");
}

void Interp::dbLog(const std::string& t) {
    const Object* o = st_.find(t, {t});
    long long assigned = o ? std::atoll(o->attr("assigned", "0").c_str()) : 0;
    long long avail = spaceMb(t == "db" ? "dbvolume" : "logvolume");
    long long used = t == "db" ? 146 : 10;  // pages in use, 4 KB each
    long long pages = assigned * 256;
    long long usedMb = (used + 255) / 256;
    char util[32];
    std::snprintf(util, sizeof util, "%.1f", pages ? 100.0 * (double)used / (double)pages : 0.0);
    std::vector<std::string> l = {
        label("Available Space (MB)", grouped(avail)), label("Assigned Capacity (MB)", grouped(assigned)),
        label("Maximum Extension (MB)", grouped(avail - assigned)),
        label("Maximum Reduction (MB)", grouped(assigned > usedMb ? assigned - usedMb : 0)),
        label("Page Size (bytes)", "4,096"), label("Total Usable Pages", grouped(pages)),
        label("Used Pages", grouped(used)), label("Pct Util", util), label("Max. Pct Util", util),
        label("Physical Volumes", std::to_string(st_.list(t == "db" ? "dbvolume" : "logvolume").size()))};
    if (t == "db") {
        for (auto x : {label("Buffer Pool Pages", "512"), label("Total Buffer Requests", "0"),
                       label("Cache Hit Pct.", "0.00"), label("Cache Wait Pct.", "0.00"),
                       label("Backup in Progress?", "No"), label("Type of Backup In Progress", ""),
                       label("Incrementals Since Last Full", "0"), label("Changed Since Last Backup (MB)", "0.00"),
                       label("Percentage Changed", "0.00"), label("Last Complete Backup Date/Time", "")})
            l.push_back(x);
    } else {
        for (auto x : {label("Log Pool Pages", "128"), label("Log Pool Pct. Util", "0.00"),
                       label("Log Pool Pct. Wait", "0.00"), label("Cumulative Consumption (MB)", "0.00"),
                       label("Consumption Reset Date/Time", env_.now)})
            l.push_back(x);
    }
    block(l);
}

std::string units(const std::string& u, const std::string& dflt) {
    static const std::map<std::string, std::string> m = {
        {"MIN", "Minute(s)"}, {"HOU", "Hour(s)"}, {"DAY", "Day(s)"}, {"WEE", "Week(s)"},
        {"MON", "Month(s)"}, {"YEA", "Year(s)"}, {"IND", "Indefinite"}, {"ONE", "Onetime"}};
    std::string k = upper(u).substr(0, 3);
    auto it = m.find(k);
    return it == m.end() ? dflt : it->second;
}

std::string weekday(const std::string& d) {
    static const std::map<std::string, std::string> m = {
        {"ANY", "Any"}, {"WEEKDAY", "Weekday"}, {"WEEKEND", "Weekend"}, {"SUN", "Sunday"},
        {"MON", "Monday"}, {"TUE", "Tuesday"}, {"WED", "Wednesday"}, {"THU", "Thursday"},
        {"FRI", "Friday"}, {"SAT", "Saturday"}};
    std::string k = upper(d);
    if (k.size() > 3 && k.compare(0, 7, "WEEKDAY") != 0 && k.compare(0, 7, "WEEKEND") != 0) k = k.substr(0, 3);
    auto it = m.find(k);
    return it == m.end() ? "Any" : it->second;
}

int Interp::query(const std::string& t) {
    kv_.erase("format");  // every reply is in the detailed form
    if (t == "db" || t == "log") {
        dbLog(t);
        return RC_OK;
    }
    // Associations are listed per schedule, with its nodes.
    std::string listType = t == "association" ? "schedule" : t;
    std::vector<const Object*> hits;
    for (auto* o : st_.list(listType)) {
        bool ok = true;
        for (size_t i = 0; i < pos_.size() && i < o->keys.size(); ++i)
            if (!wildMatch(pos_[i], o->keys[i])) ok = false;
        if (ok) hits.push_back(o);
    }
    if (hits.empty()) return msg(RC_NOMATCH, "ANR2034E " + cmd_ + ": No match found using this criteria.");
    const std::string by = label("Last Update by (administrator)", env_.admin);
    for (auto* o : hits) {
        const auto& k = o->keys;
        auto a = [&](const char* n, const char* d = "") { return o->attr(n, d); };
        const std::string stamp = a("updated", env_.now.c_str());
        const std::string when = label("Last Update Date/Time", stamp);
        if (t == "association") {
            std::vector<std::string> nodes;
            for (auto* as : st_.list("association"))
                if (as->keys[0] == k[0] && as->keys[1] == k[1]) nodes.push_back(as->keys[2]);
            std::vector<std::string> lines = {label("Policy Domain Name", k[0]), label("Schedule Name", k[1])};
            std::string l;
            for (size_t i = 0; i < nodes.size(); ++i) {
                if (i && i % 6 == 0) {
                    lines.push_back(lines.size() == 2 ? label("Associated Nodes", l) : std::string(35, ' ') + l);
                    l.clear();
                }
                l += (l.empty() ? "" : " ") + nodes[i];
            }
            lines.push_back(lines.size() == 2 ? label("Associated Nodes", l) : std::string(35, ' ') + l);
            block(lines);
        } else if (t == "library") {
            block({label("Library Name", k[0]), label("Library Type", a("libtype")), label("Device", a("device")),
                   label("External Manager", a("externalmanager")), label("Shared", "No"), by, when});
        } else if (t == "drive") {
            std::string dt = "GENERICTAPE";
            for (auto* dc : st_.list("devclass"))
                if (upper(dc->attr("library")) == k[0]) dt = dc->attr("devtype");
            block({label("Library Name", k[0]), label("Drive Name", k[1]), label("Device Type", dt),
                   label("Device", a("device")), label("On-Line", "Yes"), label("Element", a("element")),
                   label("Allocated to", ""), by, when});
        } else if (t == "devclass") {
            std::string dt = a("devtype");
            int pools = 0;
            for (auto* p : st_.list("stgpool"))
                if (upper(p->attr("devclass")) == k[0]) ++pools;
            bool seq = dt != "DISK";
            block({label("Device Class Name", k[0]), label("Device Access Strategy", seq ? "Sequential" : "Random"),
                   label("Storage Pool Count", std::to_string(pools)), label("Device Type", dt),
                   label("Format", upper(a("format", seq ? "DRIVE" : ""))),
                   label("Est/Max Capacity (MB)", a("maxcapacity")), label("Mount Limit", seq ? a("mountlimit", "1") : ""),
                   label("Mount Wait (min)", "60"), label("Mount Retention (min)", "60"), label("Label Prefix", "QORA"),
                   label("Library", upper(a("library"))), label("Directory", a("directory")), label("Server Name", ""),
                   label("Retry Period", ""), label("Retry Interval", ""), label("Shared", ""), by, when});
        } else if (t == "stgpool") {
            long long cap = 0;
            for (auto* v : st_.list("volume"))
                if (v->keys[0] == k[0]) cap += std::atoll(v->attr("size", "0").c_str());
            std::string dc = upper(a("devclass"));
            const Object* dco = st_.find("devclass", {dc});
            bool seq = dco && dco->attr("devtype") != "DISK";
            // Every pool in the disk layout (next pool on line 12), so that a
            // reply mixing disk and tape pools reads the same way throughout.
            std::vector<std::string> l = {
                label("Storage Pool Name", k[0]), label("Storage Pool Type", "Primary"),
                label("Device Class Name", dc), label("Estimated Capacity (MB)", grouped(cap) + ".0"),
                label("Pct Util", "0.0"), label("Pct Migr", "0.0"), label("Pct Logical", "100.0"),
                label("High Mig Pct", a("highmig", "90")), label("Low Mig Pct", a("lowmig", "70")),
                label("Migration in Progress?", "No"), label("Amount Migrated (MB)", "0.00"),
                label("Elapsed Migration Time (seconds)", "0"), label("Next Storage Pool", upper(a("nextstgpool"))),
                label("Reclaim Storage Pool", ""), label("Maximum Size Threshold", "No Limit"),
                label("Access", "Read/Write"), label("Description", a("description")), label("Overflow Location", "")};
            if (seq) l.push_back(label("Maximum Scratch Volumes Allowed", a("maxscratch", "0")));
            else l.push_back(label("Cache Migrated Files?", "No"));
            l.push_back(by);
            l.push_back(when);
            block(l);
        } else if (t == "volume" || t == "dbvolume" || t == "logvolume") {
            std::vector<std::string> l = {label("Volume Name", t == "volume" ? k[1] : k[0])};
            if (t == "volume") l.push_back(label("Storage Pool Name", k[0]));
            l.push_back(label("Estimated Capacity (MB)", a("size") + ".0"));
            l.push_back(label("Volume Status", "On-Line"));
            block(l);
        } else if (t == "domain") {
            int nodes = 0;
            for (auto* n : st_.list("node"))
                if (n->attr("domain") == k[0]) ++nodes;
            std::vector<std::string> l = {
                label("Policy Domain Name", k[0]), label("Activated Policy Set", a("activated")),
                label("Activation Date/Time", a("activated").empty() ? "" : stamp),
                label("Days Since Activation", a("activated").empty() ? "" : "0"),
                label("Activated Default Mgmt Class", a("activated").empty() ? "" : "STANDARD"),
                label("Number of Registered Nodes", grouped(nodes))};
            wrapped(l, "Description", a("description"));
            for (auto x : {label("Backup Retention (Grace Period)", "30"),
                           label("Archive Retention (Grace Period)", "365"), by, when, label("Managing profile", "")})
                l.push_back(x);
            block(l);
        } else if (t == "policyset") {
            block({label("Policy Domain Name", k[0]), label("Policy Set Name", k[1]),
                   label("Default Mgmt Class Name", "STANDARD"), label("Description", ""), by, when});
        } else if (t == "mgmtclass") {
            block({label("Policy Domain Name", k[0]), label("Policy Set Name", k[1]), label("Mgmt Class Name", k[2]),
                   label("Default Mgmt Class ?", "Yes"), label("Description", ""), by, when});
        } else if (t == "copygroup") {
            auto lim = [&](const char* n, const char* d) {
                std::string v = upper(a(n, d));
                return v.compare(0, 3, "NOL") == 0 ? std::string("No Limit") : v;
            };
            block({label("Policy Domain Name", k[0]), label("Policy Set Name", k[1]), label("Mgmt Class Name", k[2]),
                   label("Copy Group Name", k[3]), label("Copy Group Type", title(k[4])),
                   label("Versions Data Exists", lim("verexists", "2")),
                   label("Versions Data Deleted", lim("verdeleted", "1")),
                   label("Retain Extra Versions", lim("retextra", "30")),
                   label("Retain Only Version", lim("retonly", "60")), label("Copy Mode", "Modified"),
                   label("Copy Serialization", "Shared Static"), label("Copy Frequency", "0"),
                   label("Copy Destination", upper(a("destination"))), by, when, label("Managing profile", "")});
        } else if (t == "schedule") {
            std::string sd = a("startdate", "");
            if (sd.empty() || upper(sd) == "TODAY") sd = env_.now.substr(0, 10);
            std::string stime = a("starttime", "");
            if (stime.empty() || upper(stime) == "NOW") stime = "00:00:00";
            else if (std::count(stime.begin(), stime.end(), ':') == 1) stime += ":00";
            std::string exp = a("expiration");
            if (upper(exp) == "NEVER") exp.clear();
            block({label("Policy Domain Name", k[0]), label("Schedule Name", k[1]), label("Description", a("description")),
                   label("Action", title(a("action", "INCREMENTAL"))), label("Options", a("options")),
                   label("Objects", a("objects")), label("Priority", a("priority", "5")),
                   label("Start Date/Time", sd + " " + stime),
                   label("Duration", a("duration", "1") + " " + units(a("durunits", "HOU"), "Hour(s)")),
                   label("Period", a("period", "1") + " " + units(a("perunits", "DAY"), "Day(s)")),
                   label("Day of Week", weekday(a("dayofweek", "ANY"))), label("Expiration", exp), by, when,
                   label("Managing profile", "")});
        } else if (t == "node") {
            block({label("Node Name", k[0]), label("Platform", "WinNT"), label("Client OS Level", "4.00"),
                   label("Client Version", "Version 3, Release 7, Level 2.0"),
                   label("Policy Domain Name", a("domain", "STANDARD")), label("Last Access Date/Time", stamp),
                   label("Days Since Last Access", "<1"), label("Password Set Date/Time", stamp),
                   label("Days Since Password Set", "0"), label("Invalid Sign-on Count", "0"), label("Locked?", "No"),
                   label("Contact", a("contact")), label("Compression", title(a("compression", "CLIENT"))),
                   label("Archive Delete Allowed?", title(a("archdelete", "YES"))),
                   label("Backup Delete Allowed?", title(a("backdelete", "NO"))),
                   label("Registration Date/Time", stamp), label("Registering Administrator", env_.admin),
                   label("Last Communication Method Used", ""), label("Bytes Received Last Session", "0"),
                   label("Bytes Sent Last Session", "0"), label("Duration of Last Session (sec)", "0.00"),
                   label("Pct. Idle Wait Last Session", "0.00"), label("Pct. Comm. Wait Last Session", "0.00"),
                   label("Pct. Media Wait Last Session", "0.00"), label("Option Set Name", ""), label("URL", a("url")),
                   label("Node Type", "Client")});
        } else if (t == "libvolume") {
            block({label("Library Name", k[0]), label("Volume Name", k[1]), label("Status", title(a("status")))});
        } else if (t == "admin") {
            block({label("Administrator Name", k[0]), label("Locked?", "No")});
        }
    }
    return RC_OK;
}

}  // namespace

std::string Object::attr(const std::string& k, const std::string& dflt) const {
    auto it = attrs.find(k);
    return it == attrs.end() || it->second.empty() ? dflt : it->second;
}

std::string ServerState::id(const std::string& type, const std::vector<std::string>& keys) {
    std::string r = type;
    for (auto& k : keys) r += '\x1f' + upper(k);
    return r;
}

Object* ServerState::find(const std::string& type, const std::vector<std::string>& keys) {
    auto it = objects_.find(id(type, keys));
    return it == objects_.end() ? nullptr : &it->second;
}

std::vector<const Object*> ServerState::list(const std::string& type) const {
    std::vector<const Object*> r;
    for (auto it = objects_.lower_bound(type + '\x1f'); it != objects_.end() && it->second.type == type; ++it)
        r.push_back(&it->second);
    return r;
}

Object& ServerState::put(Object o) {
    for (auto& k : o.keys) k = upper(k);
    std::string key = id(o.type, o.keys);
    return objects_[key] = std::move(o);
}

bool ServerState::erase(const std::string& type, const std::vector<std::string>& keys) {
    return objects_.erase(id(type, keys)) > 0;
}

void ServerState::eraseUnder(const std::string& type, const std::vector<std::string>& prefix) {
    for (auto it = objects_.begin(); it != objects_.end();) {
        const Object& o = it->second;
        bool under = o.type == type && o.keys.size() >= prefix.size() &&
                     std::equal(prefix.begin(), prefix.end(), o.keys.begin(),
                                [](const std::string& a, const std::string& b) { return upper(a) == b; });
        it = under ? objects_.erase(it) : std::next(it);
    }
}

void ServerState::reset() {
    objects_.clear();
    put({"admin", {"ADMIN"}, {{"password", "PELKO"}}});
    put({"devclass", {"DISK"}, {{"devtype", "DISK"}}});
    for (auto p : {"BACKUPPOOL", "ARCHIVEPOOL", "SPACEMGPOOL"})
        put({"stgpool", {p}, {{"devclass", "DISK"}, {"description", "Simulated default pool"}}});
    put({"domain", {"STANDARD"}, {{"description", "Installed default policy domain."}, {"activated", "STANDARD"}}});
    for (auto set : {"STANDARD", "ACTIVE"}) {
        put({"policyset", {"STANDARD", set}, {}});
        put({"mgmtclass", {"STANDARD", set, "STANDARD"}, {}});
        put({"copygroup", {"STANDARD", set, "STANDARD", "STANDARD", "BACKUP"}, {{"destination", "BACKUPPOOL"}}});
        put({"copygroup", {"STANDARD", set, "STANDARD", "STANDARD", "ARCHIVE"}, {{"destination", "ARCHIVEPOOL"}}});
    }
    put({"dbvolume", {"C:\\QORA\\SERVER\\DB1.DSM"}, {{"size", "17"}}});
    put({"logvolume", {"C:\\QORA\\SERVER\\LOG1.DSM"}, {{"size", "9"}}});
    put({"db", {"DB"}, {{"assigned", "16"}}});
    put({"log", {"LOG"}, {{"assigned", "8"}}});
}

std::string ServerState::serialize() const {
    std::string s = "QORASIMSTATE 1\n";
    for (auto& [_, o] : objects_) {
        s += o.type;
        s += '\t';
        for (size_t i = 0; i < o.keys.size(); ++i) s += (i ? "\x1f" : "") + o.keys[i];
        for (auto& [k, v] : o.attrs) s += '\t' + k + '=' + v;
        s += '\n';
    }
    return s;
}

bool ServerState::deserialize(const std::string& text) {
    std::stringstream ss(text);
    std::string line;
    if (!std::getline(ss, line) || line != "QORASIMSTATE 1") return false;
    std::map<std::string, Object> loaded;
    objects_.swap(loaded);
    while (std::getline(ss, line)) {
        if (line.empty()) continue;
        std::vector<std::string> fields;
        std::stringstream ls(line);
        for (std::string f; std::getline(ls, f, '\t');) fields.push_back(f);
        if (fields.size() < 2) {
            objects_.swap(loaded);
            return false;
        }
        Object o;
        o.type = fields[0];
        std::stringstream ks(fields[1]);
        for (std::string k; std::getline(ks, k, '\x1f');) o.keys.push_back(k);
        for (size_t i = 2; i < fields.size(); ++i) {
            size_t eq = fields[i].find('=');
            if (eq == std::string::npos) continue;
            o.attrs[fields[i].substr(0, eq)] = fields[i].substr(eq + 1);
        }
        put(o);
    }
    return true;
}

int runCommand(ServerState& state, const std::string& line, std::string& out, const Environment& env) {
    std::string l = line;
    for (auto& c : l)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    Interp in(state, out, env);
    return in.run(l);
}

int runMacro(ServerState& state, const std::string& text, bool itemCommit, std::string& out,
             const Environment& env) {
    ServerState before = state;
    std::stringstream ss(text);
    int first = RC_OK, last = RC_OK;
    bool any = false;
    for (std::string line; std::getline(ss, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t b = line.find_first_not_of(" \t");
        if (b == std::string::npos || line.compare(b, 2, "/*") == 0 || line[b] == '*') continue;
        out += "\n" + env.admin + "> " + line.substr(b) + "\n";
        last = runCommand(state, line, out, env);
        any = true;
        if (last != RC_OK && last != RC_NOMATCH && first == RC_OK) first = last;
    }
    if (first != RC_OK && !itemCommit) {
        state = before;
        out += "ANR2021W The macro failed: every change it made has been undone.\n";
    }
    if (!any) return RC_OK;
    return first != RC_OK ? first : last;
}

bool checkLogon(const ServerState& state, const std::string& id, const std::string& password) {
    for (auto* a : state.list("admin"))
        if (a->keys[0] == upper(id)) return upper(a->attr("password")) == upper(password);
    return false;
}

}  // namespace pilot
