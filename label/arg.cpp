// Classifying command-line words against the table of arguments.
#include <ctype.h>
#include <string.h>
#include <errno.h>
#include <stdlib.h>
#include "labeler.h"

int TestMatch(const char* string, const char* prefix)
{
    for (; *prefix; string++, prefix++)
        if (toupper((unsigned char)*string) != toupper((unsigned char)*prefix))
            return 0;
    return 1;
}

int argReadUnsigned(const char* s, unsigned long max, unsigned long* valueP, const char** endP)
{
    if (!isdigit((unsigned char)*s))
        return 0;
    unsigned long v = 0;
    while (isdigit((unsigned char)*s)) {
        unsigned d = (unsigned)(*s++ - '0');
        if (v > (max - d) / 10)
            return 0;   // beyond the limit: refused, never wrapped
        v = v * 10 + d;
    }
    *valueP = v;
    if (endP)
        *endP = s;
    return 1;
}

int argNext(char delimiter, const char* argWord, const argSpecT* argSpecP, int argSpecCount,
            unsigned* keyP, argValueU* valueP)
{
    if (argWord[0] != delimiter)
        return 200;
    const char* word = argWord + 1;
    for (int i = 0; i < argSpecCount; i++) {
        const argSpecT* s = &argSpecP[i];
        if (!TestMatch(word, s->prefixP))
            continue;
        const char* value = word + strlen(s->prefixP);
        if (s->type == ARG_FLAG) {
            if (*value)
                return 201;
        } else if (s->type == ARG_STRING) {
            valueP->stringValueP = value;
        } else {
            int negative = s->type == ARG_SIGNED && *value == '-';
            unsigned long v;
            const char* end;
            if (!argReadUnsigned(value + negative, negative ? 2147483648UL : (s->type == ARG_SIGNED ? 2147483647UL : 4294967295UL), &v, &end) || *end)
                return 202;
            if (s->type == ARG_SIGNED)
                valueP->intValue = negative ? (int)(0 - (long long)v) : (int)v;
            else
                valueP->unsignedValue = (unsigned)v;
        }
        *keyP = s->key;
        return 0;
    }
    return 201;
}
