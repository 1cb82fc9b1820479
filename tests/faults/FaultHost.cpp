#include "FaultHost.h"

#include "DebugCapture.h"
#include "FaultSuite.h"

#include <IBundlerActivator.h>
#include <IZubQualityControlServiceFactory.h>
#include <ZubHostTesting.h>
#include <ZubMainForm.h>

#include <windows.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLibrary>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
// The host's run-time objects, as complete as the case wants them.
class ZubService
    : public IZubService
    , public IZubHostObject
{
public:
    IZubHostObject* getHostObject() override { return this; }
    const QString& getText() const override { return m_text; }

private:
    QString m_text = "user-one";
};

class TovService : public ITovService
{
public:
    QString getText() override { return "user-two"; }
};

class LogProvider
    : public IZubUserActionLogProvider
    , public IZubUserActionLogService
{
public:
    IZubUserActionLogService* getUserActionLogService() override { return this; }
    void logUserAction(const QString&) override {}
};

class ForeignMainForm : public ITovMainForm
{
public:
    ITovService* getTovService() override { return nullptr; }
    IZubUserActionLogProvider* getUserActionLogProvider() override { return nullptr; }
};

// The host and its main form.
class UpdateHost
    : public IZubUpdateHost
    , public ITovMainForm
    , public IZubMainForm
{
public:
    explicit UpdateHost(FaultCase::Host kind)
        : m_kind(kind)
        , m_bTov(kind != FaultCase::Host::WithoutServices &&
                 kind != FaultCase::Host::WithoutTovService)
        , m_bZub(kind != FaultCase::Host::WithoutServices &&
                 kind != FaultCase::Host::WithoutZubService)
        , m_bLogProvider(kind != FaultCase::Host::WithoutLogProvider)
    {}
    ITovMainForm* getMainForm() override
    {
        if (m_kind == FaultCase::Host::ForeignMainForm)
            return &m_foreign;
        return m_kind == FaultCase::Host::WithoutMainForm ? nullptr : this;
    }
    ITovService* getTovService() override { return m_bTov ? &m_tov : nullptr; }
    IZubService* getZubService() override
    {
        ++asked;
        return m_bZub ? &m_zub : nullptr;
    }
    IZubUserActionLogProvider* getUserActionLogProvider() override
    {
        return m_bLogProvider ? &m_provider : nullptr;
    }

    int asked = 0;

private:
    FaultCase::Host m_kind;
    bool m_bTov;
    bool m_bZub;
    bool m_bLogProvider;
    TovService m_tov;
    ZubService m_zub;
    LogProvider m_provider;
    ForeignMainForm m_foreign;
};

class Context : public IBundleContext
{
public:
    void registerServiceFactory(IServiceFactory* registered) override
    {
        factory.reset(dynamic_cast<IZubQualityControlServiceFactory*>(registered));
    }
    std::unique_ptr<IZubQualityControlServiceFactory> factory;
};

int linesWith(const std::string& path, const std::string& part)
{
    std::ifstream file(path, std::ios::binary);
    int count = 0;
    for (std::string line; std::getline(file, line);)
        count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
}

// Every sink handed to the platform ends with "destroy notifier"; a refused
// update's at once, an accepted one's when the platform releases it.
void waitForSinks(const std::string& folder)
{
    const std::string journal = folder + "/" + FaultFiles::kJournal;
    const std::string out = folder + "/" + FaultFiles::kStdout;
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        std::fflush(stdout);
        if (linesWith(out, "destroy notifier") >= linesWith(journal, ".DoUpdate "))
            return;
        QThread::msleep(10);
    }
}

void writeDebuggerOutput(const std::string& folder, const DebugCapture& debugger)
{
    std::ofstream out(folder + "/" + FaultFiles::kDebugger, std::ios::binary | std::ios::trunc);
    for (const std::string& text : debugger.lines())
        out << text << (text.empty() || text.back() != '\n' ? "\n" : "");
}

