// The format job: a volume file created on a watcher and a format thread
// while the wizard page stays responsive; the page learns of the end from
// its completion message.
#pragma once
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>

// Posted to the job's window (both parameters 0) when a format is over.
constexpr UINT WM_FORMAT_DONE = 1125;

struct FormatRequest {
    int32_t volumeType = 0;
    std::wstring path;
    std::wstring sizeText;  // megabytes
    HWND window = nullptr;
    UINT completionMessage = WM_FORMAT_DONE;
};

// The job's own record, kept alive by its threads as well as by the page, so
// a page that gave up waiting (time-out, wizard closed) frees nothing the
// threads still write to.
class FormatJob {
public:
    // Starts the watcher thread and returns at once; null when another
    // format is still running or the thread cannot be started.
    static std::shared_ptr<FormatJob> start(const FormatRequest& request);

    // True while a format of this process runs.
    static bool running();

    // The public result code, and for a failure the text of message 62012
    // with it. Final once the completion message has arrived (or finished()).
    int result() const { return result_; }
    const std::wstring& resultText() const { return resultText_; }
    bool finished() const;

    // Waits for the end; false when `ms` passed first.
    bool wait(DWORD ms) const;

    ~FormatJob();

private:
    FormatJob() = default;
    static DWORD WINAPI t_watchFormat(void* param);
    static DWORD WINAPI t_formatVolume(void* param);

    FormatRequest request_;
    int result_ = 0;
    std::wstring resultText_;
    HANDLE doneEvent_ = nullptr;
};
