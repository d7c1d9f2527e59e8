#include "common/cmd/logfile.h"
#include "common/cmd/msglib.h"
#include "common/cmd/textfmt.h"
#include "common/framework/handle.h"
#include <cstdio>
#include <cwchar>

namespace {

constexpr size_t TITLE_CHARS = 260;
const TCHAR RULE[] = _T("====================================================================");

// The one state every log object works on.
struct LogState {
    FILE* file = nullptr;
    fw::UniqueHandle mutex;
    bool enabled = false;
    TCHAR title[TITLE_CHARS] = _T("Log file opened: ");
    TCHAR record[LOG_RECORD_SIZE] = {};
};

LogState& state() {
    static LogState s;
    return s;
}

class MutexLock {
public:
    explicit MutexLock(HANDLE m) : m_(m) {
        if (m_) WaitForSingleObject(m_, INFINITE);
    }
    ~MutexLock() {
        if (m_) ReleaseMutex(m_);
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
private:
    HANDLE m_;
};

void stripLineEnds(TCHAR* text) {
    size_t len = _tcslen(text);
    for (int i = 0; i < 2 && len > 0 && (text[len - 1] == '\r' || text[len - 1] == '\n'); ++i)
        text[--len] = 0;
}

// Formats one record and appends it; the caller holds the mutex.
void writeRecord(const TCHAR* format, va_list args) {
    LogState& s = state();
    if (!s.enabled || !s.file) return;
    vformatText(s.record, LOG_RECORD_SIZE, format, args);
    stripLineEnds(s.record);
    _fputts(s.record, s.file);
    _fputts(_T("\n"), s.file);
}

}  // namespace

CIfcLogFile::CIfcLogFile() { setTitle(_T("Log file opened: ")); }

void CIfcLogFile::init() {
    LogState& s = state();
    s.mutex.reset(CreateMutex(nullptr, FALSE, nullptr));
    s.file = nullptr;
    s.enabled = false;
}

void CIfcLogFile::setTitle(const TCHAR* text) { copyText(state().title, TITLE_CHARS, text); }

void CIfcLogFile::enable(bool flag) {
    MutexLock lock(state().mutex.get());
    state().enabled = flag;
}

int CIfcLogFile::open(const TCHAR* path) {
    close();
    LogState& s = state();
    MutexLock lock(s.mutex.get());
    FILE* f = path ? _tfopen(path, _T("a+")) : nullptr;
    if (!f) return LOG_OPEN_FAILED;
    setvbuf(f, nullptr, _IONBF, 0);
    SYSTEMTIME t;
    GetLocalTime(&t);
    TCHAR when[32];
    formatText(when, 32, _T("%02u/%02u/%04u %02u:%02u:%02u"), t.wMonth, t.wDay, t.wYear, t.wHour,
               t.wMinute, t.wSecond);
    _fputts(formatString(_T("%s\n%s%s\n%s\n"), RULE, s.title, when, RULE).c_str(), f);
    s.file = f;
    return 0;
}

void CIfcLogFile::write(const TCHAR* format, ...) {
    MutexLock lock(state().mutex.get());
    va_list args;
    va_start(args, format);
    writeRecord(format, args);
    va_end(args);
}

void CIfcLogFile::writeMessage(unsigned messageId, ...) {
    std::basic_string<TCHAR> text(MESSAGE_CHARS, 0), formatted(MESSAGE_CHARS, 0);
    if (loadText(messageId, text.data(), MESSAGE_CHARS) == 0) {
        write(_T("Could not obtain string resource %u from msg dll\n"), messageId);
        return;
    }
    va_list args;
    va_start(args, messageId);
    vformatText(formatted.data(), MESSAGE_CHARS, text.c_str(), args);
    va_end(args);
    // The formatted message is data now, never a format.
    write(_T("%s"), formatted.c_str());
}

void CIfcLogFile::close() {
    LogState& s = state();
    MutexLock lock(s.mutex.get());
    if (s.file) {
        fflush(s.file);
        fclose(s.file);
        s.file = nullptr;
    }
}

void CIfcLogFile::term() { state().mutex.reset(); }

int dumpStream(const TCHAR* output, const TCHAR* path) {
    CIfcLogFile log;
    log.init();
    log.enable(true);
    int rc = log.open(path);
    if (rc == 0) {
        tstring record(output ? output : _T(""));
        if (record.size() > LOG_RECORD_SIZE - 1) record.resize(LOG_RECORD_SIZE - 1);
        log.write(_T("%s"), record.c_str());
        log.close();
    }
    log.term();
    return rc;
}
