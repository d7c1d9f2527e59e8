// The format job of the volume wizards: the volume file is created on the
// run engine's worker thread while the page stays responsive, and the page
// learns of the end from message 1125.
//
//   start:  startVolumeFormat(job, page, VOLUME_DATABASE, path, sizeMb)
//   1125:   if (takeRunResult(job, wParam)) read job.exitCode (a public
//           format code) and, when it is not 0, job.workDir (message 62012)
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "srvutil/cmdjob.h"

constexpr UINT WM_FORMAT_DONE = 1125;

// Starts formatting `path` with `sizeMb` megabytes of `volumeType` and
// returns at once; 1125 goes to `page`. False, with nothing started, while
// another format of this process still runs (two would share one disk's
// free space) or when the worker cannot be started.
bool startVolumeFormat(CommandJob& job, HWND page, int32_t volumeType, const std::wstring& path,
                       const std::wstring& sizeMb);

// True while a volume format of this process runs.
bool volumeFormatRunning();
