#include "common/cmd/ifcregis.h"
#include "common/cmd/trace.h"
#include "common/framework/handle.h"
#include <type_traits>

namespace {

// A typed string read's buffer: 512 bytes of value data, plus room to
// terminate a value that fills all of them.
constexpr DWORD STRING_CHARS = REG_STRING_BYTES / sizeof(TCHAR);

void trimTrailingBlanks(tstring& s) {
    while (!s.empty() && s.back() == _T(' ')) s.pop_back();
}

void addBackslash(tstring& s) {
    if (s.empty() || s.back() != _T('\\')) s += _T('\\');
}

// The short form of `path` within SHORT_PATH_CHARS, or false.
bool shortForm(const tstring& path, tstring& result) {
    TCHAR buf[SHORT_PATH_CHARS];
    DWORD n = path.empty() ? 0 : GetShortPathName(path.c_str(), buf, SHORT_PATH_CHARS);
    if (n > 0 && n < SHORT_PATH_CHARS) {
        result = buf;
        return true;
    }
    // The whole path may not exist yet: shorten its directory, keep the name.
    TCHAR drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    if (path.empty() || _tsplitpath_s(path.c_str(), drive, _MAX_DRIVE, dir, _MAX_DIR, name,
                                      _MAX_FNAME, ext, _MAX_EXT) != 0)
        return false;
    tstring head = tstring(drive) + dir;
    n = GetShortPathName(head.c_str(), buf, SHORT_PATH_CHARS);
    if (n == 0 || n >= SHORT_PATH_CHARS) return false;
    tstring joined = tstring(buf) + name + ext;
    if (joined.size() >= SHORT_PATH_CHARS) return false;
    result = joined;
    return true;
}

// `Path` of HKLM\key, as stored; false when missing.
bool readPath(const TCHAR* key, tstring& out) {
    out.clear();
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, key) != ERROR_SUCCESS) return false;
    return reg.readString(_T("Path"), out) == ERROR_SUCCESS;
}

bool readDirectory(const TCHAR* key, tstring& out) {
    if (!readPath(key, out)) return false;
    addBackslash(out);
    return true;
}

tstring withBackslash(const TCHAR* name) {
    tstring s = name ? name : _T("");
    addBackslash(s);
    return s;
}

tstring serviceKeyOf(const TCHAR* instance) {
    return tstring(QORA_SERVER_KEY) + withBackslash(instance) + _T("Service");
}

}  // namespace

LONG CIfcRegistry::open(HKEY hive, const TCHAR* path) {
    close();
    return RegCreateKeyEx(hive, path ? path : _T(""), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &key_, nullptr);
}

