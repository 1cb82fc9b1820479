#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>

class FakeHost;

// One fault the host's update request must weather: how the registry, the
// platform core and the host look, and the system's own answers that must
// (or must not) appear.
//
// An answer is "<source>: <pattern>" (some line matches), "<source>#N: ..."
// (exactly N lines), "<source>$: ..." (the last line) or "!<source>: ..." (no
// line); `*` stands for any text, `?` for one character. An answer on a
// source not listed here, or not captured (its file never written), fails.
//   host   the host's debug log, "<operation> <function>: <message>"
//   box    message boxes, "Pev <text>" or "Mirn <text>"
//   out    the host's standard output (the notification sink's lines)
//   log    the client layer's log file, the message of each line
//   dbg    the debugger output, the message of each line
//   core   the stand-in core's journal
//   state  the host afterwards: "user action log service set N times",
//          "user action log service the host's", "main form asked N times",
//          "windows open N", "dll directory D", "returned true|false", and
//          "at the answer N stops, M sink lines" or "facades none given"
//   down   the host's debug log while the host lets go of the plug-in
// Answers may name {qor} (the platform folder the registry names), {gone} (a
// folder that does not exist) and {dir} (the case's folder); a scenario {dir}
// and {gate} (the file the host creates once its progress dialog is up).
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
    // What the host, or its suite, does besides one silent update request.
    enum class Twist {
        AsksForTheFacade,   // instead; the result is whether it got the facade
        ModuleArrivesLater, // asks twice for the facade; the module arrives in between
        RequestsTwice,
        PassesNoHost,
        ShowsTheDialog,
        LogFolderUnwritable,
        FastClock, // under faketime, a hundred times faster: five minutes take three seconds
        ReceiverThrowsOnce,    // at the first report passed on from the platform's thread
        LeavesDuringTheUpdate, // unloads the plug-in before the platform released its sinks
        EndsInsideALogLine,    // as the sink's release waits three seconds for the log's line lock
        EndsAtTheResult,  // its process, the plug-in loaded; the debugger output is kept to the end
        DeletesTheFactory // at its first event inside the request: dialog up, or first busy pause
    };

    explicit FaultCase(std::string caseName)
        : name(std::move(caseName))
    {}

    FaultCase& inRegistry(Registry value) { return set(registry, value); }
    FaultCase& withCore(CoreFile value) { return set(core, value); }
    FaultCase& withScenario(std::string json) { return set(scenario, std::move(json)); }
    // Leaves out parts of the host's main form.
    FaultCase& withHost(std::function<void(FakeHost&)> shape)
    {
        return set(host, std::move(shape));
    }
    template <class... Twists>
    FaultCase& with(Twists... more)
    {
        (twists.insert(more), ...);
        return *this;
    }
    // Writes what the scenario needs into the case's folder before the run.
    FaultCase& preparedBy(std::function<void(const std::string&)> step)
    {
        return set(prepare, std::move(step));
    }
    FaultCase& within(int milliseconds) { return set(timeoutMs, milliseconds); }
    FaultCase& returning(bool value) { return set(result, value); }
    FaultCase& answering(std::vector<std::string> lines) { return set(answers, std::move(lines)); }
    bool has(Twist twist) const { return twists.count(twist) > 0; }

    std::string name;
    Registry registry = Registry::Installed;
    CoreFile core = CoreFile::Built;
    std::string scenario = "{}";
    std::function<void(FakeHost&)> host;
    std::set<Twist> twists;
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
