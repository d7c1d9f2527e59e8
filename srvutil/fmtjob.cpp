#include "srvutil/fmtjob.h"

#include <atomic>
#include "common/cmd/qorafmt.h"
#include "common/cmd/trace.h"
#include "srvutil/objslots.h"

namespace {

std::atomic<bool> formatRunning{false};

// The volume formatter that frees the one-at-a-time slot when it is done,
// before the completion message is posted.
int formatOnce(int32_t volumeType, const std::wstring& path, const std::wstring& sizeMb) {
    int rc = FormatVolume(volumeType, path, sizeMb);
    formatRunning = false;
    return rc;
}

// The job's wizard fields already hold type, path and size.
bool startGuarded(CommandJob& job) {
    bool idle = false;
    if (!formatRunning.compare_exchange_strong(idle, true)) {
        QTRACE(T_VOLFMT, L"format refused: another format is running\n");
        return false;
    }
    if (!startFormatRun(job, formatOnce)) {
        formatRunning = false;
        return false;
    }
    return true;
}

}  // namespace

bool volumeFormatRunning() { return formatRunning.load(); }

bool startVolumeFormat(CommandJob& job, HWND page, int32_t volumeType, const std::wstring& path,
                       const std::wstring& sizeMb) {
    if (formatRunning.load()) return false;
    jobInit(job, page, WM_FORMAT_DONE, job.workDir);
    job.ownNumber = volumeType;
    job.ownTexts[0] = path;
    job.ownTexts[1] = sizeMb;
    return startGuarded(job);
}

bool startFormatRun() {
    auto* job = static_cast<CommandJob*>(getSlot(SLOT_WIZARD_RECORD));
    return job && startGuarded(*job);
}
