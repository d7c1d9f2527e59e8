#include "srvutil/fmtjob.h"

#include <atomic>
#include "common/cmd/msglib.h"
#include "common/cmd/qorafmt.h"
#include "common/cmd/textfmt.h"
#include "common/cmd/trace.h"
#include "resources/include/volumes_ids.h"

namespace {

// One format at a time: two would race for the same free space.
std::atomic<bool> formatRunning{false};

// What a thread receives: its own reference to the job.
using JobRef = std::shared_ptr<FormatJob>;

}  // namespace

bool FormatJob::running() { return formatRunning.load(); }

FormatJob::~FormatJob() {
    if (doneEvent_) CloseHandle(doneEvent_);
}

bool FormatJob::finished() const { return wait(0); }

bool FormatJob::wait(DWORD ms) const {
    return WaitForSingleObject(doneEvent_, ms) == WAIT_OBJECT_0;
}

std::shared_ptr<FormatJob> FormatJob::start(const FormatRequest& request) {
    bool idle = false;
    if (!formatRunning.compare_exchange_strong(idle, true)) {
        QTRACE(T_VOLFMT, L"format job refused: a format is running\n");
        return nullptr;
    }
    JobRef job(new FormatJob);
    job->request_ = request;
    job->doneEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto* ref = new JobRef(job);
    HANDLE watcher = job->doneEvent_ ? CreateThread(nullptr, 0, t_watchFormat, ref, 0, nullptr) : nullptr;
    if (!watcher) {
        delete ref;
        formatRunning = false;
        return nullptr;
    }
    CloseHandle(watcher);
    return job;
}

DWORD WINAPI FormatJob::t_watchFormat(void* param) {
    JobRef job = std::move(*static_cast<JobRef*>(param));
    delete static_cast<JobRef*>(param);

    auto* ref = new JobRef(job);
    HANDLE worker = CreateThread(nullptr, 0, t_formatVolume, ref, 0, nullptr);
    if (worker) {
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    } else {
        delete ref;
        job->result_ = VOLFMT_OTHER;
        job->resultText_ = formatString(L"%d", VOLFMT_OTHER);
    }
    // Results are complete before anyone is told.
    SetEvent(job->doneEvent_);
    formatRunning = false;
    if (job->request_.window)
        PostMessageW(job->request_.window, job->request_.completionMessage, 0, 0);
    return 0;
}

DWORD WINAPI FormatJob::t_formatVolume(void* param) {
    JobRef job = std::move(*static_cast<JobRef*>(param));
    delete static_cast<JobRef*>(param);

    const FormatRequest& r = job->request_;
    int code = FormatVolume(r.volumeType, r.path, r.sizeText);
    job->result_ = code;
    if (code != VOLFMT_OK) {
        tstring text;
        if (loadString(IDS_FORMAT_FAILED, text) > 0)
            job->resultText_ = formatString(text.c_str(), code);
        else
            job->resultText_ = formatString(L"%d", code);
    }
    return 0;
}