LONG CIfcRegistry::connect(const TCHAR* machine, HKEY hive, const TCHAR* path) {
    close();
    fw::UniqueKey remote;
    LONG rc = RegConnectRegistry(machine && *machine ? machine : nullptr, hive, remote.put());
    if (rc != ERROR_SUCCESS) return rc;
    return RegCreateKeyEx(remote.get(), path ? path : _T(""), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
}

void CIfcRegistry::close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

LONG CIfcRegistry::enumKey(DWORD index, tstring& name) {
    name.clear();
    TCHAR buf[REG_NAME_CHARS];
    DWORD len = REG_NAME_CHARS;
    LONG rc = RegEnumKeyEx(key_, index, buf, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) name.assign(buf, len);
    return rc;
}

LONG CIfcRegistry::enumValue(DWORD index, tstring& name) {
    name.clear();
    TCHAR buf[REG_NAME_CHARS];
    DWORD len = REG_NAME_CHARS;
    LONG rc = RegEnumValue(key_, index, buf, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) name.assign(buf, len);
    return rc;
}

LONG CIfcRegistry::readDword(const TCHAR* name, DWORD& out) {
    DWORD value = 0, size = sizeof value, type = 0;
    LONG rc = RegQueryValueEx(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (rc == ERROR_SUCCESS && size == sizeof value) out = value;
    else if (rc == ERROR_SUCCESS) rc = ERROR_INVALID_DATA;
    return rc;
}

LONG CIfcRegistry::readString(const TCHAR* name, tstring& text) {
    text.clear();
    QTRACE(T_REGISTRY, _T("looking for key: %s\n"), name ? name : _T(""));
    TCHAR buf[STRING_CHARS + 1];
    DWORD size = REG_STRING_BYTES, type = 0;
    LONG rc = RegQueryValueEx(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    if (rc != ERROR_SUCCESS) {
        QTRACE(T_REGISTRY, _T("Error. Return code: %u\n"), (unsigned)rc);
        return rc;
    }
    buf[size / sizeof(TCHAR)] = 0;
    text = buf;
    if (traceFlags[T_REGISTRY]) {
        for (size_t i = 0; i < text.size(); ++i)
            QTRACE(T_REGISTRY, _T("%d> %u\n"), (int)i, (unsigned)(std::make_unsigned_t<TCHAR>)text[i]);
        QTRACE(T_REGISTRY, _T("szKey: %s\ndwType: %s\nszBuf: %s\ndwSize: %u\n"),
               name ? name : _T(""), typeName(type), text.c_str(), (unsigned)size);
    }
    return rc;
}

LONG CIfcRegistry::readString(const TCHAR* name, TCHAR* buffer, size_t count) {
    if (buffer && count > 0) buffer[0] = 0;
    tstring text;
    LONG rc = readString(name, text);
    if (rc == ERROR_SUCCESS) copyText(buffer, count, text.c_str());
    return rc;
}

LONG CIfcRegistry::readValue(const TCHAR* name, void* data, DWORD& size, DWORD* type) {
    return RegQueryValueEx(key_, name, nullptr, type, static_cast<BYTE*>(data), &size);
}

LONG CIfcRegistry::readMultiString(const TCHAR* name, void* data, DWORD& size) {
    DWORD type = 0;
    LONG rc = RegQueryValueEx(key_, name, nullptr, &type, static_cast<BYTE*>(data), &size);
    if (rc == ERROR_SUCCESS && type != REG_MULTI_SZ) return ERROR_INVALID_DATATYPE;
    return rc;
}

LONG CIfcRegistry::writeDword(const TCHAR* name, DWORD value) {
    return RegSetValueEx(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof value);
}

LONG CIfcRegistry::writeString(const TCHAR* name, const TCHAR* text) {
    if (!text) text = _T("");
    DWORD bytes = static_cast<DWORD>((_tcslen(text) + 1) * sizeof(TCHAR));
    return RegSetValueEx(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

LONG CIfcRegistry::writeBinary(const TCHAR* name, const void* data, DWORD size) {
    LONG rc = RegSetValueEx(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    if (rc == ERROR_SUCCESS) RegFlushKey(key_);
    return rc;
}

LONG CIfcRegistry::writeMultiString(const TCHAR* name, const TCHAR* data, DWORD size) {
    LONG rc = RegSetValueEx(key_, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data), size);
    if (rc == ERROR_SUCCESS) RegFlushKey(key_);
    return rc;
}

LONG CIfcRegistry::deleteValue(const TCHAR* name) { return RegDeleteValue(key_, name); }

const TCHAR* CIfcRegistry::typeName(DWORD type) {
    static const TCHAR* const names[] = {
        _T("REG_NONE"),  _T("REG_SZ"),    _T("REG_EXPAND_SZ"),
        _T("REG_BINARY"), _T("REG_DWORD"), _T("REG_DWORD_BIG_ENDIAN"),
        _T("REG_LINK"),  _T("REG_MULTI_SZ"), _T("REG_RESOURCE_LIST"),
    };
    return type < sizeof names / sizeof names[0] ? names[type] : _T("UNKNOWN");
}

bool getComponentPath(const TCHAR* keyPath, const TCHAR* fileName, tstring& out) {
    out.clear();
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, keyPath) != ERROR_SUCCESS) return false;
    tstring path;
    bool found = reg.readString(_T("Path"), path) == ERROR_SUCCESS;
    if (!found) return false;
    if (!shortForm(path, out)) out = _T(".\\");
    tstring file = fileName ? fileName : _T("");
    trimTrailingBlanks(file);
    if (!file.empty()) {
        trimTrailingBlanks(out);
        addBackslash(out);
        out += file;
    }
    return true;
}

bool getUtilsPath(const TCHAR* fileName, tstring& out) {
    return getComponentPath(QORA_UTILS_KEY, fileName, out);
}
bool getBooksPath(const TCHAR* fileName, tstring& out) {
    return getComponentPath(QORA_BOOKS_KEY, fileName, out);
}
bool getAdminClientPath(const TCHAR* fileName, tstring& out) {
    return getComponentPath(QORA_ADMINCLIENT_KEY, fileName, out);
}
bool getServerInstancePath(const TCHAR* instance, const TCHAR* fileName, tstring& out) {
    tstring key = tstring(QORA_SERVER_KEY) + withBackslash(instance);
    return getComponentPath(key.c_str(), fileName, out);
}
bool getMultimediaPath(const TCHAR* fileName, tstring& out) {
    return getComponentPath(QORA_MULTIMEDIA_KEY, fileName, out);
}

bool getProductDir(tstring& out) {
    if (!readDirectory(QORA_PRODUCT_KEY, out)) out = currentDirectory();
    return true;
}

// The server program's directory is the Server key's own Path.
bool getServerDir(tstring& out) {
    if (!readDirectory(QORA_SERVER_KEY, out)) out = currentDirectory();
    return true;
}

bool getBackupClientDir(tstring& out) { return readDirectory(QORA_BACKUPCLIENT_KEY, out); }
bool getAdminClientDir(tstring& out) { return readDirectory(QORA_ADMINCLIENT_KEY, out); }

bool getBrowserDir(tstring& out) {
    if (!readPath(QORA_BROWSER_KEY, out)) return false;
    if (!out.empty() && out.back() == _T(';')) out.pop_back();
    addBackslash(out);
    return true;
}

bool getServerLogSettings(const TCHAR* instance, bool& toFile, tstring& logFile) {
    toFile = false;
    logFile.clear();
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, serviceKeyOf(instance).c_str()) != ERROR_SUCCESS) return false;
    DWORD value = 0;
    bool found = reg.readDword(_T("LogOutputToFile"), value) == ERROR_SUCCESS;
    toFile = found && value == 1;
    reg.readString(_T("LogFile"), logFile);
    return found;
}

bool setServerLogSettings(const TCHAR* instance, bool toFile, const TCHAR* logFile) {
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, serviceKeyOf(instance).c_str()) != ERROR_SUCCESS) return false;
    if (reg.writeDword(_T("LogOutputToFile"), toFile ? 1 : 0) != ERROR_SUCCESS) return false;
    if (logFile && *logFile && reg.writeString(_T("LogFile"), logFile) != ERROR_SUCCESS) return false;
    return true;
}

bool getDriverExclusion(tstring& list, bool& exclude) {
    list.clear();
    exclude = false;
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, QORA_DRIVER_KEY) != ERROR_SUCCESS) return false;
    DWORD value = 0;
    bool found = reg.readDword(_T("ExcludeDevices"), value) == ERROR_SUCCESS;
    exclude = found && value == 1;
    reg.readString(_T("ExcludeList"), list);
    return found;
}

bool setDriverExclusion(const TCHAR* list, bool exclude) {
    CIfcRegistry reg;
    if (reg.open(HKEY_LOCAL_MACHINE, QORA_DRIVER_KEY) != ERROR_SUCCESS) return false;
    if (reg.writeDword(_T("ExcludeDevices"), exclude ? 1 : 0) != ERROR_SUCCESS) return false;
    if (list && *list && reg.writeString(_T("ExcludeList"), list) != ERROR_SUCCESS) return false;
    return true;
}

tstring currentDirectory() {
    TCHAR buf[MAX_PATH + 1];
    DWORD n = GetCurrentDirectory(MAX_PATH, buf);
    tstring dir = (n > 0 && n < MAX_PATH) ? tstring(buf, n) : tstring(_T("."));
    addBackslash(dir);
    return dir;
}
