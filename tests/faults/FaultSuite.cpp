#include "FaultSuite.h"

#include "ChildProcess.h"
#include "CoreScenario.h"
#include "LogLines.h"
#include "TestPaths.h"
#include "TextFiles.h"

#include <QStandardPaths>

#include <json/json.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
const char* const kHostTest = "FaultHost.DISABLED_serveOneUpdateRequest";
const char* const kCoreFile = "qorcore.dll";

// Same file system: a link is enough. Otherwise a copy.
void place(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::create_hard_link(from, to, error);
    if (error)
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

// `text` as it stands inside a JSON string, without the quotes.
std::string jsonEscaped(const std::string& text)
{
    const std::string quoted = Json::valueToQuotedString(text.c_str());
    return quoted.substr(1, quoted.size() - 2);
}

std::string replaced(const std::string& text, const char* placeholder, const std::string& value)
{
    // Bytes, not text: an answer may hold the ANSI code page's.
    return QByteArray::fromStdString(text)
        .replace(placeholder, QByteArray::fromStdString(value))
        .toStdString();
}

void layOutBin(const fs::path& bin, bool logFolderWritable)
{
    fs::create_directories(bin);
    const fs::path self = ChildProcess::selfPath();
    const fs::path built = TestPaths::executableFolder();
    for (const fs::directory_entry& entry : fs::directory_iterator(built)) {
        const fs::path& file = entry.path();
        if (file.filename() == self.filename() || file.extension() == LIBRARY_SUFFIX)
            place(file, bin / file.filename());
    }
    // Windows: Qt's platform plug-ins, looked for beside the program.
    if (fs::is_directory(built / "platforms")) {
        fs::create_directories(bin / "platforms");
        for (const fs::directory_entry& entry : fs::directory_iterator(built / "platforms"))
            place(entry.path(), bin / "platforms" / entry.path().filename());
    }
    if (!logFolderWritable) {
        // Folders where the log files belong: no file can be made there.
        fs::create_directories(bin / "qorcore.1.txt");
        fs::create_directories(bin / "qorcore.2.txt");
    }
}

void layOutCore(const fs::path& folder, FaultCase::CoreFile core)
{
    fs::create_directories(folder);
    switch (core) {
    case FaultCase::CoreFile::Built:
        place(TestPaths::inBuild("qor/x64/qorcore.dll"), folder / kCoreFile);
        break;
    case FaultCase::CoreFile::Missing: break;
    case FaultCase::CoreFile::NotALibrary:
        writeFile((folder / kCoreFile).string(), "MZ, but a text file all the same\n");
        break;
    case FaultCase::CoreFile::WithoutEntry:
        place(TestPaths::inBuild("testlibs/noentry.dll"), folder / kCoreFile);
        break;
    }
}

std::string registryText(FaultCase::Registry registry, const std::string& qor,
                         const std::string& gone)
{
    switch (registry) {
    case FaultCase::Registry::Installed: return CoreScenario::registryText(qor);
    case FaultCase::Registry::BothViews: return CoreScenario::registryText(qor, gone);
    case FaultCase::Registry::Empty: return "REGEDIT4\n\n";
    case FaultCase::Registry::PathGone: return CoreScenario::registryText(gone);
    case FaultCase::Registry::PathGoneBut32Bit: return CoreScenario::registryText(gone, qor);
    case FaultCase::Registry::PathGoneInBothViews: return CoreScenario::registryText(gone, gone);
    case FaultCase::Registry::ValueTooLong:
        // Longer than the 260 bytes the locator offers the registry; the
        // 32-bit view has the key but no path.
        return CoreScenario::registryText(qor + "/" + std::string(300, 'x')) +
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Trevik\\QOR\\2.0]\n\"Other\"=\"x\"\n";
    }
    return std::string();
}

} // namespace

FaultSuite::FaultSuite(const FaultCase& fault)
    : m_case(fault)
    , m_bin(m_root.file("bin"))
    , m_qor(m_root.file("qor"))
    , m_gone(m_root.file("gone"))
{
    layOutBin(m_bin, !m_case.has(FaultCase::Twist::LogFolderUnwritable));
    layOutCore(fs::path(m_qor) / "x64", m_case.core);
    m_registry.install(registryText(m_case.registry, m_qor, m_gone));
    const std::string gate = jsonEscaped(m_root.file(FaultFiles::kGate));
    writeFile(m_root.file("scenario.json"), replaced(replaced(m_case.scenario, "{gate}", gate),
                                                     "{dir}", jsonEscaped(m_root.path())));
    fs::create_directories(m_root.file("objects"));
    // Whatever the core records, if it is ever loaded.
    writeFile(sourceFile(m_root.path(), "core"), "");
    if (m_case.has(FaultCase::Twist::ModuleArrivesLater))
        place(TestPaths::inBuild(FaultFiles::kModule), m_root.file(FaultFiles::kLateModule));
    if (m_case.prepare)
        m_case.prepare(m_root.path());
}

std::optional<int> FaultSuite::runHost()
{
    const std::string host =
        (fs::path(m_bin) / fs::path(ChildProcess::selfPath()).filename()).string();
    std::vector<std::string> arguments = ChildProcess::testArguments(kHostTest);
    ChildProcess::Environment environment = {
        {FaultFiles::kCaseVariable, m_case.name},
        {FaultFiles::kFolderVariable, m_root.path()},
        {"QORCORE_SCENARIO", m_root.file("scenario.json")},
        {"QORCORE_JOURNAL", sourceFile(m_root.path(), "core")},
        {"WINPORT_OBJECTS", m_root.file("objects")},
        {"QT_QPA_PLATFORM", "offscreen"},
        {"QT_QPA_PLATFORMTHEME", ""},
        {"ZUB_MESSAGEBOX", "record"},
    };
    std::string program = host;
    if (m_case.has(FaultCase::Twist::FastClock)) {
        program = QStandardPaths::findExecutable("faketime").toStdString();
        arguments.insert(arguments.begin(), {"-f", "+0 x100", host});
        // faketime's library comes before the sanitizer's runtime.
        const char* asan = std::getenv("ASAN_OPTIONS");
        environment.push_back(
            {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":verify_asan_link_order=0"});
    }
    return ChildProcess(program, arguments, environment).wait(m_case.timeoutMs);
}

Observations FaultSuite::observations() const
{
    Observations seen;
    // A file that is there was captured, even when empty; log lines lose their stamp.
    const auto read = [&](const char* source, const std::string& path) {
        if (!fs::is_regular_file(path))
            return;
        std::vector<std::string>& lines = seen.capture(source);
        for (const std::string& line : linesOfFile(path)) {
            const auto stamped = parseStampedLine(line);
            lines.push_back(stamped ? stamped->message : line);
        }
    };
    for (const char* source : {"host", "box", "state", "down", "out", "dbg", "core"})
        read(source, sourceFile(m_root.path(), source));
    for (const char* file : {"qorcore.1.txt", "qorcore.2.txt"})
        read("log", (fs::path(m_bin) / file).string());
    return seen;
}

std::string FaultSuite::expanded(const std::string& answer) const
{
    return replaced(replaced(replaced(answer, "{qor}", m_qor), "{gone}", m_gone), "{dir}",
                    m_root.path());
}
