#pragma once
#include <functional>
#include <string>
#include <vector>

// One fault the host's update request must weather: how the registry, the
// platform core and the host look, and the system's own answers that must
// (or must not) appear.
//
// An answer is "<source>: <pattern>", "<source>#N: <pattern>" (exactly N
// lines match), "<source>$: <pattern>" (the last line matches) or
// "!<source>: <pattern>" (no line matches). `*` in a pattern stands for any
// text, `?` for one character. An answer on a source that the case did not
// capture (a file never written) fails, as does one on a source not listed
// here. Sources:
//   host   the host's debug log, "<operation> <function>: <message>"
//   box    message boxes, "Pev <text>" or "Mirn <text>"
//   out    the host's standard output (the notification sink's lines)
//   log    the client layer's log file, the message of each line
//   dbg    the debugger output, the message of each line
//   core   the stand-in core's journal
//   state  the host's state afterwards ("user action log service set N times",
//          "user action log service the host's", "main form asked N times",
//          "windows open N", "dll directory D"), and when its request returned
//          ("at the answer N stops, M sink lines", or "facades none given" for
//          each ask of the facade)
//   down   the host's debug log while the host lets go of the plug-in
// In patterns, {qor} stands for the platform folder the registry names,
// {gone} for a folder that does not exist and {dir} for the case's folder. In the scenario, {dir} stands for
// the case's folder and {gate} for the file the host creates once its
// progress dialog is on screen.
struct FaultCase
{
    enum class Registry {
        Installed,
        BothViews,
        Empty,
        PathGone,
        PathGoneBut32Bit,
        PathGoneInBothViews,
        ValueTooLong
    };
    enum class CoreFile { Built, Missing, NotALibrary, WithoutEntry };
    enum class Host {
        Complete,
        WithoutLogProvider,
        WithoutServices,
        WithoutTovService,
        WithoutZubService,
        WithoutMainForm,
        ForeignMainForm, // a main form of another suite, without the Zub side
        None
    };

    explicit FaultCase(std::string caseName)
        : name(std::move(caseName))
    {}

    FaultCase& inRegistry(Registry value) { return set(registry, value); }
    FaultCase& withCore(CoreFile value) { return set(core, value); }
    FaultCase& withScenario(std::string json) { return set(scenario, std::move(json)); }
    FaultCase& withHost(Host value) { return set(host, value); }
    FaultCase& askingForTheFacade() { return set(facade, true); }
    // Between the host's two asks for the facade, the module arrives.
    FaultCase& withTheModuleArrivingLater()
    {
        requests = 2;
        return set(moduleArrivesLater, true);
    }
    FaultCase& requestingTwice() { return set(requests, 2); }
    FaultCase& withDialog() { return set(silent, false); }
    FaultCase& withLogFolderUnwritable() { return set(logFolderWritable, false); }
    FaultCase& withFastClock() { return set(fastClock, true); }
    FaultCase& withReceiverThrowingOnce() { return set(receiverThrows, true); }
    FaultCase& leavingDuringTheUpdate() { return set(waitsForSinks, false); }
    FaultCase& endingWhileTheLastLogLineWaits() { return set(endsInsideALogLine, true); }
    FaultCase& endingTheProcessAtTheResult() { return set(endsTheProcess, true); }
    FaultCase& deletingTheFactoryMidRequest() { return set(deletesFactory, true); }
    FaultCase& preparedBy(std::function<void(const std::string&)> step)
    {
        return set(prepare, std::move(step));
    }
    FaultCase& within(int milliseconds) { return set(timeoutMs, milliseconds); }
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
    // The host asks for the Quality Control facade, not for an update; the
    // result is whether it got one.
    bool facade = false;
    int requests = 1;
    bool moduleArrivesLater = false;
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
    // The host ends its process, the plug-in still loaded, as soon as the
    // platform reported the result; the debugger output is recorded to the end.
    bool endsTheProcess = false;
    // The host deletes the service factory from its first event that runs
    // inside the request: once its dialog is on screen, or in a silent
    // request at the first busy pause.
    bool deletesFactory = false;
    // Writes what the scenario needs into the case's folder before the run.
    std::function<void(const std::string& caseFolder)> prepare;
    int timeoutMs = 60000;
    bool result = true;
    std::vector<std::string> answers;

private:
    template <class T>
    FaultCase& set(T& member, T value)
    {
        member = std::move(value);
        return *this;
    }
};

// The matrix, and a case by name.
const std::vector<FaultCase>& faultCases();
const FaultCase* findFaultCase(const std::string& name);
