// Message repository of kvtlabel: the standard file layout, the message body
// forms, insert checking, formatting and line wrapping. No Win32 here.
#pragma once
#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>

#define MSG_MAX_INSERTS 8
#define MSG_TEXT_SIZE 2000      // formatted text, terminator included
#define MSG_BODY_SIZE 2000      // identifier and joined segments
#define MSG_PREFIX_LEN 9
#define MSG_LINE_WIDTH 79

// Results of the repository and body operations.
enum {
    MSG_OK = 0,
    MSG_ERR_OPEN = 2,        // repository cannot be opened
    MSG_ERR_INDEX = 4,       // no block for the number, or the index unreadable
    MSG_ERR_SEGMENT = 5,     // a segment cannot be read
    MSG_ERR_CONTROL = 6,     // a following control word cannot be read
    MSG_ERR_TOO_LONG = 7,    // joined segments exceed the body buffer
    MSG_ERR_BODY = 8,        // malformed body (form, counts, pieces, conversions)
    MSG_ERR_INSERTS = 9,     // inserts do not match what the caller passes
    MSG_ERR_INSERT_SYNTAX = 10,
    MSG_ERR_ASTERISKS = 11,
    MSG_ERR_LONG_DOUBLE = 12,
    MSG_ERR_NO_BLANK = 13,
    MSG_ERR_SEVERITY = 14,
};

// Severity letters by code; D (9) only comes from message libraries.
extern const char msgSevCodes[];
int  msgSeverityOfLetter(char c);        // -1 when unknown
char msgLetterOfSeverity(int severity);  // '?' when out of range

// The 9-character identifier ("ANR9722I ") for number and severity.
void msgPrefix(char out[MSG_PREFIX_LEN + 1], unsigned msgNum, int severity);

// Reads message `msgNum` from an open standard repository: `body` receives
// the identifier (first segment's severity) followed by the joined segments,
// terminated; `*lenP` its length. `firstSevP`/`lastSevP` may be null.
int msgReadStandard(FILE* f, unsigned msgNum, char* body, size_t bodySize,
                    size_t* lenP, int* firstSevP, int* lastSevP);

// One parsed body. Ordered form: inserts in text order, `order[j]` the text
// position of argument j.
struct msgInsertT {
    int stars;
    int type;                // 0 text or pointer, 1 int, 2 long, 3 double
    char conv[32];
};
struct msgBodyT {
    int form;                // 1 printf form, else ordered
    const char* text;        // form 1
    int count;
    int order[MSG_MAX_INSERTS];
    msgInsertT ins[MSG_MAX_INSERTS];
    const char* piece[MSG_MAX_INSERTS + 1];
};

// Validates and splits a body (`len` bytes, may hold NULs); pointers refer
// into `body`, which must stay alive.
int msgParseBody(const char* body, size_t len, msgBodyT* out);

// Argument types the body consumes, in argument order, one letter each:
// i int, l long, f double, s text, p pointer. Terminated.
int msgSignature(const msgBodyT* b, char* sig, size_t size);

// Fills the inserts: `prefix` (may be empty) then the text, into `out`.
// The caller has checked the signature against its arguments.
int msgFormat(const msgBodyT* b, const char* prefix, va_list ap, char* out, size_t outSize);

// Converts a text with "@n%conv" inserts into a standard body (form 1 when the
// argument numbers rise, else ordered); "@@" stays as it is.
int msgPreParse(const char* text, char* body, size_t bodySize, size_t* lenP);

// Splits a text into console lines of at most `width` characters.
typedef void (*msgLineFn)(const char* line, size_t len, void* ctx);
void msgWrap(const char* text, size_t width, msgLineFn emit, void* ctx);

// Expected inserts of every message kvtlabel issues (msgtable.cpp); null
// when the number is unknown.
const char* msgExpectedSignature(unsigned msgNum);

// Builds a standard repository image. Entries need not be sorted; numbers
// must be distinct and at most 32767. `segmentMax` (1..4095) splits long
// bodies into segments. Returns 0, or MSG_ERR_BODY/MSG_ERR_TOO_LONG.
struct msgEntryT {
    unsigned num;
    int severity;
    const char* body;
    size_t len;
};
int msgBuildRepository(const msgEntryT* entries, size_t count, size_t segmentMax,
                       unsigned char** imageP, size_t* sizeP);
