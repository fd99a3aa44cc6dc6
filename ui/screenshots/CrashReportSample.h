#pragma once
// A crash report as the reporter would show it, with its files (a stack
// trace, the crash log, a binary symbol file) in a temporary directory that
// lives as long as the sample. For the crash report scenes.
#include <QTemporaryDir>

#include "ui/crashreport/CrashReportController.h"
#include "ui/crashreport/CrashReportPrompts.h"
#include "ui/crashreport/CrashReportUpload.h"

namespace tarnwick::screenshots {

struct SampleCrashReport {
    QTemporaryDir dir;
    ui::HttpReportUploader uploader{QStringLiteral("http://127.0.0.1:9")};  // never used by a scene
    ui::DesktopCrashReportPrompts prompts;
    ui::CrashReportController controller;

    SampleCrashReport();
};

}  // namespace tarnwick::screenshots
