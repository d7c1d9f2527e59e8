// Messages of the other languages, from the message table of QORANLS,
// converted into the standard body.
#include <windows.h>
#include <locale.h>
#include <stdio.h>
#include <string.h>
#include "console.h"
#include "psbase.h"

static LANGID languageOfLocale(const char* name)
{
    const char* loc = setlocale(LC_ALL, name);
    if (!loc)
        return 0x0800;
    struct { const char* head; LANGID id; } map[] = {
        {"Germa", 0x0407}, {"Frenc", 0x040C}, {"Itali", 0x0810}, {"Spani", 0x080A},
        {"Japan", 0x0811}, {"Portu", 0x0416},
    };
    for (const auto& m : map)
        if (strncmp(loc, m.head, 5) == 0)
            return m.id;
    if (strncmp(loc, "Chine", 5) == 0)
        return (strstr(loc, "Taiwan") || strstr(loc, "950") || strstr(loc, "traditional"))
            ? 0x0404 : 0x0804;
    return 0x0800;
}

// Identifier from the raw text, then the rest in standard form.
static int MakeStandardMsgFormat(const char* raw, int msgNum, int severity,
                                 char* body, size_t bodySize, size_t* lenP)
{
    const char* blank = strchr(raw, ' ');
    if (!blank) {
        printf("ANR9999D outmsg(1132?):  Error setting standard message format.\n");
        return MSG_ERR_NO_BLANK;
    }
    msgPrefix(body, (unsigned)msgNum, severity);
    size_t len = 0;
    int rc = msgPreParse(blank + 1, body + MSG_PREFIX_LEN, bodySize - MSG_PREFIX_LEN, &len);
    if (rc != MSG_OK) {
        if (rc == MSG_ERR_INSERT_SYNTAX)
            printf("ANR9999D outmsg(1505?): Error finding valid insert - prx = %d, errno %d.\n", 0, 0);
        else if (rc == MSG_ERR_ASTERISKS)
            printf("More than 2 asterisks in the control string\n");
        else if (rc == MSG_ERR_LONG_DOUBLE)
            printf("Long double (%%le, %%lf, or %%lg) not supported in this release.\n"
                   "Raw message text:\n%s\n", raw);
        printf("ANR9999D outmsg(1154?): Error parsing message for standard format.\n");
        return rc;
    }
    *lenP = MSG_PREFIX_LEN + len;
    return MSG_OK;
}

int psReadMsg(const outlang2* langP, int msgNum, char* body, size_t bodySize,
              size_t* lenP, int* severityP)
{
    LANGID lang = languageOfLocale(langP->name);
    HMODULE h = LoadLibraryExA(langP->fileName, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char raw[1025];
    DWORD n = 0;
    if (h) {
        n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, h,
                           (DWORD)msgNum, lang, raw, sizeof raw - 1, nullptr);
        FreeLibrary(h);
    }
    if (n == 0 || bodySize <= MSG_PREFIX_LEN) {
        printf("Error in call to psReadMsg.\n");
        return 2;
    }
    raw[n] = '\0';
    while (n > 0 && (raw[n - 1] == '\n' || raw[n - 1] == '\r'))
        raw[--n] = '\0';
    size_t at = msgNum > 19999 ? 8 : 7;
    int severity = n > at ? msgSeverityOfLetter(raw[at]) : -1;
    if (severity < 0) {
        printf("Error determining severity for string \"%s\"\n", raw);
        return 4;
    }
    int rc = MakeStandardMsgFormat(raw, msgNum, severity, body, bodySize, lenP);
    if (rc != MSG_OK) {
        printf("Error converting message to standard format. \n");
        return rc;
    }
    *severityP = severity;
    return MSG_OK;
}
