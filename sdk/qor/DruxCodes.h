#pragma once

// Codes that travel between the platform and its clients.
namespace DRUXCODE {

// Client result codes; any other value is the platform's own code.
enum ClientResult {
    kOk = 0,
    kNoService = 1,
    kBadArgument = 2,
    kNotStarted = 3,
    kListEmpty = 7,
    kListNotJson = 14,
    kNoPlatformCode = -1,
};

// Platform codes of checks and updates that the plug-in interprets.
enum PlatformCode {
    kCheckAgain = 6,
    kNoVersion = 7,
    kBusy = 8,
    kNotInstalled = 15,
    kAlreadyCurrent = 16,
};

// Stages of an accepted update.
enum Stage {
    kDownloading = 1,
    kDownloadOver = 2,
    kInstalling = 3,
    kInstallOver = 4,
};

// Outcomes of an update.
enum Result {
    kInstalled = 0,
    kUserIgnored = 1,
    kDownloadFailed = 2,
    kUserCancelled = 3,
    kInstallFailed = 4,
    kWaitTimeout = 5,
    kPostponed3Days = 10,
    kPostponed7Days = 11,
    kSkippedVersion = 12,
};

} // namespace DRUXCODE
