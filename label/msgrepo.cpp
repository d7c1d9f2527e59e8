// Message repository layout, body forms and console wrapping. Everything
// read from a repository is bounded and checked before it is used as a
// format, so a damaged file gives an error, never an overrun.
#include "msgrepo.h"
#include <string.h>
#include <stdlib.h>

const char msgSevCodes[] = "TRIWESLZK";

int msgSeverityOfLetter(char c)
{
    if (c == 'D')
        return 9;
    const char* p = c ? strchr(msgSevCodes, c) : nullptr;
    return p ? (int)(p - msgSevCodes) : -1;
}

char msgLetterOfSeverity(int severity)
{
    if (severity == 9)
        return 'D';
    return severity >= 0 && severity < 9 ? msgSevCodes[severity] : '?';
}

void msgPrefix(char out[MSG_PREFIX_LEN + 1], unsigned msgNum, int severity)
{
    char c = msgLetterOfSeverity(severity);
    if (msgNum <= 9999)
        snprintf(out, MSG_PREFIX_LEN + 1, "ANR%04u%c ", msgNum, c);
    else if (msgNum <= 19999)
        snprintf(out, MSG_PREFIX_LEN + 1, "ANE%04u%c ", msgNum - 10000, c);
    else
        snprintf(out, MSG_PREFIX_LEN + 1, "ANR%04x%c ", msgNum & 0xFFFFu, c);
}

static int readWord(FILE* f, long offset, unsigned* w)
{
    unsigned char b[2];
    if (offset >= 0 && fseek(f, offset, SEEK_SET) != 0)
        return 0;
    if (fread(b, 1, 2, f) != 2)
        return 0;
    *w = b[0] | (unsigned)b[1] << 8;
    return 1;
}

int msgReadStandard(FILE* f, unsigned msgNum, char* body, size_t bodySize,
                    size_t* lenP, int* firstSevP, int* lastSevP)
{
    unsigned block = 0, cw = 0;
    if (bodySize <= MSG_PREFIX_LEN)
        return MSG_ERR_TOO_LONG;
    if (!readWord(f, 2L * (long)msgNum + 62, &block) || block == 0)
        return MSG_ERR_INDEX;
    if (!readWord(f, (long)(block - 1) * 64, &cw))
        return MSG_ERR_SEGMENT;
    int first = (int)((cw >> 12) & 7);
    msgPrefix(body, msgNum, first);
    size_t len = MSG_PREFIX_LEN;
    for (;;) {
        size_t segLen = cw & 0xFFF;
        if (segLen > bodySize - 1 - len)
            return MSG_ERR_TOO_LONG;
        if (fread(body + len, 1, segLen, f) != segLen)
            return MSG_ERR_SEGMENT;
        len += segLen;
        if (lastSevP)
            *lastSevP = (int)((cw >> 12) & 7);
        if (!(cw & 0x8000))
            break;
        if (!readWord(f, -1, &cw))
            return MSG_ERR_CONTROL;
    }
    body[len] = '\0';
    if (firstSevP)
        *firstSevP = first;
    if (lenP)
        *lenP = len;
    return MSG_OK;
}

// One printf conversion starting at '%': its length, asterisks and the class
// of the value it takes (i int, l long, f double, s text, p pointer).
struct convT {
    size_t len;
    int stars;
    char cls;
};

static int scanConv(const char* p, size_t avail, convT* c)
{
    size_t i = 1;
    c->stars = 0;
    while (i < avail && strchr("-+ #0", p[i]) && p[i])
        i++;
    if (i < avail && p[i] == '*') { c->stars++; i++; }
    while (i < avail && p[i] >= '0' && p[i] <= '9') i++;
    if (i < avail && p[i] == '.') {
        i++;
        if (i < avail && p[i] == '*') { c->stars++; i++; }
        while (i < avail && p[i] >= '0' && p[i] <= '9') i++;
    }
    int isLong = 0;
    if (i < avail && p[i] == 'h') i++;
    else if (i < avail && (p[i] == 'l' || p[i] == 'L')) {
        if (i + 1 < avail && strchr("efgEG", p[i + 1]) && p[i + 1])
            return MSG_ERR_LONG_DOUBLE;
        if (p[i] == 'L')
            return MSG_ERR_BODY;
        isLong = 1;
        i++;
    }
    if (i >= avail || !p[i])
        return MSG_ERR_BODY;
    char k = p[i];
    if (strchr("diouxXc", k))
        c->cls = isLong ? 'l' : 'i';
    else if (strchr("eEfgG", k))
        c->cls = 'f';
    else if (k == 's' && !isLong)
        c->cls = 's';
    else if (k == 'p')
        c->cls = 'p';
    else
        return MSG_ERR_BODY;   // %n, wide texts and unknown conversions
    c->len = i + 1;
    return MSG_OK;
}

