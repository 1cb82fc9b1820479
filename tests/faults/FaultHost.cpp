#include "FaultHost.h"

#include "ChildProcess.h"
#include "DebugCapture.h"
#include "FaultSuite.h"
#include "LogLines.h"

#include "FakeHost.h"
#include "PluginLoader.h"
#include "TextFiles.h"

#include <ZubHostTesting.h>
#include <ZubUserActionLogUtils.h>

#include <windows.h>

#include <QApplication>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

// QtCore's hook on every signal emission (declared in its private headers).
struct QSignalSpyCallbackSet
{
    using BeginCallback = void (*)(QObject* sender, int index, void** arguments);
    using EndCallback = void (*)(QObject* sender, int index);
    BeginCallback signal_begin_callback;
    BeginCallback slot_begin_callback;
    EndCallback signal_end_callback;
    EndCallback slot_end_callback;
};
void qt_register_signal_spy_callbacks(QSignalSpyCallbackSet* callbacks);

namespace {
// Every sink handed to the platform ends with "destroy notifier"; a refused
// update's at once, an accepted one's when the platform releases it.
void waitForSinks(const std::string& folder)
{
    ChildProcess::waitUntil(
        [&] {
            std::fflush(stdout);
            return linesWith(readFile(sourceFile(folder, "out")), "destroy notifier") >=
                   linesWith(readFile(sourceFile(folder, "core")), ".DoUpdate ");
        },
        30000);
}

// Waits (ten seconds at most) until the core's journal has a line with `part`.
void waitForTheCore(const std::string& folder, const char* part)
{
    const std::string journal = sourceFile(folder, "core");
    ChildProcess::waitUntil([&] { return linesWith(readFile(journal), part) > 0; }, 10000);
}

// The client log's line lock, taken through a handle of the host's own and
// given back three seconds later; the platform's release then ends the
// process while its log line waits for the lock.
void endWhileTheLastLogLineWaits(const std::string& folder)
{
    const std::string log = QCoreApplication::applicationDirPath().toStdString() + "/qorcore.1.txt";
    const HANDLE file = lockLinesOf(log);
    std::thread([file] {
        Sleep(3000);
        unlockLines(file);
    }).detach();
    waitForTheCore(folder, "sink 1 Release");
    QThread::msleep(300);
    std::fflush(nullptr);
    std::exit(0);
}

// The platform's reports go out once the progress dialog is on screen; then
// `opened` runs.
void openGateWithTheDialog(QTimer& watch, const std::string& gate,
                           const std::function<void()>& opened)
{
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&watch, gate, opened] {
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) {
                std::ofstream(gate, std::ios::binary) << "dialog up\n";
                watch.stop();
                opened();
                return;
            }
        }
    });
    watch.start();
}

// A receiver of the progress handler's signals that throws at the first one
// emitted on a thread other than the host's.
Qt::HANDLE g_hostThread = nullptr;
std::atomic<bool> g_receiverThrew{false};

void throwAtFirstForeignReport(QObject* sender, int, void**)
{
    if (QThread::currentThreadId() == g_hostThread ||
        std::strcmp(sender->metaObject()->className(), "ZubInstallProgressHandler") != 0)
        return;
    if (!g_receiverThrew.exchange(true))
        throw std::runtime_error("a receiver failed");
}

void installThrowingReceiver()
{
    g_hostThread = QThread::currentThreadId();
    static QSignalSpyCallbackSet callbacks = {throwAtFirstForeignReport, nullptr, nullptr, nullptr};
    qt_register_signal_spy_callbacks(&callbacks);
}

// One line per entry: a message's closing line break goes, inner ones are shown as "\n".
std::string oneLine(QString text)
{
    if (text.endsWith('\n'))
        text.chop(1);
    return text.replace("\n", "\\n").toStdString();
}

// The host's debug log from `first` on.
void writeHostLog(const std::string& path, size_t first)
{
    static const char* const kOperations[] = {"debug", "info", "error"}; // as LogOperation
    const auto entries = ZubHostTesting::debugLogEntries();
    std::ofstream log(path, std::ios::binary);
    for (size_t at = first; at < entries.size(); ++at)
        log << kOperations[static_cast<int>(entries[at].operation)] << " "
            << entries[at].function.toStdString() << ": " << oneLine(entries[at].message) << "\n";
}

// The module the case laid aside, put where the plug-in looks for it.
void placeTheLateModule(const std::string& folder)
{
    const std::filesystem::path module = folder + "/" + FaultFiles::kModule;
    std::error_code error;
    std::filesystem::create_directories(module.parent_path(), error);
    std::filesystem::rename(folder + "/" + FaultFiles::kLateModule, module, error);
}

// How far the platform had got when the host's request returned.
std::string atTheAnswer(const std::string& folder)
{
    std::fflush(stdout);
    const int stops = linesWith(readFile(sourceFile(folder, "core")), ".Stop");
    const int lines = linesWith(readFile(sourceFile(folder, "out")), "[0x");
    return "at the answer " + std::to_string(stops) + " stops, " + std::to_string(lines) +
           " sink lines";
}

