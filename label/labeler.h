// The label utility's run: command line, options file, workers.
#pragma once
#include "labdesc.h"

struct LabelOptions {
    char optFileName[1024];
    char language[17];
};

enum { ARG_UNSIGNED = 0, ARG_SIGNED = 1, ARG_STRING = 2, ARG_FLAG = 3 };

struct argSpecT {
    int type;
    const char* prefixP;
    unsigned key;
};

union argValueU {
    unsigned unsignedValue;
    int intValue;
    const char* stringValueP;
};

int  argNext(char delimiter, const char* argWord, const argSpecT* argSpecP, int argSpecCount,
             unsigned* keyP, argValueU* valueP);
int  TestMatch(const char* string, const char* prefix);
// Reads a decimal number of at most `max`, digits only, with no overflow;
// `endP` receives the first character after it. 0 when there is none.
int  argReadUnsigned(const char* s, unsigned long max, unsigned long* valueP, const char** endP);

void ReadOptions(const char* optFileName, LabelOptions* optionsP);
void psGetOptFileName(char* buffer, size_t size);

int  labInit(int argCount, char** argVector, baseDescS** basePP);
int  labMain(baseDescS* baseP);
int  ProcessLibArg(baseDescS* baseP, const char* string);
int  ProcessDriveArg(baseDescS* baseP, const char* string);
void ShowHelpInfo(void);