// The client log's line lock, taken through a handle of the host's own and
// given back three seconds later; the platform's release then ends the
// process while its log line waits for the lock.
void endWhileTheLastLogLineWaits(const std::string& folder)
{
    const std::string log = QCoreApplication::applicationDirPath().toStdString() + "/qorcore.1.txt";
    const HANDLE file =
        CreateFileA(log.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED range = {};
    range.OffsetHigh = 0x40000000;
    LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range);
    std::thread([file, range]() mutable {
        Sleep(3000);
        UnlockFileEx(file, 0, 1, 0, &range);
    }).detach();
    const std::string journal = folder + "/" + FaultFiles::kJournal;
    const QDeadlineTimer deadline(10000);
    while (linesWith(journal, "sink 1 Release") == 0 && !deadline.hasExpired())
        QThread::msleep(10);
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

const char* operationName(ZubHostTesting::LogOperation operation)
{
    switch (operation) {
    case ZubHostTesting::LogOperation::Debug: return "debug";
    case ZubHostTesting::LogOperation::Info: return "info";
    case ZubHostTesting::LogOperation::Error: return "error";
    }
    return "";
}

// One line per entry: a message's closing line break goes, inner ones are shown as "\n".
std::string oneLine(QString text)
{
    if (text.endsWith('\n'))
        text.chop(1);
    return text.replace("\n", "\\n").toStdString();
}

// The host's debug log from `first` on, each line opened with `source`.
void writeHostLog(std::ostream& report, const char* source, size_t first)
{
    const auto entries = ZubHostTesting::debugLogEntries();
    for (size_t at = first; at < entries.size(); ++at)
        report << source << " " << operationName(entries[at].operation) << " "
               << entries[at].function.toStdString() << ": " << oneLine(entries[at].message)
               << "\n";
}

void writeReport(const std::string& folder, bool result, int mainFormAsked)
{
    std::ofstream report(folder + "/" + FaultFiles::kReport, std::ios::binary | std::ios::trunc);
    report << "result " << (result ? "true" : "false") << "\n";
    writeHostLog(report, "host", 0);
    for (const ZubHostTesting::MessageBoxRecord& box : ZubHostTesting::messageBoxTexts())
        report << "box " << (box.box == ZubHostTesting::MessageBoxKind::Pev ? "Pev " : "Mirn ")
               << oneLine(box.text) << "\n";
    report << "state user action log service set " << ZubHostTesting::userActionLogServiceSetCount()
           << " times\n";
    int open = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        open += window->isVisible() ? 1 : 0;
    report << "state windows open " << open << "\n";
    report << "state main form asked " << mainFormAsked << " times\n";
    WCHAR directory[MAX_PATH] = {};
    GetDllDirectoryW(MAX_PATH, directory);
    report << "state dll directory " << QString::fromWCharArray(directory).toStdString() << "\n";
}
} // namespace

bool serveOneUpdateRequest(const FaultCase& fault, const std::string& folder)
{
    if (!std::freopen((folder + "/" + FaultFiles::kStdout).c_str(), "w", stdout))
        return false;
    ZubHostTesting::captureDebugLog(true);
    ZubHostTesting::recordMessageBoxes(true);
    DebugCapture debugger;

    QLibrary plugin(QCoreApplication::applicationDirPath() + "/" + PLUGIN_FILE);
    const auto getbundle = reinterpret_cast<GetBundleFunc>(plugin.resolve("getbundle"));
    if (!getbundle)
        return false;
    std::unique_ptr<IBundlerActivator> bundle(getbundle());
    Context context;
    bundle->activate(&context, nullptr);
    if (!context.factory)
        return false;

    UpdateHost host(fault.host);
    if (fault.receiverThrows)
        installThrowingReceiver();
    QTimer watch;
    const std::function<void()> deleteFactory = [&context, &fault] {
        if (fault.deletesFactory)
            context.factory.reset();
    };
    if (!fault.silent)
        openGateWithTheDialog(watch, folder + "/" + FaultFiles::kGate, deleteFactory);
    else if (fault.deletesFactory)
        QTimer::singleShot(0, &watch, deleteFactory);
    bool result = false;
    if (fault.facade) {
        // The host's own search directory must be in force again afterwards.
        SetDllDirectoryW(QString::fromStdString(folder).toStdWString().c_str());
        result = context.factory->getUIFacade(nullptr, nullptr, "host", nullptr, false) != nullptr;
    } else {
        for (int request = 0; request < fault.requests; ++request)
            result = context.factory->updateQualityControl(
                fault.host == FaultCase::Host::None ? nullptr : &host, fault.silent);
    }
    if (fault.waitsForSinks && !fault.endsInsideALogLine)
        waitForSinks(folder);
    writeReport(folder, result, host.asked);
    if (fault.endsInsideALogLine) {
        writeDebuggerOutput(folder, debugger);
        endWhileTheLastLogLineWaits(folder);
    }

    // The host lets go of everything; the plug-in's unload ends its client layer.
    const size_t logged = ZubHostTesting::debugLogEntries().size();
    context.factory.reset();
    std::ofstream report(folder + "/" + FaultFiles::kReport, std::ios::binary | std::ios::app);
    writeHostLog(report, "down", logged);
    writeDebuggerOutput(folder, debugger);
    bundle.reset();
    const bool unloaded = plugin.unload();
    // A host that let go of the plug-in mid-update stays open meanwhile: the
    // platform's reports still come in. Windows would end the platform's
    // threads with the process.
    if (!fault.waitsForSinks)
        waitForSinks(folder);
    return unloaded;
}
