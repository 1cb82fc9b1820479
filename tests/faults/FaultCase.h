#pragma once
#include <functional>
#include <string>
#include <vector>

// One fault the host's update request must weather: how the registry, the
// platform core and the host look, and the system's own answers that must
// (or must not) appear.
//
// An answer is "<source>: <pattern>", "<source>#N: <pattern>" (exactly N
// lines match) or "!<source>: <pattern>" (no line matches). `*` in a pattern
// stands for any text, `?` for one character. Sources:
//   host   the host's debug log, "<operation> <function>: <message>"
//   box    message boxes, "Pev <text>" or "Mirn <text>"
//   out    the host's standard output (the notification sink's lines)
//   log    the client layer's log file, the message of each line
//   dbg    the debugger output, the message of each line
//   core   the stand-in core's journal
//   state  the host's state afterwards ("user action log service set N times")
// In patterns, {qor} stands for the platform folder the registry names and
// {gone} for a folder that does not exist. In the scenario, {dir} stands for
// the case's folder and {gate} for the file the host creates once its
// progress dialog is on screen.
struct FaultCase
{
    enum class Registry { Installed, Empty, PathGone, PathGoneBut32Bit, ValueTooLong };
    enum class CoreFile { Built, Missing, NotALibrary, WithoutEntry };
    enum class Host { Complete, WithoutLogProvider, WithoutServices, WithoutMainForm };

    explicit FaultCase(std::string caseName)
        : name(std::move(caseName))
    {}

    FaultCase& inRegistry(Registry value)
    {
        registry = value;
        return *this;
    }
    FaultCase& withCore(CoreFile value)
    {
        core = value;
        return *this;
    }
    FaultCase& withScenario(std::string json)
    {
        scenario = std::move(json);
        return *this;
    }
    FaultCase& withHost(Host value)
    {
        host = value;
        return *this;
    }
    FaultCase& withDialog()
    {
        silent = false;
        return *this;
    }
    FaultCase& withLogFolderUnwritable()
    {
        logFolderWritable = false;
        return *this;
    }
    FaultCase& withFastClock()
    {
        fastClock = true;
        return *this;
    }
    FaultCase& withReceiverThrowingOnce()
    {
        receiverThrows = true;
        return *this;
    }
    FaultCase& leavingDuringTheUpdate()
    {
        waitsForSinks = false;
        return *this;
    }
    FaultCase& endingWhileTheLastLogLineWaits()
    {
        endsInsideALogLine = true;
        return *this;
    }
    FaultCase& preparedBy(std::function<void(const std::string&)> step)
    {
        prepare = std::move(step);
        return *this;
    }
    FaultCase& within(int milliseconds)
    {
        timeoutMs = milliseconds;
        return *this;
    }
    FaultCase& answering(bool value, std::vector<std::string> lines)
    {
        result = value;
        answers = std::move(lines);
        return *this;
    }

    std::string name;
    Registry registry = Registry::Installed;
    CoreFile core = CoreFile::Built;
    std::string scenario = "{}";
    Host host = Host::Complete;
    bool silent = true;
    bool logFolderWritable = true;
    // Runs under faketime, a hundred times faster: five minutes take three seconds.
    bool fastClock = false;
    // The host waits for the platform to release its sinks before it lets go
    // of the plug-in; otherwise it unloads the plug-in while reports come in.
    bool waitsForSinks = true;
    // The first report the plug-in's progress handler passes on from the
    // platform's thread meets a receiver that throws.
    bool receiverThrows = false;
    // The host ends at once after the platform began releasing its sink, while
    // the proxy's log line waits three seconds for the line lock.
    bool endsInsideALogLine = false;
    // Writes what the scenario needs into the case's folder before the run.
    std::function<void(const std::string& caseFolder)> prepare;
    int timeoutMs = 60000;
    bool result = true;
    std::vector<std::string> answers;
};

// The matrix, and a case by name.
const std::vector<FaultCase>& faultCases();
const FaultCase* findFaultCase(const std::string& name);
