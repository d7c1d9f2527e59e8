// Registry reads of the label utility.
#include <windows.h>
#include <string.h>
#include "psbase.h"

static const char szServerRegKey[] = "";

long regOpenKey(void* hive, const char* path, regKeyT* keyP)
{
    HKEY k = nullptr;
    DWORD disp;
    long rc = RegCreateKeyExA((HKEY)hive, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &k, &disp);
    *keyP = rc == ERROR_SUCCESS ? k : nullptr;
    return rc;
}

void regCloseKey(regKeyT* keyP)
{
    if (*keyP) {
        RegCloseKey((HKEY)*keyP);
        *keyP = nullptr;
    }
}

long regReadSz(regKeyT key, const char* name, char* buffer, size_t size)
{
    char value[512];
    DWORD type = 0, len = sizeof value - 1;
    long rc = RegQueryValueExA((HKEY)key, name, nullptr, &type, (BYTE*)value, &len);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    value[len < sizeof value ? len : sizeof value - 1] = '\0';
    // A value longer than the caller's buffer is refused, not cut.
    if (!psCopy(buffer, size, value)) {
        buffer[0] = '\0';
        return ERROR_MORE_DATA;
    }
    return ERROR_SUCCESS;
}

int getSzValue(const char* path, const char* name, char* buffer, size_t size)
{
    if (size)
        buffer[0] = '\0';
    regKeyT key = nullptr;
    if (regOpenKey(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS)
        return 0;
    long rc = regReadSz(key, name, buffer, size);
    regCloseKey(&key);
    return rc == ERROR_SUCCESS;
}

int regGetServerRegKey(char* buffer, size_t size)
{
    psCopy(buffer, size, szServerRegKey);
    return 0;
}
