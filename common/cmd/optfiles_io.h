// The file edge of the options files: whole-file reads and saves that
// replace a file in one step, and the client options and setup file saves.
#pragma once
#include "common/cmd/optfiles.h"
#include <functional>
#include <string>
#include <string_view>

namespace ofe {

// Steps of a file read or save, for the test seam below.
enum class FileStep { Read, Create, Write, Flush, Close, Backup, Replace };

// Tests make a step fail by returning true for it; empty restores normal
// operation.
void setFileFaultForTest(std::function<bool(FileStep)> fault);

struct FileContent {
    std::string bytes;
    bool readFailed = false;  // the read stopped short; bytes holds what came
};

// False with the system error when the file cannot be opened.
bool readWholeFile(const std::wstring& path, FileContent& out, unsigned long& error);

// Writes `bytes` to a temporary file beside `path`, checking every write, the
// flush and the close, then puts it in place of `path` in one step. With a
// backup path an existing file is copied there first; when that copy fails
// nothing is replaced. Returns 0 or the system error; on failure the
// original is unchanged and no temporary file is left.
unsigned long replaceFileContent(const std::wstring& path, std::string_view bytes,
                                 const std::wstring& backupPath = {});

// The system code page and the file's line ends.
std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view bytes);
std::string withCrLf(std::string_view lfText);

// Writes a client options file, keeping an existing one as its .old backup:
// 0, the missing-base code (written with the warning block), 102 (nothing
// written), 103 or 104 (nothing written).
OptCode SaveClientOptionsFile(const OptChar* path, const ClientConfig& config);

// Writes a setup file for kvtcfg: 0, 102 or 104 (nothing written).
OptCode SaveSetupFile(const OptChar* path, const ClientConfig& config);

}  // namespace ofe