static int typeOfClass(char cls)
{
    switch (cls) {
    case 's': case 'p': return 0;
    case 'i': return 1;
    case 'l': return 2;
    default: return 3;
    }
}

static const char* nextField(const char* p, const char* end)
{
    const void* z = memchr(p, '\0', (size_t)(end - p));
    return z ? (const char*)z + 1 : nullptr;
}

int msgParseBody(const char* body, size_t len, msgBodyT* out)
{
    memset(out, 0, sizeof *out);
    if (len < 1)
        return MSG_ERR_BODY;
    const char* end = body + len;
    out->form = (unsigned char)body[0] == 1 ? 1 : 2;
    if (out->form == 1) {
        out->text = body + 1;
        if (memchr(out->text, '\0', len - 1))
            return MSG_ERR_BODY;
        // Count the conversions now so that a damaged text is refused here.
        char sig[64];
        return msgSignature(out, sig, sizeof sig);
    }
    if (len < 2 || body[1] < '0' || body[1] > '0' + MSG_MAX_INSERTS)
        return MSG_ERR_BODY;
    int n = body[1] - '0';
    out->count = n;
    const char* p = body + 2;
    if ((size_t)(end - p) < (size_t)n)
        return MSG_ERR_BODY;
    int seen[MSG_MAX_INSERTS] = {0};
    for (int j = 0; j < n; j++) {
        int pos = p[j] - '0';
        if (pos < 0 || pos >= n || seen[pos])
            return MSG_ERR_BODY;
        seen[pos] = 1;
        out->order[j] = pos;
    }
    p += n;
    for (int i = 0; i < n; i++) {
        if (end - p < 3)
            return MSG_ERR_BODY;
        int stars = p[0] - '0', type = p[1] - '0';
        if (stars < 0 || stars > 2 || type < 0 || type > 3)
            return MSG_ERR_BODY;
        const char* conv = p + 2;
        const char* next = nextField(conv, end);
        size_t clen = next ? (size_t)(next - conv - 1) : 0;
        if (!next || clen == 0 || clen >= sizeof out->ins[i].conv || conv[0] != '%')
            return MSG_ERR_BODY;
        convT c;
        if (scanConv(conv, clen, &c) != MSG_OK || c.len != clen || c.stars != stars
            || typeOfClass(c.cls) != type)
            return MSG_ERR_BODY;
        out->ins[i].stars = stars;
        out->ins[i].type = type;
        memcpy(out->ins[i].conv, conv, clen + 1);
        p = next;
    }
    for (int i = 0; i <= n; i++) {
        const char* next = p < end ? nextField(p, end) : nullptr;
        if (!next)
            return MSG_ERR_BODY;
        out->piece[i] = p;
        p = next;
    }
    return MSG_OK;
}

static int addSig(char* sig, size_t size, size_t* k, char c)
{
    if (*k + 1 >= size)
        return 0;
    sig[(*k)++] = c;
    sig[*k] = '\0';
    return 1;
}

int msgSignature(const msgBodyT* b, char* sig, size_t size)
{
    size_t k = 0;
    if (size)
        sig[0] = '\0';
    if (b->form == 1) {
        int count = 0;
        const char* t = b->text;
        size_t avail = strlen(t);
        for (size_t i = 0; i < avail; i++) {
            if (t[i] != '%')
                continue;
            if (i + 1 < avail && t[i + 1] == '%') {
                i++;
                continue;
            }
            convT c;
            int rc = scanConv(t + i, avail - i, &c);
            if (rc != MSG_OK)
                return rc;
            if (++count > MSG_MAX_INSERTS)
                return MSG_ERR_BODY;
            for (int s = 0; s < c.stars; s++)
                if (!addSig(sig, size, &k, 'i')) return MSG_ERR_BODY;
            if (!addSig(sig, size, &k, c.cls))
                return MSG_ERR_BODY;
            i += c.len - 1;
        }
        return MSG_OK;
    }
    static const char typeLetters[] = "silf";
    for (int j = 0; j < b->count; j++) {
        const msgInsertT* in = &b->ins[b->order[j]];
        for (int s = 0; s < in->stars; s++)
            if (!addSig(sig, size, &k, 'i')) return MSG_ERR_BODY;
        char c = typeLetters[in->type];
        if (in->type == 0 && strchr(in->conv, 'p'))
            c = 'p';
        if (!addSig(sig, size, &k, c))
            return MSG_ERR_BODY;
    }
    return MSG_OK;
}

static void append(char* out, size_t outSize, size_t* len, const char* s)
{
    size_t n = strlen(s);
    if (n > outSize - 1 - *len)
        n = outSize - 1 - *len;
    memcpy(out + *len, s, n);
    *len += n;
    out[*len] = '\0';
}

