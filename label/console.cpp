// Console output: messages are fetched per display, filled, wrapped at 79
// characters and written whole under the console mutex.
#include <windows.h>
#include <stdio.h>
#include <stdarg.h>
#include <string.h>
#include <ctype.h>
#include "console.h"
#include "psbase.h"

outlang2 outLanguage = {0, "AMENG", ""};
static psMutexT conMutex = nullptr;

int msgGetLineLength(void*) { return 80; }

static int fileExists(const char* path)
{
    DWORD a = GetFileAttributesA(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Looks in the installed server's directory first, then in the fixed list;
// the file found is the one read later.
static int msgFindRepository(outlang2* langP, const char* name)
{
    char dist[261];
    msgDistributionDir(dist, sizeof dist);
    size_t dl = strlen(dist);
    if (dl && dist[dl - 1] == '\\')
        dist[dl - 1] = '\0';
    const char* dirList[] = {dist, ".", "\\QORA", "C:\\QORA"};
    for (const char* dir : dirList) {
        char path[261];
        int n = langP->msgType == 0
            ? _snprintf(path, sizeof path, "%s\\%s%s%s", dir, "KVT", name, ".TXT")
            : _snprintf(path, sizeof path, "%s\\%s%s", dir, "QORANLS", ".DLL");
        if (n < 0 || n >= (int)sizeof path)
            continue;
        for (char* p = path; *p; p++)
            *p = (char)toupper((unsigned char)*p);
        if (fileExists(path)) {
            strcpy(langP->fileName, path);
            return 1;
        }
    }
    return 0;
}

int outSetLanguage(const char* name)
{
    outlang2 lang = {};
    lang.msgType = strcmp(name, "AMENG") == 0 ? 0 : 1;
    char upper[65];
    if (!psCopy(upper, sizeof upper, name) || !msgFindRepository(&lang, upper)) {
        fprintf(stderr, "%s0000E Unable to find message repository for language %s.\n", "ANR", name);
        return 401;
    }
    for (char* p = upper; *p; p++)
        *p = (char)toupper((unsigned char)*p);
    strcpy(lang.name, upper);
    outLanguage = lang;
    return 0;
}

void outInitialize(void)
{
    setvbuf(stdin, nullptr, _IONBF, 0);
    setvbuf(stdout, nullptr, _IONBF, 0);
    setvbuf(stderr, nullptr, _IONBF, 0);
    if (!conMutex)
        mtxCreate(&conMutex);
}

static void conLock(void)
{
    if (!conMutex)
        outInitialize();
    mtxAcquire(conMutex);
}

void outPrintf(const char* format, ...)
{
    char buf[2048];
    va_list ap;
    va_start(ap, format);
    int n = _vsnprintf(buf, sizeof buf - 1, format, ap);
    va_end(ap);
    buf[(n < 0 || n >= (int)sizeof buf - 1) ? sizeof buf - 1 : (size_t)n] = '\0';
    conLock();
    fputs(buf, stdout);
    mtxRelease(conMutex);
}

int psFetchMsg(const outlang2* langP, int msgNum, char* body, size_t bodySize,
               size_t* lenP, int* severityP)
{
    if (langP->msgType == 0)
        return ReadStandardMsgFile(langP, msgNum, body, bodySize, lenP, severityP);
    return psReadMsg(langP, msgNum, body, bodySize, lenP, severityP);
}

static void writeLine(const char* line, size_t len, void*)
{
    fwrite(line, 1, len, stdout);
    fputc('\n', stdout);
}

static void DisplayMsg(int msgNum, va_list ap)
{
    // One work area per display, as the repository is read per message.
    struct workT {
        char body[MSG_BODY_SIZE + 1];
        omsg out;
    };
    workT* w = (workT*)shmAlloc(sizeof(workT));
    if (!w) {
        fprintf(stderr, "ANR0000E Insufficient memory to read message %d.\n", msgNum);
        return;
    }
    size_t len = 0;
    int severity = 0;
    msgBodyT b;
    char sig[64];
    const char* expected = msgExpectedSignature((unsigned)msgNum);
    int rc = psFetchMsg(&outLanguage, msgNum, w->body, sizeof w->body, &len, &severity);
    if (rc == MSG_OK && len >= MSG_PREFIX_LEN)
        rc = msgParseBody(w->body + MSG_PREFIX_LEN, len - MSG_PREFIX_LEN, &b);
    else if (rc == MSG_OK)
        rc = MSG_ERR_BODY;
    // The text becomes a format: it must take exactly the caller's arguments.
    if (rc == MSG_OK && (msgSignature(&b, sig, sizeof sig) != MSG_OK
                         || strcmp(sig, expected ? expected : "") != 0))
        rc = MSG_ERR_INSERTS;
    if (rc != MSG_OK) {
        fprintf(stderr, "%s0000E Error reading message repository for language %s.\n",
                "ANR", outLanguage.name);
        shmFree(w);
        return;
    }
    char prefix[MSG_PREFIX_LEN + 1] = "";
    if (severity >= 2) {
        memcpy(prefix, w->body, MSG_PREFIX_LEN);
        prefix[MSG_PREFIX_LEN] = '\0';
    }
    w->out.severity = (short)severity;
    w->out.msgNum = (short)msgNum;
    msgFormat(&b, prefix, ap, w->out.text, sizeof w->out.text);
    msgWrap(w->out.text, (size_t)msgGetLineLength(stdout) - 1, writeLine, nullptr);
    shmFree(w);
}

void outMsgf(int msgNum, ...)
{
    va_list ap;
    va_start(ap, msgNum);
    conLock();
    DisplayMsg(msgNum, ap);
    mtxRelease(conMutex);
    va_end(ap);
}

int outPromptf(char* buffer, int size, int msgNum, ...)
{
    va_list ap;
    va_start(ap, msgNum);
    conLock();
    fputc('\n', stdout);
    DisplayMsg(msgNum, ap);
    va_end(ap);
    if (size < 1 || !fgets(buffer, size, stdin)) {
        if (size > 0)
            buffer[0] = '\0';
        mtxRelease(conMutex);
        return 400;
    }
    size_t n = strlen(buffer);
    if (n == 0 || buffer[n - 1] != '\n') {
        // Too long an answer: the rest of the line is dropped.
        int c;
        while ((c = fgetc(stdin)) != EOF && c != '\n' && c != 0xFF) {
        }
    }
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r'))
        buffer[--n] = '\0';
    mtxRelease(conMutex);
    return 0;
}
