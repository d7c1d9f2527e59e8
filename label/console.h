// Console output of kvtlabel: numbered messages from the repository of the
// selected language, prompts, and the lock that keeps them whole.
#pragma once
#include <stdarg.h>
#include <stddef.h>
#include "msgrepo.h"

struct outlang2 {
    int msgType;             // 0 standard repository file, 1 message library
    char name[65];           // language, upper-cased
    char fileName[261];      // the repository that was found (and is read)
};

struct omsg {
    short severity;
    short msgNum;
    char text[MSG_TEXT_SIZE];
};

extern outlang2 outLanguage;

int  outSetLanguage(const char* name);                 // 0 or 401
void outInitialize(void);
void outPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void outMsgf(int msgNum, ...);
int  outPromptf(char* buffer, int size, int msgNum, ...);  // 0 or 400
int  msgGetLineLength(void* stream);

// Reads message `msgNum` of the selected language: the identifier and the
// standard body, terminated; 0 or an error code.
int psFetchMsg(const outlang2* langP, int msgNum, char* body, size_t bodySize,
               size_t* lenP, int* severityP);
// The two repository kinds behind psFetchMsg.
int ReadStandardMsgFile(const outlang2* langP, int msgNum, char* body, size_t bodySize,
                        size_t* lenP, int* severityP);
int psReadMsg(const outlang2* langP, int msgNum, char* body, size_t bodySize,
              size_t* lenP, int* severityP);
// Directory of the installed server (registry "Path"), ending in '\'; the
// current directory when the registry has none.
void msgDistributionDir(char* buffer, size_t size);