int msgFormat(const msgBodyT* b, const char* prefix, va_list ap, char* out, size_t outSize)
{
    if (outSize == 0)
        return MSG_ERR_TOO_LONG;
    size_t len = 0;
    out[0] = '\0';
    append(out, outSize, &len, prefix);
    if (b->form == 1) {
        va_list aq;
        va_copy(aq, ap);
        vsnprintf(out + len, outSize - len, b->text, aq);
        va_end(aq);
        return MSG_OK;
    }
    char (*text)[MSG_TEXT_SIZE] = (char (*)[MSG_TEXT_SIZE])malloc(MSG_MAX_INSERTS * sizeof *text);
    if (!text)
        return MSG_ERR_TOO_LONG;
    va_list aq;
    va_copy(aq, ap);
    for (int j = 0; j < b->count; j++) {
        int pos = b->order[j];
        const msgInsertT* in = &b->ins[pos];
        int w[2] = {0, 0};
        for (int s = 0; s < in->stars; s++)
            w[s] = va_arg(aq, int);
        char* dst = text[pos];
        const char* cv = in->conv;
#define MSG_PUT(v) \
        (in->stars == 0 ? snprintf(dst, MSG_TEXT_SIZE, cv, v) \
         : in->stars == 1 ? snprintf(dst, MSG_TEXT_SIZE, cv, w[0], v) \
         : snprintf(dst, MSG_TEXT_SIZE, cv, w[0], w[1], v))
        switch (in->type) {
        case 0:
            if (strchr(cv, 'p')) {
                void* v = va_arg(aq, void*);
                MSG_PUT(v);
            } else {
                const char* v = va_arg(aq, const char*);
                MSG_PUT(v ? v : "UNKNOWN");
            }
            break;
        case 1: { int v = va_arg(aq, int); MSG_PUT(v); break; }
        case 2: { long v = va_arg(aq, long); MSG_PUT(v); break; }
        default: { double v = va_arg(aq, double); MSG_PUT(v); break; }
        }
#undef MSG_PUT
    }
    va_end(aq);
    for (int i = 0; i < b->count; i++) {
        append(out, outSize, &len, b->piece[i]);
        append(out, outSize, &len, text[i]);
    }
    append(out, outSize, &len, b->piece[b->count]);
    free(text);
    return MSG_OK;
}

struct preInsT {
    int arg;
    size_t start, end;       // "@n%...conv" in the source text
    char conv[32];
    int stars;
    char cls;
};

int msgPreParse(const char* text, char* body, size_t bodySize, size_t* lenP)
{
    preInsT ins[MSG_MAX_INSERTS];
    int n = 0;
    size_t tlen = strlen(text);
    for (size_t i = 0; i < tlen; i++) {
        if (text[i] != '@')
            continue;
        if (text[i + 1] == '@') {
            i++;
            continue;
        }
        if (text[i + 1] < '1' || text[i + 1] > '8' || text[i + 2] != '%')
            return MSG_ERR_INSERT_SYNTAX;
        // The conversion ends at the first conversion character.
        size_t k = i + 3;
        int stars = 0;
        while (k < tlen && !strchr("cdeEfgGiopsSuxX", text[k])) {
            if (text[k] == '*')
                stars++;
            k++;
        }
        if (k >= tlen)
            return MSG_ERR_INSERT_SYNTAX;
        if (stars > 2)
            return MSG_ERR_ASTERISKS;
        if (n == MSG_MAX_INSERTS)
            return MSG_ERR_INSERT_SYNTAX;
        preInsT* p = &ins[n];
        size_t clen = k + 1 - (i + 2);
        if (clen >= sizeof p->conv)
            return MSG_ERR_INSERT_SYNTAX;
        memcpy(p->conv, text + i + 2, clen);
        p->conv[clen] = '\0';
        convT c;
        int rc = scanConv(p->conv, clen, &c);
        if (rc != MSG_OK)
            return rc == MSG_ERR_LONG_DOUBLE ? rc : MSG_ERR_INSERT_SYNTAX;
        if (c.len != clen)
            return MSG_ERR_INSERT_SYNTAX;
        p->arg = text[i + 1] - '0';
        p->start = i;
        p->end = k + 1;
        p->stars = c.stars;
        p->cls = c.cls;
        n++;
        i = k;
    }
    int seen[MSG_MAX_INSERTS + 1] = {0};
    int rising = 1;
    for (int i = 0; i < n; i++) {
        if (ins[i].arg > n || seen[ins[i].arg])
            return MSG_ERR_INSERT_SYNTAX;
        seen[ins[i].arg] = 1;
        if (i > 0 && ins[i].arg < ins[i - 1].arg)
            rising = 0;
    }
    size_t len = 0;
#define PUT(ptr, cnt) \
    do { if ((cnt) > bodySize - len) return MSG_ERR_TOO_LONG; \
         memcpy(body + len, (ptr), (cnt)); len += (cnt); } while (0)
    char c;
    if (rising) {
        c = 1;
        PUT(&c, 1);
        size_t from = 0;
        for (int i = 0; i < n; i++) {
            PUT(text + from, ins[i].start - from);
            PUT(ins[i].conv, strlen(ins[i].conv));
            from = ins[i].end;
        }
        PUT(text + from, tlen - from);
    } else {
        c = 2;
        PUT(&c, 1);
        c = (char)('0' + n);
        PUT(&c, 1);
        for (int a = 1; a <= n; a++)
            for (int i = 0; i < n; i++)
                if (ins[i].arg == a) {
                    c = (char)('0' + i);
                    PUT(&c, 1);
                }
        for (int i = 0; i < n; i++) {
            c = (char)('0' + ins[i].stars);
            PUT(&c, 1);
            c = (char)('0' + typeOfClass(ins[i].cls));
            PUT(&c, 1);
            PUT(ins[i].conv, strlen(ins[i].conv) + 1);
        }
        size_t from = 0;
        for (int i = 0; i <= n; i++) {
            size_t to = i < n ? ins[i].start : tlen;
            PUT(text + from, to - from);
            PUT("", 1);
            if (i < n)
                from = ins[i].end;
        }
    }
#undef PUT
    if (len >= bodySize)
        return MSG_ERR_TOO_LONG;
    body[len] = '\0';
    *lenP = len;
    return MSG_OK;
}

