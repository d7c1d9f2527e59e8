// The standard repository file "kvt<LANG>.txt".
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "console.h"
#include "psbase.h"

void msgDistributionDir(char* buffer, size_t size)
{
    char dir[512] = "";
    if (!getSzValue("SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Server\\\\", "Path", dir, sizeof dir)
        || !dir[0]) {
        if (!GetCurrentDirectoryA(sizeof dir, dir))
            dir[0] = '\0';
    }
    char shortDir[261];
    if (strlen(dir) < 260) {
        DWORD n = GetShortPathNameA(dir, shortDir, sizeof shortDir);
        if (n > 0 && n < sizeof shortDir)
            strcpy(dir, shortDir);
    }
    size_t len = strlen(dir);
    if (len && dir[len - 1] != '\\' && len + 1 < sizeof dir) {
        dir[len] = '\\';
        dir[len + 1] = '\0';
    }
    psCopy(buffer, size, dir);
}

int ReadStandardMsgFile(const outlang2* langP, int msgNum, char* body, size_t bodySize,
                        size_t* lenP, int* severityP)
{
    FILE* f = fopen(langP->fileName, "rb");
    if (!f)
        return MSG_ERR_OPEN;
    int first = 0, last = 0;
    int rc = msgNum < 0 ? MSG_ERR_INDEX
           : msgReadStandard(f, (unsigned)msgNum, body, bodySize, lenP, &first, &last);
    fclose(f);
    switch (rc) {
    case MSG_OK:
        *severityP = last;
        return MSG_OK;
    case MSG_ERR_INDEX:
        printf("%3.3s0000E Error reading message repository for language %s.\n", "ANR", langP->name);
        return 4;
    case MSG_ERR_CONTROL:
        printf("ANR0000E Error reading message repository for language %s.\n", langP->name);
        return 4;
    default:
        fprintf(stderr, "%3.3s0000E Error reading message repository for language %s.\n", "ANR",
                langP->name);
        return 4;
    }
}
