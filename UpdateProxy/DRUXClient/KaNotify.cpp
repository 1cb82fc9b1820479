#include "KaNotify.h"

#include "IDRUXNotifyInf.h"

#include <qor/DruxCodes.h>

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>

namespace {
// A dying host may take buffered lines with it, and reports come from several
// threads: every line goes out at once.
void printLine(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

unsigned int threadId()
{
    return static_cast<unsigned int>(GetCurrentThreadId());
}

// The platform may send a null text; print it the way the CRT does.
const char* shown(const char* text)
{
    return text ? text : "(null)";
}

const char* resultLine(int result)
{
    switch (result) {
    case DRUXCODE::kInstalled: return "[0x%x] install %s.%s (bits %d) OK!\n";
    case DRUXCODE::kUserIgnored: return "[0x%x] user ignore update for %s.%s (bits %d)\n";
    case DRUXCODE::kDownloadFailed: return "[0x%x] download %s.%s (bits %d) failure!\n";
    case DRUXCODE::kUserCancelled: return "[0x%x] user cancel update for %s.%s (bits %d)\n";
    case DRUXCODE::kInstallFailed: return "[0x%x] install %s.%s (bits %d) failure!\n";
    case DRUXCODE::kWaitTimeout: return "[0x%x] wait %s.%s (bits %d) return timeout!\n";
    case DRUXCODE::kPostponed3Days:
        return "[0x%x] user postpone update for %s.%s (bits %d) 3 days later\n";
    case DRUXCODE::kPostponed7Days:
        return "[0x%x] user postpone update for %s.%s (bits %d) 7 days later\n";
    case DRUXCODE::kSkippedVersion: return "[0x%x] user skip current version for %s.%s (bits %d)\n";
    default: return nullptr;
    }
}

const char* stageLine(int stage)
{
    switch (stage) {
    case DRUXCODE::kDownloadOver: return "[0x%x] download %s.%s (bits %d) over\n";
    case DRUXCODE::kInstalling: return "[0x%x] installing %s.%s (bits %d) ...\n";
    case DRUXCODE::kInstallOver: return "[0x%x] install %s.%s (bits %d) over!\n";
    default: return nullptr;
    }
}
} // namespace

KaNotify::KaNotify(bool autoDelete, IDRUXNotifyInf* notifyInf)
    : m_bAutoDelete(autoDelete)
    , m_pReceiver(notifyInf ? notifyInf->token() : nullptr)
{}

KaNotify::~KaNotify()
{
    printLine("destroy notifier\n");
}

int KaNotify::notifyResult(unsigned int error, const char* text1, const char* text2, int bits,
                           int result)
{
    if (error != 0) {
        printLine("[0x%x] fatal error (%d) while waiting install for %s.%s (bits %d)\n", threadId(),
                  error, shown(text1), shown(text2), bits);
        return 0;
    }
    if (const char* line = resultLine(result))
        printLine(line, threadId(), shown(text1), shown(text2), bits);
    else
        printLine("[0x%x] other failure case (%d) for %s.%s (bits %d)\n", threadId(), result,
                  shown(text1), shown(text2), bits);
    return 0;
}

int KaNotify::notifyStage(unsigned int error, const char* text1, const char* text2, int bits,
                          int stage, int percent)
{
    if (error != 0) {
        printLine("[0x%x] fatal error (%d) while stage %d of %s.%s (bits %d)\n", threadId(), error,
                  stage, shown(text1), shown(text2), bits);
        return 0;
    }
    if (m_pReceiver)
        m_pReceiver->deliver(stage, percent);
    if (stage == DRUXCODE::kDownloading)
        printLine("[0x%x] downloading %s.%s (bits %d) %d%%\n", threadId(), shown(text1),
                  shown(text2), bits, percent);
    else if (const char* line = stageLine(stage))
        printLine(line, threadId(), shown(text1), shown(text2), bits);
    return 0;
}

int KaNotify::release()
{
    if (!m_bAutoDelete)
        return 0;
    printLine("kill myself\n");
    delete this;
    return 0;
}