static const char breakChars[] = " -,;.?:";

void msgWrap(const char* text, size_t width, msgLineFn emit, void* ctx)
{
    char line[256];
    if (width < 2 || width >= sizeof line - 1)
        return;
    const char* p = text;
    while (*p) {
        const char* tilde = strchr(p, '~');
        size_t seg = tilde ? (size_t)(tilde - p) : strlen(p);
        if (seg <= width) {
            emit(p, seg, ctx);
            p += seg;
            if (*p == '~')
                p++;
            continue;
        }
        size_t take;
        if (p[width] == ' ') {
            take = width;
            emit(p, take, ctx);
        } else {
            size_t k = width - 1;
            while (k >= 1 && !strchr(breakChars, p[k]))
                k--;
            if (k >= 1) {
                take = k + 1;
                emit(p, take, ctx);
            } else {
                take = width - 1;
                memcpy(line, p, take);
                line[take] = '-';
                emit(line, take + 1, ctx);
            }
        }
        p += take;
        while (*p == ' ')
            p++;
    }
}

int msgBuildRepository(const msgEntryT* entries, size_t count, size_t segmentMax,
                       unsigned char** imageP, size_t* sizeP)
{
    if (segmentMax < 1 || segmentMax > 4095)
        return MSG_ERR_BODY;
    unsigned maxNum = 0;
    size_t total = 0;
    for (size_t i = 0; i < count; i++) {
        if (entries[i].num > 32767 || entries[i].severity < 0 || entries[i].severity > 7)
            return MSG_ERR_BODY;
        if (entries[i].num > maxNum)
            maxNum = entries[i].num;
        total += 64 + entries[i].len + 2 * (entries[i].len / segmentMax + 1);
    }
    size_t indexEnd = 62 + 2 * ((size_t)maxNum + 1);
    size_t cap = (indexEnd + 63) / 64 * 64 + total;
    unsigned char* img = (unsigned char*)calloc(1, cap);
    if (!img)
        return MSG_ERR_TOO_LONG;
    static const char head[] = "kvtlabel message repository";
    memcpy(img, head, sizeof head - 1);
    size_t pos = (indexEnd + 63) / 64 * 64;
    for (size_t i = 0; i < count; i++) {
        const msgEntryT* e = &entries[i];
        unsigned char* idx = img + 62 + 2 * e->num;
        if (idx[0] || idx[1]) {
            free(img);
            return MSG_ERR_BODY;   // the number is there twice
        }
        size_t block = pos / 64 + 1;
        if (block > 0xFFFF) {
            free(img);
            return MSG_ERR_TOO_LONG;
        }
        idx[0] = (unsigned char)block;
        idx[1] = (unsigned char)(block >> 8);
        size_t done = 0;
        do {
            size_t seg = e->len - done < segmentMax ? e->len - done : segmentMax;
            unsigned cw = (unsigned)seg | (unsigned)e->severity << 12
                        | (done + seg < e->len ? 0x8000u : 0);
            img[pos++] = (unsigned char)cw;
            img[pos++] = (unsigned char)(cw >> 8);
            memcpy(img + pos, e->body + done, seg);
            pos += seg;
            done += seg;
        } while (done < e->len);
        pos = (pos + 63) / 64 * 64;
    }
    *imageP = img;
    *sizeP = pos;
    return MSG_OK;
}
