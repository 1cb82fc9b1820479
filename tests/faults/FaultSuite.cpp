#include "FaultSuite.h"

#include <ThisSystem.h>

#include "ChildProcess.h"
#include "CoreScenario.h"
#include "LogLines.h"
#include "TestPaths.h"
#include "TextFiles.h"

#include <QStandardPaths>

#include <json/json.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

std::string replaced(std::string text, const std::string& placeholder, const std::string& value)
{
    for (size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}

} // namespace

FaultSuite::FaultSuite(const FaultCase& fault)
    : m_case(fault)
    , m_bin(m_root.file("bin"))
    , m_qor(m_root.file("qor"))
    , m_gone(m_root.file("gone"))
{
    layOutBin();
    layOutCore();
    m_registry.install(registryText());
    std::ofstream(m_root.file("scenario.json"), std::ios::binary) << scenarioText();
    fs::create_directories(m_root.file("objects"));
    // Whatever the core records, if it is ever loaded.
    writeFile(m_root.file(FaultFiles::kJournal), "");
    if (m_case.moduleArrivesLater)
        place(TestPaths::inBuild("Module/QualityControl/1/QualityControl/ZubQualityControl64d.dll"),
              m_root.file(FaultFiles::kLateModule));
    if (m_case.prepare)
        m_case.prepare(m_root.path());
}

void FaultSuite::layOutBin() const
{
    fs::create_directories(m_bin);
    const fs::path self = ChildProcess::selfPath();
    const fs::path built = TestPaths::executableFolder();
    for (const fs::directory_entry& entry : fs::directory_iterator(built)) {
        const fs::path& file = entry.path();
        if (file.filename() == self.filename() || file.extension() == LIBRARY_SUFFIX)
            place(file, fs::path(m_bin) / file.filename());
    }
    // Windows: Qt's platform plug-ins, looked for beside the program.
    if (fs::is_directory(built / "platforms")) {
        fs::create_directories(fs::path(m_bin) / "platforms");
        for (const fs::directory_entry& entry : fs::directory_iterator(built / "platforms"))
            place(entry.path(), fs::path(m_bin) / "platforms" / entry.path().filename());
    }
    if (!m_case.logFolderWritable) {
        // Folders where the log files belong: no file can be made there.
        fs::create_directories(fs::path(m_bin) / "qorcore.1.txt");
        fs::create_directories(fs::path(m_bin) / "qorcore.2.txt");
    }
}

void FaultSuite::layOutCore() const
{
    const fs::path folder = fs::path(m_qor) / "x64";
    fs::create_directories(folder);
    switch (m_case.core) {
    case FaultCase::CoreFile::Built:
        place(TestPaths::inBuild("qor/x64/qorcore.dll"), folder / kCoreFile);
        break;
    case FaultCase::CoreFile::Missing: break;
    case FaultCase::CoreFile::NotALibrary:
        std::ofstream(folder / kCoreFile, std::ios::binary) << "MZ, but a text file all the same\n";
        break;
    case FaultCase::CoreFile::WithoutEntry:
        place(TestPaths::inBuild("testlibs/noentry.dll"), folder / kCoreFile);
        break;
    }
}

std::string FaultSuite::registryText() const
{
    switch (m_case.registry) {
    case FaultCase::Registry::Installed: return CoreScenario::registryText(m_qor);
    case FaultCase::Registry::BothViews: return CoreScenario::registryText(m_qor, m_gone);
    case FaultCase::Registry::Empty: return "REGEDIT4\n\n";
    case FaultCase::Registry::PathGone: return CoreScenario::registryText(m_gone);
    case FaultCase::Registry::PathGoneBut32Bit: return CoreScenario::registryText(m_gone, m_qor);
    case FaultCase::Registry::PathGoneInBothViews:
        return CoreScenario::registryText(m_gone, m_gone);
    case FaultCase::Registry::ValueTooLong:
        // Longer than the 260 bytes the locator offers the registry; the
        // 32-bit view has the key but no path.
        return CoreScenario::registryText(m_qor + "/" + std::string(300, 'x')) +
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Trevik\\QOR\\2.0]\n\"Other\"=\"x\"\n";
    }
    return std::string();
}

std::string FaultSuite::scenarioText() const
{
    const std::string text =
        replaced(m_case.scenario, "{gate}", jsonEscaped(m_root.file(FaultFiles::kGate)));
    return replaced(text, "{dir}", jsonEscaped(m_root.path()));
}

bool FaultSuite::fastClockAvailable()
{
    return !QStandardPaths::findExecutable("faketime").isEmpty();
}

bool FaultSuite::processEndReachesLibraries()
{
    return kOnWindows;
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
        {"QORCORE_JOURNAL", m_root.file(FaultFiles::kJournal)},
        {"WINPORT_OBJECTS", m_root.file("objects")},
        {"QT_QPA_PLATFORM", "offscreen"},
        {"QT_QPA_PLATFORMTHEME", ""},
        {"ZUB_MESSAGEBOX", "record"},
    };
    std::string program = host;
    if (m_case.fastClock) {
        program = QStandardPaths::findExecutable("faketime").toStdString();
        if (program.empty())
            return std::nullopt;
        arguments.insert(arguments.begin(), {"-f", "+0 x100", host});
        // faketime's library comes before the sanitizer's runtime.
        const char* asan = std::getenv("ASAN_OPTIONS");
        environment.push_back(
            {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":verify_asan_link_order=0"});
    }
    ChildProcess child(program, arguments, environment);
    if (!child.started())
        return std::nullopt;
    return child.wait(m_case.timeoutMs);
}

Observations FaultSuite::observations(std::optional<bool>& result) const
{
    Observations seen;
    for (const std::string& line : linesOfFile(m_root.file(FaultFiles::kReport))) {
        const size_t space = line.find(' ');
        const std::string source = line.substr(0, space);
        const std::string rest =
            space == std::string::npos ? std::string() : line.substr(space + 1);
        if (source == "result")
            result = rest == "true";
        else if (source == "captured")
            seen.capture(rest);
        else
            seen.add(source, rest);
    }
    // A file that is there was captured, even when empty.
    const auto read = [&](const char* source, const std::string& path, bool stamped) {
        if (fs::is_regular_file(path))
            seen.capture(source);
        for (const std::string& line : linesOfFile(path)) {
            const auto parsed = stamped ? parseStampedLine(line) : std::nullopt;
            seen.add(source, parsed ? parsed->message : line);
        }
    };
    read("out", m_root.file(FaultFiles::kStdout), false);
    for (const char* file : {"qorcore.1.txt", "qorcore.2.txt"})
        read("log", (fs::path(m_bin) / file).string(), true);
    read("dbg", m_root.file(FaultFiles::kDebugger), true);
    read("core", m_root.file(FaultFiles::kJournal), false);
    return seen;
}

std::string FaultSuite::expanded(const std::string& answer) const
{
    return replaced(replaced(replaced(answer, "{qor}", m_qor), "{gone}", m_gone), "{dir}",
                    m_root.path());
}
