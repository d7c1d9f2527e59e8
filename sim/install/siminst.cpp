#include "sim/install/siminst.h"
#include "common/framework/handle.h"
#include <cwctype>
#include <algorithm>

namespace siminst {
namespace {

const wchar_t PRODUCT_KEY[] = L"SOFTWARE\\Tevra\\QORA\\CurrentVersion";

std::wstring trim(const std::wstring& s) {
    size_t b = s.find_first_not_of(L" \t\r\n");
    if (b == std::wstring::npos) return {};
    size_t e = s.find_last_not_of(L" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::wstring lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

bool equalsNoCase(const std::wstring& a, const std::wstring& b) { return lower(a) == lower(b); }

bool startsWithNoCase(const std::wstring& s, const std::wstring& prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

std::wstring stripTrailingBackslashes(std::wstring s) {
    while (s.size() > 3 && s.back() == L'\\') s.pop_back();
    return s;
}

std::vector<std::wstring> splitFields(const std::wstring& rest) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        size_t bar = rest.find(L'|', start);
        fields.push_back(trim(rest.substr(start, bar == std::wstring::npos ? bar : bar - start)));
        if (bar == std::wstring::npos) break;
        start = bar + 1;
    }
    return fields;
}

const std::wstring* findVar(const Vars& vars, const std::wstring& name) {
    for (const auto& v : vars)
        if (equalsNoCase(v.first, name)) return &v.second;
    return nullptr;
}

void setVar(Vars& vars, const std::wstring& name, const std::wstring& value) {
    for (auto& v : vars)
        if (equalsNoCase(v.first, name)) {
            v.second = value;
            return;
        }
    vars.emplace_back(name, value);
}

bool expand(const std::wstring& in, const Vars& vars, std::wstring& out, std::wstring& error) {
    out.clear();
    for (size_t i = 0; i < in.size();) {
        if (in.compare(i, 2, L"${") == 0) {
            size_t end = in.find(L'}', i);
            if (end == std::wstring::npos) {
                error = L"unterminated ${ in \"" + in + L"\"";
                return false;
            }
            std::wstring name = in.substr(i + 2, end - i - 2);
            const std::wstring* value = findVar(vars, name);
            if (!value) {
                error = L"unknown variable ${" + name + L"}";
                return false;
            }
            out += *value;
            i = end + 1;
        } else {
            out += in[i++];
        }
    }
    return true;
}

// A key as written: relative to the product key ("." is the key itself)
// unless it names its hive.
bool resolveKey(const std::wstring& written, HKEY& hive, std::wstring& path) {
    struct Prefix {
        const wchar_t* text;
        HKEY hive;
    } prefixes[] = {{L"HKLM\\", HKEY_LOCAL_MACHINE},
                    {L"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE},
                    {L"HKCU\\", HKEY_CURRENT_USER},
                    {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER}};
    std::wstring w = written;
    while (!w.empty() && w.back() == L'\\') w.pop_back();
    for (const auto& p : prefixes) {
        if (startsWithNoCase(w, p.text)) {
            hive = p.hive;
            path = w.substr(wcslen(p.text));
            return !path.empty();
        }
    }
    hive = HKEY_LOCAL_MACHINE;
    path = (w.empty() || w == L".") ? std::wstring(PRODUCT_KEY) : std::wstring(PRODUCT_KEY) + L"\\" + w;
    return true;
}

std::wstring keyScope(const std::wstring& written) {
    std::wstring w = written;
    while (!w.empty() && w.back() == L'\\') w.pop_back();
    return w.empty() ? L"." : w;
}

bool parseStart(const std::wstring& s, DWORD& start) {
    const std::wstring l = lower(s);
    if (l.empty() || l == L"demand") start = SERVICE_DEMAND_START;
    else if (l == L"auto") start = SERVICE_AUTO_START;
    else if (l == L"disabled") start = SERVICE_DISABLED;
    else if (l == L"boot") start = SERVICE_BOOT_START;
    else if (l == L"system") start = SERVICE_SYSTEM_START;
    else return false;
    return true;
}

bool parseServiceType(const std::wstring& s, DWORD& type) {
    const std::wstring l = lower(s);
    if (l.empty() || l == L"own") type = SERVICE_WIN32_OWN_PROCESS;
    else if (l == L"share") type = SERVICE_WIN32_SHARE_PROCESS;
    else if (l == L"kernel") type = SERVICE_KERNEL_DRIVER;
    else return false;
    return true;
}

std::wstring fileNameOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring parentOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring statusText(DWORD code) {
    wchar_t buf[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, 512, nullptr);
    std::wstring text = trim(std::wstring(buf, n));
    return L"error " + std::to_wstring(code) + (text.empty() ? L"" : L" (" + text + L")");
}

// --- what install and remove do to the machine

DWORD makeDirectories(const std::wstring& path) {
    if (path.empty()) return 0;
    DWORD attr = GetFileAttributesW(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ERROR_FILE_EXISTS;
    std::wstring parent = parentOf(path);
    if (!parent.empty() && parent.size() > 2) {
        if (DWORD rc = makeDirectories(parent)) return rc;
    }
    if (CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
    return GetLastError();
}

void deleteTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                deleteTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

void deleteKeyTree(HKEY hive, const std::wstring& path) {
    RegDeleteTreeW(hive, path.c_str());
    RegDeleteKeyW(hive, path.c_str());
}

void deleteValue(HKEY hive, const std::wstring& path, const std::wstring& name) {
    fw::UniqueKey key;
    if (RegOpenKeyExW(hive, path.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
        RegDeleteValueW(key.get(), name.c_str());
}

DWORD createKey(HKEY hive, const std::wstring& path, fw::UniqueKey& key) {
    return RegCreateKeyExW(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, key.put(), nullptr);
}

DWORD setValue(const Item& item) {
    fw::UniqueKey key;
    if (DWORD rc = createKey(item.hive, item.key, key)) return rc;
    if (item.type == REG_DWORD) {
        DWORD v = wcstoul(item.data.empty() ? L"0" : item.data[0].c_str(), nullptr, 0);
        return RegSetValueExW(key.get(), item.name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&v), sizeof v);
    }
    std::wstring bytes;
    if (item.type == REG_MULTI_SZ) {
        for (const auto& d : item.data) bytes += d + L'\0';
        bytes += L'\0';
    } else {
        bytes = (item.data.empty() ? std::wstring() : item.data[0]) + L'\0';
    }
    return RegSetValueExW(key.get(), item.name.c_str(), 0, item.type,
                          reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size() * sizeof(wchar_t)));
}

DWORD writeTextFile(const std::wstring& path, const std::wstring& text) {
    if (DWORD rc = makeDirectories(parentOf(path))) return rc;
    std::string ansi;
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    ansi.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), n,
                        nullptr, nullptr);
    fw::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    DWORD written = 0;
    if (!WriteFile(file.get(), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr))
        return GetLastError();
    return 0;
}

DWORD copyFile(const Item& item) {
    if (DWORD rc = makeDirectories(parentOf(item.path))) return rc;
    SetFileAttributesW(item.path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return CopyFileW(item.source.c_str(), item.path.c_str(), FALSE) ? 0 : GetLastError();
}

struct ScHandle {
    using type = SC_HANDLE;
    static type invalid() { return nullptr; }
    static void close(type h) { CloseServiceHandle(h); }
};
using UniqueService = fw::Unique<ScHandle>;

DWORD installService(const Item& item) {
    UniqueService scm(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!scm) return GetLastError();
    UniqueService svc(OpenServiceW(scm.get(), item.name.c_str(), SERVICE_ALL_ACCESS));
    if (svc) {
        return ChangeServiceConfigW(svc.get(), item.serviceType, item.start, SERVICE_ERROR_NORMAL,
                                    item.path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                    item.text.c_str())
                   ? 0
                   : GetLastError();
    }
    svc.reset(CreateServiceW(scm.get(), item.name.c_str(), item.text.c_str(), SERVICE_ALL_ACCESS,
                             item.serviceType, item.start, SERVICE_ERROR_NORMAL, item.path.c_str(),
                             nullptr, nullptr, nullptr, nullptr, nullptr));
    return svc ? 0 : GetLastError();
}

void removeService(const std::wstring& name) {
    UniqueService scm(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!scm) return;
    UniqueService svc(OpenServiceW(scm.get(), name.c_str(), SERVICE_ALL_ACCESS));
    if (!svc) return;
    SERVICE_STATUS status{};
    if (ControlService(svc.get(), SERVICE_CONTROL_STOP, &status)) {
        for (int i = 0; i < 50 && QueryServiceStatus(svc.get(), &status) &&
                        status.dwCurrentState != SERVICE_STOPPED;
             ++i)
            Sleep(100);
    }
    DeleteService(svc.get());
}

DWORD apply(const Item& item) {
    switch (item.kind) {
    case Kind::Key: {
        fw::UniqueKey key;
        return createKey(item.hive, item.key, key);
    }
    case Kind::Value: return setValue(item);
    case Kind::Dir: return makeDirectories(item.path);
    case Kind::Copy: return copyFile(item);
    case Kind::Text: return writeTextFile(item.path, item.text);
    case Kind::Service: return installService(item);
    }
    return 0;
}

void undo(const Item& item) {
    switch (item.kind) {
    case Kind::Key: deleteKeyTree(item.hive, item.key); break;
    case Kind::Value: deleteValue(item.hive, item.key, item.name); break;
    case Kind::Dir: deleteTree(item.path); break;
    case Kind::Copy:
    case Kind::Text:
        SetFileAttributesW(item.path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(item.path.c_str());
        break;
    case Kind::Service: removeService(item.name); break;
    }
}

bool within(const std::wstring& scope, const std::wstring& container) {
    if (equalsNoCase(scope, container)) return true;
    if (container == L"." && !startsWithNoCase(scope, L"HK")) return true;
    return startsWithNoCase(scope, container + L"\\");
}

}  // namespace

bool parseFragment(const std::wstring& text, const std::wstring& fragmentName, Vars& vars,
                   const Vars& fixed, Layout& out, std::wstring& error) {
    size_t pos = 0;
    int lineNo = 0;
    auto nextLine = [&](std::wstring& line) {
        if (pos >= text.size()) return false;
        size_t end = text.find(L'\n', pos);
        line = text.substr(pos, end == std::wstring::npos ? end : end - pos);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        pos = end == std::wstring::npos ? text.size() : end + 1;
        ++lineNo;
        return true;
    };
    auto fail = [&](const std::wstring& what) {
        error = fragmentName + L"(" + std::to_wstring(lineNo) + L"): " + what;
        return false;
    };
    std::wstring raw;
    while (nextLine(raw)) {
        std::wstring line = trim(raw);
        if (line.empty() || line[0] == L'#') continue;
        size_t blank = line.find_first_of(L" \t");
        std::wstring verb = lower(line.substr(0, blank));
        std::wstring rest = blank == std::wstring::npos ? L"" : trim(line.substr(blank));
        Item item;
        item.where = fragmentName + L"(" + std::to_wstring(lineNo) + L")";
        if (verb == L"set") {
            size_t eq = rest.find(L'=');
            if (eq == std::wstring::npos) return fail(L"set needs NAME = VALUE");
            std::wstring name = trim(rest.substr(0, eq)), value;
            if (!expand(trim(rest.substr(eq + 1)), vars, value, error)) return fail(error);
            if (!findVar(fixed, name)) setVar(vars, name, value);
            continue;
        }
        std::wstring expanded;
        if (!expand(rest, vars, expanded, error)) return fail(error);
        std::vector<std::wstring> f = splitFields(expanded);
        if (verb == L"key") {
            item.kind = Kind::Key;
            if (!resolveKey(f[0], item.hive, item.key)) return fail(L"bad key \"" + f[0] + L"\"");
            item.scope = keyScope(f[0]);
            item.id = L"key:" + item.scope;
        } else if (verb == L"sz" || verb == L"expand" || verb == L"dword" || verb == L"multi") {
            if (f.size() < 3 && verb != L"multi") return fail(verb + L" needs KEY | NAME | DATA");
            if (f.size() < 2) return fail(L"multi needs KEY | NAME | TEXT...");
            item.kind = Kind::Value;
            item.type = verb == L"sz" ? REG_SZ : verb == L"expand" ? REG_EXPAND_SZ
                        : verb == L"dword" ? REG_DWORD : REG_MULTI_SZ;
            if (!resolveKey(f[0], item.hive, item.key)) return fail(L"bad key \"" + f[0] + L"\"");
            item.scope = keyScope(f[0]);
            item.name = f[1];
            item.data.assign(f.begin() + 2, f.end());
            item.id = L"value:" + item.scope + L"\\" + item.name;
        } else if (verb == L"dir") {
            item.kind = Kind::Dir;
            item.path = stripTrailingBackslashes(f[0]);
            if (item.path.empty()) return fail(L"dir needs a path");
            item.scope = item.path;
            item.id = L"dir:" + item.path;
        } else if (verb == L"copy") {
            if (f.size() < 2 || f[0].empty() || f[1].empty()) return fail(L"copy needs DIR | FILE [| SOURCE]");
            item.kind = Kind::Copy;
            item.path = stripTrailingBackslashes(f[0]) + L"\\" + f[1];
            const std::wstring* bin = findVar(vars, L"BIN");
            item.source = f.size() > 2 && !f[2].empty() ? f[2] : (bin ? *bin : L".") + L"\\" + f[1];
            item.scope = item.path;
            item.id = L"file:" + item.path;
        } else if (verb == L"text") {
            if (f[0].empty()) return fail(L"text needs a file path");
            item.kind = Kind::Text;
            item.path = f[0];
            item.scope = item.path;
            item.id = L"file:" + item.path;
            bool ended = false;
            std::wstring body;
            while (nextLine(raw)) {
                if (trim(raw) == L"end") {
                    ended = true;
                    break;
                }
                std::wstring line2;
                if (!expand(raw, vars, line2, error)) return fail(error);
                body += line2 + L"\r\n";
            }
            if (!ended) return fail(L"text without its closing \"end\" line");
            item.text = body;
        } else if (verb == L"service") {
            if (f.size() < 2 || f[0].empty() || f[1].empty())
                return fail(L"service needs NAME | BINARY [| DISPLAY | START | TYPE]");
            item.kind = Kind::Service;
            item.name = f[0];
            item.path = f[1];
            item.text = f.size() > 2 && !f[2].empty() ? f[2] : f[0];
            if (!parseStart(f.size() > 3 ? f[3] : L"", item.start)) return fail(L"unknown start type \"" + f[3] + L"\"");
            if (!parseServiceType(f.size() > 4 ? f[4] : L"", item.serviceType))
                return fail(L"unknown service type \"" + f[4] + L"\"");
            item.scope = item.name;
            item.id = L"service:" + item.name;
        } else {
            return fail(L"unknown line \"" + verb + L"\"");
        }
        out.items.push_back(std::move(item));
    }
    return true;
}

std::wstring programDir() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    return parentOf(std::wstring(buf, n));
}

std::wstring defaultLayoutDir() { return programDir() + L"\\siminst.d"; }

bool loadLayout(const std::wstring& dir, const Vars& overrides, Layout& out, std::wstring& error) {
    Vars vars = overrides;
    if (!findVar(vars, L"BIN")) vars.emplace_back(L"BIN", programDir());
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((dir + L"\\*.txt").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) {
        error = L"no layout fragments (*.txt) in " + dir;
        return false;
    }
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return lower(a) < lower(b);
    });
    for (const auto& name : names) {
        fw::UniqueFile file(CreateFileW((dir + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) {
            error = L"cannot read " + dir + L"\\" + name + L": " + statusText(GetLastError());
            return false;
        }
        std::string bytes;
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
        int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
        if (!parseFragment(text, name, vars, overrides, out, error)) return false;
    }
    return true;
}

bool isOmitted(const Item& item, const std::vector<std::wstring>& omit) {
    for (const auto& o : omit) {
        if (equalsNoCase(o, item.id)) return true;
        size_t colon = o.find(L':');
        if (colon == std::wstring::npos) continue;
        std::wstring kind = lower(o.substr(0, colon)), what = stripTrailingBackslashes(o.substr(colon + 1));
        switch (item.kind) {
        case Kind::Key:
        case Kind::Value:
            if (kind == L"key" && within(item.scope, what == L"" ? L"." : what)) return true;
            break;
        case Kind::Copy:
        case Kind::Text:
            if (kind == L"file" && what.find(L'\\') == std::wstring::npos &&
                equalsNoCase(fileNameOf(item.path), what))
                return true;
            [[fallthrough]];
        case Kind::Dir:
            if (kind == L"dir" && within(item.scope, what)) return true;
            break;
        case Kind::Service: break;
        }
    }
    return false;
}

int install(const Layout& layout, const std::vector<std::wstring>& omit, std::vector<std::wstring>& errors) {
    for (const auto& item : layout.items) {
        if (isOmitted(item, omit)) {
            undo(item);
            continue;
        }
        if (DWORD rc = apply(item)) {
            std::wstring what = item.id;
            if (item.kind == Kind::Copy) what += L" from " + item.source;
            errors.push_back(item.where + L": cannot make " + what + L": " + statusText(rc));
        }
    }
    return errors.empty() ? 0 : 1;
}

int remove(const Layout& layout, std::vector<std::wstring>& errors) {
    const auto& items = layout.items;
    for (const auto& item : items)
        if (item.kind == Kind::Service) removeService(item.name);
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (it->kind == Kind::Dir || it->kind == Kind::Copy || it->kind == Kind::Text) undo(*it);
    // Keys and values outside the product key, as the layout names them.
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if ((it->kind == Kind::Key || it->kind == Kind::Value) && startsWithNoCase(it->scope, L"HK"))
            undo(*it);
    deleteKeyTree(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra\\QORA");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tevra");
    for (const auto& item : items)
        if (item.kind == Kind::Dir && GetFileAttributesW(item.path.c_str()) != INVALID_FILE_ATTRIBUTES)
            errors.push_back(L"could not remove " + item.path);
    return errors.empty() ? 0 : 1;
}

int run(const std::vector<std::wstring>& args, std::wstring& out) {
    auto usage = [&]() {
        out += L"usage: siminst install|remove|list [--layout DIR] [--set NAME=VALUE]... [--omit ID]...\n"
               L"  ID: key:KEY  value:KEY\\NAME  dir:PATH  file:NAME or file:PATH  service:NAME\n";
        return 2;
    };
    if (args.empty()) return usage();
    std::wstring command = lower(args[0]), dir = defaultLayoutDir();
    Vars vars;
    std::vector<std::wstring> omit;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == L"--layout" && hasValue) {
            dir = stripTrailingBackslashes(args[++i]);
        } else if (a == L"--omit" && hasValue) {
            omit.push_back(args[++i]);
        } else if (a == L"--set" && hasValue) {
            const std::wstring& s = args[++i];
            size_t eq = s.find(L'=');
            if (eq == std::wstring::npos || eq == 0) {
                out += L"siminst: --set needs NAME=VALUE, not \"" + s + L"\"\n";
                return 2;
            }
            setVar(vars, s.substr(0, eq), s.substr(eq + 1));
        } else {
            out += L"siminst: unknown or incomplete option \"" + a + L"\"\n";
            return usage();
        }
    }
    Layout layout;
    std::wstring error;
    if (!loadLayout(dir, vars, layout, error)) {
        out += L"siminst: " + error + L"\n";
        return 2;
    }
    std::vector<std::wstring> errors;
    int rc = 0;
    if (command == L"install") {
        rc = install(layout, omit, errors);
    } else if (command == L"remove") {
        rc = remove(layout, errors);
    } else if (command == L"list") {
        for (const auto& item : layout.items)
            out += (isOmitted(item, omit) ? L"- " : L"+ ") + item.id + L"\n";
        return 0;
    } else {
        return usage();
    }
    for (const auto& e : errors) out += L"siminst: " + e + L"\n";
    return rc;
}

int installDefault(const std::vector<std::wstring>& omit, const Vars& vars, std::wstring* report) {
    std::vector<std::wstring> args{L"install"};
    for (const auto& v : vars) {
        args.push_back(L"--set");
        args.push_back(v.first + L"=" + v.second);
    }
    for (const auto& o : omit) {
        args.push_back(L"--omit");
        args.push_back(o);
    }
    std::wstring out;
    int rc = run(args, out);
    if (report) *report = out;
    return rc;
}

int removeDefault(std::wstring* report) {
    std::wstring out;
    int rc = run({L"remove"}, out);
    if (report) *report = out;
    return rc;
}

}  // namespace siminst
