#include "common/cmd/optfiles_io.h"
#include "common/cmd/trace.h"
#include "common/framework/handle.h"
#include <algorithm>
#include <ctime>
#include <utility>

namespace ofe {
namespace {

std::function<bool(FileStep)>& fault() {
    static std::function<bool(FileStep)> f;
    return f;
}

// Runs one step unless the test seam fails it first: 0 or the system error.
template <class Call>
DWORD attempt(FileStep step, Call&& call) {
    if (fault() && fault()(step)) return step == FileStep::Write ? ERROR_DISK_FULL : ERROR_WRITE_FAULT;
    if (call()) return 0;
    DWORD err = GetLastError();
    return err ? err : ERROR_WRITE_FAULT;
}

void toTraceFile(const char* module, unsigned code) {
    traceMessage(module, 0, _T("DefaultErrorTrace - RC: %u\n"), code);
}
const bool kTraceRouted = (setOptionsErrorTrace(&toTraceFile), true);

OptCode traced(OptCode rc) {
    if (rc != OPT_OK) optionsErrorTrace("optfiles", rc);
    return rc;
}

#ifdef UNICODE
std::wstring widePath(const OptChar* p) { return p; }
std::string fileBytes(const OptString& text) { return withCrLf(toAnsi(text)); }
OptString fromFileBytes(std::string_view bytes) { return fromAnsi(bytes); }
#else
std::wstring widePath(const OptChar* p) { return fromAnsi(p); }
std::string fileBytes(const OptString& text) { return withCrLf(text); }
OptString fromFileBytes(std::string_view bytes) { return OptString(bytes); }
#endif

// The base file's lines as a text-mode read gives them: CR LF becomes LF.
std::string withoutCr(std::string_view bytes) {
    std::string s;
    s.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) s += bytes[i];
    return s;
}

std::string timeStamp() {
    std::time_t now = std::time(nullptr);
    const char* t = std::ctime(&now);
    return t ? std::string(t).substr(0, 24) : std::string(24, ' ');
}

OptString computerName() {
    OptChar name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerName(name, &size) ? OptString(name, size) : OptString();
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

void setFileFaultForTest(std::function<bool(FileStep)> f) { fault() = std::move(f); }

std::string toAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), (int)text.size(), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring fromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), (int)bytes.size(), w.data(), n);
    return w;
}

std::string withCrLf(std::string_view lfText) {
    std::string s;
    s.reserve(lfText.size() + lfText.size() / 16);
    for (char c : lfText) {
        if (c == '\n') s += '\r';
        s += c;
    }
    return s;
}

bool readWholeFile(const std::wstring& path, FileContent& out, unsigned long& error) {
    out = {};
    fw::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) {
        error = GetLastError();
        return false;
    }
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (attempt(FileStep::Read, [&] { return ReadFile(f.get(), buf, sizeof buf, &n, nullptr); })) {
            out.readFailed = true;
            break;
        }
        if (n == 0) break;
        out.bytes.append(buf, n);
    }
    error = 0;
    return true;
}

unsigned long replaceFileContent(const std::wstring& path, std::string_view bytes,
                                 const std::wstring& backupPath) {
    DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return ERROR_ACCESS_DENIED;
    const std::wstring temp = path + L".new";
    fw::UniqueFile f;
    auto discard = [&](DWORD err) {
        f.reset();
        DeleteFileW(temp.c_str());
        return err;
    };
    if (DWORD err = attempt(FileStep::Create, [&] {
            f.reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
            return bool(f);
        }))
        return f ? discard(err) : err;
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD chunk = (DWORD)std::min<std::size_t>(bytes.size() - done, 1 << 16), n = 0;
        if (DWORD err = attempt(FileStep::Write, [&] {
                return WriteFile(f.get(), bytes.data() + done, chunk, &n, nullptr) && n == chunk;
            }))
            return discard(err);
        done += n;
    }
    if (DWORD err = attempt(FileStep::Flush, [&] { return FlushFileBuffers(f.get()); })) return discard(err);
    if (DWORD err = attempt(FileStep::Close, [&] { return CloseHandle(f.release()); })) return discard(err);
    if (!backupPath.empty() && attrs != INVALID_FILE_ATTRIBUTES) {
        if (DWORD err = attempt(FileStep::Backup, [&] { return CopyFileW(path.c_str(), backupPath.c_str(), FALSE); }))
            return discard(err);
    }
    if (DWORD err = attempt(FileStep::Replace, [&] {
            return MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }))
        return discard(err);
    return 0;
}

OptCode SaveClientOptionsFile(const OptChar* path, const ClientConfig& config) {
    ClientFileContext context{timeStamp(), computerName()};
    if (config.iAttachBaseOptions) {
        FileContent base;
        unsigned long error;
        if (!readWholeFile(widePath(config.szBaseOptionsFile), base, error))
            context.base = ClientFileContext::Base::Missing;
        else if (base.readFailed)
            context.base = ClientFileContext::Base::ReadError;
        else
            context.baseText = fromFileBytes(withoutCr(base.bytes));
    }
    OptString text;
    OptCode rc = BuildClientOptionsText(config, context, text);
    if (rc == OPT_READ_ERROR || rc == OPT_INVALID_ARGUMENT) return rc;

    const std::wstring target = widePath(path);
    std::wstring backup;
    if (exists(target)) {
        backup = widePath(ClientOptionsBackupName(path).c_str());
        // A file already named like its backup would be overwritten by it.
        if (CompareStringOrdinal(backup.c_str(), -1, target.c_str(), -1, TRUE) == CSTR_EQUAL)
            return traced(OPT_CANNOT_CREATE);
    }
    if (replaceFileContent(target, fileBytes(text), backup)) return traced(OPT_CANNOT_CREATE);
    return rc;
}

OptCode SaveSetupFile(const OptChar* path, const ClientConfig& config) {
    OptString text;
    if (OptCode rc = BuildSetupFileText(config, timeStamp(), text)) return rc;
    if (replaceFileContent(widePath(path), fileBytes(text))) return traced(OPT_CANNOT_CREATE);
    return OPT_OK;
}

}  // namespace ofe