// What the host saw of its request: its log, its message boxes and its state.
void writeReport(const std::string& folder, bool result, FakeHost& host,
                 const std::string& answered)
{
    writeHostLog(sourceFile(folder, "host"), 0);
    std::ofstream boxes(sourceFile(folder, "box"), std::ios::binary);
    for (const ZubHostTesting::MessageBoxRecord& box : ZubHostTesting::messageBoxTexts())
        boxes << (box.box == ZubHostTesting::MessageBoxKind::Pev ? "Pev " : "Mirn ")
              << oneLine(box.text) << "\n";
    int open = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        open += window->isVisible() ? 1 : 0;
    const IZubUserActionLogService* service = ZubUserActionLogUtils::userActionLogService();
    WCHAR directory[MAX_PATH] = {};
    GetDllDirectoryW(MAX_PATH, directory);
    std::ofstream state(sourceFile(folder, "state"), std::ios::binary);
    state << "returned " << (result ? "true" : "false") << "\n";
    state << "user action log service set " << ZubHostTesting::userActionLogServiceSetCount()
          << " times\n";
    state << "windows open " << open << "\n";
    state << "main form asked " << host.mainFormAsked << " times\n";
    state << "user action log service "
          << (!service                       ? "none"
              : service == host.logService() ? "the host's"
                                             : "another")
          << "\n";
    state << answered << "\n";
    state << "dll directory " << QString::fromWCharArray(directory).toStdString() << "\n";
}
} // namespace

bool serveOneUpdateRequest(const FaultCase& fault, const std::string& folder)
{
    using Twist = FaultCase::Twist;
    if (!std::freopen(sourceFile(folder, "out").c_str(), "w", stdout))
        return false;
    ZubHostTesting::captureDebugLog(true);
    ZubHostTesting::recordMessageBoxes(true);
    DebugCapture debugger;

    PluginLoader plugin;
    std::unique_ptr<IBundlerActivator> bundle = plugin.newBundle();
    std::unique_ptr<IZubQualityControlServiceFactory> factory =
        bundle ? PluginLoader::activate(*bundle) : nullptr;
    if (!factory)
        return false;

    FakeHost host;
    if (fault.host)
        fault.host(host);
    if (fault.has(Twist::ReceiverThrowsOnce))
        installThrowingReceiver();
    QTimer watch;
    const std::function<void()> deleteFactory = [&factory, &fault] {
        if (fault.has(Twist::DeletesTheFactory))
            factory.reset();
    };
    const bool silent = !fault.has(Twist::ShowsTheDialog);
    if (!silent)
        openGateWithTheDialog(watch, folder + "/" + FaultFiles::kGate, deleteFactory);
    else if (fault.has(Twist::DeletesTheFactory))
        QTimer::singleShot(0, &watch, deleteFactory);
    const int requests =
        fault.has(Twist::RequestsTwice) || fault.has(Twist::ModuleArrivesLater) ? 2 : 1;
    bool result = false;
    std::string answered;
    if (fault.has(Twist::AsksForTheFacade)) {
        // The host's own search directory must be in force again afterwards.
        SetDllDirectoryW(QString::fromStdString(folder).toStdWString().c_str());
        answered = "facades";
        for (int ask = 0; ask < requests; ++ask) {
            if (ask > 0)
                placeTheLateModule(folder);
            result = factory->getUIFacade(nullptr, nullptr, "host", nullptr, false) != nullptr;
            answered += result ? " given" : " none";
        }
    } else {
        for (int request = 0; request < requests; ++request)
            result = factory->updateQualityControl(fault.has(Twist::PassesNoHost) ? nullptr : &host,
                                                   silent);
        answered = atTheAnswer(folder);
    }
    const bool leaves = fault.has(Twist::LeavesDuringTheUpdate);
    if (fault.has(Twist::EndsAtTheResult))
        waitForTheCore(folder, "NotifyResult");
    else if (!leaves && !fault.has(Twist::EndsInsideALogLine))
        waitForSinks(folder);
    writeReport(folder, result, host, answered);
    // From here on, the debugger output is recorded as it comes: the
    // plug-in's teardown speaks there, at its unload or at the process end.
    debugger.recordTo(sourceFile(folder, "dbg"));
    if (fault.has(Twist::EndsInsideALogLine))
        endWhileTheLastLogLineWaits(folder);
    if (fault.has(Twist::EndsAtTheResult)) {
        std::fflush(nullptr);
        std::exit(0);
    }

    // The host lets go of everything; the plug-in's unload ends its client layer.
    const size_t logged = ZubHostTesting::debugLogEntries().size();
    factory.reset();
    writeHostLog(sourceFile(folder, "down"), logged);
    bundle.reset();
    const bool unloaded = plugin.library().unload();
    // A host that let go of the plug-in mid-update stays open meanwhile: the
    // platform's reports still come in. Windows would end the platform's
    // threads with the process.
    if (leaves)
        waitForSinks(folder);
    return unloaded;
}
