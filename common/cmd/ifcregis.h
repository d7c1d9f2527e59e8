// Registry access: one open key per object, and the lookups that turn the
// product's component keys into directories and file paths.
#pragma once
#include <windows.h>
#include <tchar.h>
#include "common/cmd/textfmt.h"

// Under HKEY_LOCAL_MACHINE; ends in a backslash so component names append.
#define QORA_PRODUCT_KEY _T("SOFTWARE\\Tevra\\QORA\\CurrentVersion\\")
#define QORA_UTILS_KEY QORA_PRODUCT_KEY _T("Utils\\")
#define QORA_SETTINGS_KEY QORA_PRODUCT_KEY _T("Utils\\Settings\\")
#define QORA_ACCOUNT_KEY QORA_PRODUCT_KEY _T("Utils\\AccountInfo\\")
#define QORA_BOOKS_KEY QORA_PRODUCT_KEY _T("Books\\")
#define QORA_BACKUPCLIENT_KEY QORA_PRODUCT_KEY _T("BackupClient\\")
#define QORA_SCHEDULER_KEY QORA_PRODUCT_KEY _T("BackupClient\\Scheduler Service\\")
#define QORA_ADMINCLIENT_KEY QORA_PRODUCT_KEY _T("AdminClient\\")
#define QORA_SERVER_KEY QORA_PRODUCT_KEY _T("Server\\")
#define QORA_MULTIMEDIA_KEY QORA_PRODUCT_KEY _T("Multimedia\\")
#define QORA_COMPONENTS_KEY QORA_PRODUCT_KEY _T("Components")
#define QORA_BROWSER_KEY _T("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE\\")
#define QORA_DRIVER_KEY _T("SYSTEM\\CurrentControlSet\\Services\\QoraScsi\\")
// Under HKEY_CURRENT_USER: the per-user profile root.
#define QORA_PROFILE_KEY _T("Software\\Tevra\\QORA\\CurrentVersion\\")

// Bytes a typed string read accepts, terminator included.
constexpr DWORD REG_STRING_BYTES = 512;
// Characters of an enumerated key or value name.
constexpr DWORD REG_NAME_CHARS = 512;
// Characters of a component path after its conversion to the short form.
constexpr size_t SHORT_PATH_CHARS = 260;

// Every operation returns the registry status code, 0 for success.
class CIfcRegistry {
public:
    CIfcRegistry() = default;
    ~CIfcRegistry() { close(); }
    CIfcRegistry(const CIfcRegistry&) = delete;
    CIfcRegistry& operator=(const CIfcRegistry&) = delete;

    // Create-or-open with full access: a missing key is created empty.
    LONG open(HKEY hive, const TCHAR* path);
    // machine null or empty: the local computer.
    LONG connect(const TCHAR* machine, HKEY hive, const TCHAR* path);
    void close();
    HKEY handle() const { return key_; }
    bool isOpen() const { return key_ != nullptr; }

    LONG enumKey(DWORD index, tstring& name);
    LONG enumValue(DWORD index, tstring& name);
    LONG readDword(const TCHAR* name, DWORD& out);        // out unchanged on failure
    LONG readString(const TCHAR* name, tstring& text);    // traced under T_REGISTRY
    // Into a caller's buffer of `count` characters; emptied first.
    LONG readString(const TCHAR* name, TCHAR* buffer, size_t count);
    // Any type; size in bytes in and out; type receives the value's type.
    LONG readValue(const TCHAR* name, void* data, DWORD& size, DWORD* type = nullptr);
    // Expects REG_MULTI_SZ (ERROR_INVALID_DATATYPE otherwise); size in bytes.
    LONG readMultiString(const TCHAR* name, void* data, DWORD& size);
    LONG writeDword(const TCHAR* name, DWORD value);
    LONG writeString(const TCHAR* name, const TCHAR* text);
    LONG writeBinary(const TCHAR* name, const void* data, DWORD size);  // then flushes
    // data: strings each terminated, and a final terminator; size in bytes.
    LONG writeMultiString(const TCHAR* name, const TCHAR* data, DWORD size);  // then flushes
    LONG deleteValue(const TCHAR* name);

    // "REG_NONE" ... "REG_RESOURCE_LIST" for 0..8, otherwise "UNKNOWN".
    static const TCHAR* typeName(DWORD type);

private:
    HKEY key_ = nullptr;
};

// `Path` of HKLM\keyPath in its short form, joined with fileName (trailing
// blanks trimmed; nothing appended when empty). A Path whose short form
// cannot be made becomes ".\". False when the key cannot be opened or has
// no Path.
bool getComponentPath(const TCHAR* keyPath, const TCHAR* fileName, tstring& out);
bool getUtilsPath(const TCHAR* fileName, tstring& out);
bool getBooksPath(const TCHAR* fileName, tstring& out);
bool getAdminClientPath(const TCHAR* fileName, tstring& out);
// instance such as _T("Server1\\"); the backslash is added when missing.
bool getServerInstancePath(const TCHAR* instance, const TCHAR* fileName, tstring& out);
bool getMultimediaPath(const TCHAR* fileName, tstring& out);

// Directories ending in a backslash, as stored (not shortened).
bool getProductDir(tstring& out);       // always true: else the current directory
bool getServerDir(tstring& out);        // always true: else the current directory
bool getBackupClientDir(tstring& out);  // false when missing
bool getAdminClientDir(tstring& out);   // false when missing
bool getBrowserDir(tstring& out);       // a trailing ';' removed; false when missing

// LogOutputToFile and LogFile under Server\<instance>Service (instance such
// as _T("Server1\\")). A missing LogFile reads as empty; the write stores
// LogFile only when it is not empty.
bool getServerLogSettings(const TCHAR* instance, bool& toFile, tstring& logFile);
bool setServerLogSettings(const TCHAR* instance, bool toFile, const TCHAR* logFile);

// ExcludeDevices and ExcludeList of the device driver's service key. The
// write stores ExcludeList only when it is not empty.
bool getDriverExclusion(tstring& list, bool& exclude);
bool setDriverExclusion(const TCHAR* list, bool exclude);

// The current directory, ending in a backslash.
tstring currentDirectory();
