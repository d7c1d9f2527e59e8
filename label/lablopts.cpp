// The server options file, for the message language only.
#include <windows.h>
#include <ctype.h>
#include <stdio.h>
#include <string.h>
#include "labeler.h"
#include "console.h"
#include "psbase.h"

#define OPT_LINE_MAX 512

static void pthGetOptionsFilename(char* buffer, size_t size)
{
    buffer[0] = '\0';
    regKeyT key = nullptr;
    if (regOpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Server\\Server1\\Options\\",
                   &key) != ERROR_SUCCESS)
        return;
    if (regReadSz(key, "Filename", buffer, size) != ERROR_SUCCESS) {
        char dir[MAX_PATH];
        DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
        if (n > 0 && n < sizeof dir)
            _snprintf(buffer, size, "%s\\kvtserv.opt", dir);
        buffer[size - 1] = '\0';
    }
    regCloseKey(&key);
}

void psGetOptFileName(char* buffer, size_t size)
{
    pthGetOptionsFilename(buffer, size);
}

static void PrintLineError(int line, const char* lineText, size_t tokenPosition)
{
    outMsgf(906, line);
    outMsgf(907, lineText);
    char marker[OPT_LINE_MAX + 1];
    size_t n = strlen(lineText);
    memset(marker, '.', n);
    marker[n] = '\0';
    if (tokenPosition < n)
        marker[tokenPosition] = '|';
    outMsgf(908, marker);
}

void ReadOptions(const char* optFileName, LabelOptions* optionsP)
{
    memset(optionsP->optFileName, 0, sizeof optionsP->optFileName);
    psCopy(optionsP->optFileName, sizeof optionsP->optFileName, optFileName);
    strcpy(optionsP->language, "AMENG");
    FILE* f = fopen(optFileName, "rt");
    if (!f)
        f = fopen(optFileName, "r");
    if (!f) {
        outMsgf(905, optFileName);
        return;
    }
    outMsgf(900, optFileName);
    char line[OPT_LINE_MAX + 2];
    int lineNo = 0;
    while (fgets(line, sizeof line, f)) {
        lineNo++;
        size_t len = strlen(line);
        if (len > 0 && line[len - 1] != '\n' && !feof(f)) {
            // Longer than the reader takes: the whole line is dropped.
            int c;
            while ((c = fgetc(f)) != EOF && c != '\n') {
            }
            continue;
        }
        while (len > 0 && isspace((unsigned char)line[len - 1]))
            line[--len] = '\0';
        if (len == 0)
            continue;
        char* p = line;
        while (isspace((unsigned char)*p))
            p++;
        size_t tokLen = strcspn(p, " \t");
        char token[OPT_LINE_MAX + 1];
        memcpy(token, p, tokLen);
        token[tokLen] = '\0';
        for (char* t = token; *t; t++)
            *t = (char)toupper((unsigned char)*t);
        if (token[0] == '*')
            continue;
        static const char keyword[] = "LANGUAGE";
        if (tokLen < 4 || tokLen > strlen(keyword) || strncmp(token, keyword, tokLen) != 0)
            continue;
        char* v = p + tokLen;
        while (isspace((unsigned char)*v))
            v++;
        size_t vLen = strcspn(v, " \t");
        if (vLen >= 1 && vLen <= 16) {
            memcpy(optionsP->language, v, vLen);
            optionsP->language[vLen] = '\0';
        } else {
            outMsgf(901, "LANGUAGE", optFileName);
            PrintLineError(lineNo, line, (size_t)(v - line));
        }
    }
    fclose(f);
}
