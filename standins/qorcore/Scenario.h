#pragma once
// What the stand-in core does, read from a JSON scenario (see README.md).
#include <windows.h>

#include <string>
#include <vector>

namespace qorcore {

// A text the core sends: absent (the core's default), null, given as UTF-8,
// given as raw bytes that the core packs two to a UTF-16 unit as a platform
// that forgot to convert its narrow text would, or read as UTF-8 from a file
// when it is sent (texts far larger than a scenario should hold).
struct TextSpec
{
    enum class Kind { Default, Null, Given, Bytes, File };
    Kind kind = Kind::Default;
    std::string utf8; // Given: the text; Bytes: the bytes; File: the file's path
};

// What one call returns: its status and, unless `setsCode` is false, the
// code written through the caller's code pointer.
struct Outcome
{
    HRESULT status = S_OK;
    bool setsCode = true;
    int code = 0;
};

struct CheckPlan
{
    Outcome outcome;
    int busyChecks = 0; // the first checks of a service answer "busy" (status 1, code 8)
    unsigned int hasUpdate = 0;
    TextSpec reason;
    TextSpec list;
};

// One report of an accepted update, sent on the update's thread `thread`
// after `delayMs`.
struct Report
{
    enum class Kind { Stage, Result };
    Kind kind = Kind::Stage;
    int thread = 1;
    int delayMs = 0;
    unsigned int error = 0;
    TextSpec text1;
    TextSpec text2;
    bool hasBits = false;
    int bits = 0;
    int value = 0; // the stage or the result
    int percent = 0;
};

struct UpdatePlan
{
    Outcome outcome;
    // Reports go out one after the other in script order; concurrent lets
    // each thread run its own reports without waiting for the others.
    bool concurrent = false;
    int releaseDelayMs = 0;
    // When set, the first report waits until this file exists: a host
    // creates it once it is ready to see reports (its dialog is up).
    std::string gate;
    std::vector<Report> reports;
};

struct FlavourPlan
{
    HRESULT create = S_OK;
    Outcome start;
    CheckPlan check;
    CheckPlan checkForUser;
    UpdatePlan update;
    Outcome stop;
};

struct LoaderPlan
{
    HRESULT classObject = S_OK;
    bool nullClassObject = false;
    HRESULT createCore = S_OK;
};

// Local repository mode: packages offered from a folder and installed into
// the suite's module folder.
struct RepositoryPlan
{
    bool enabled = false;
    std::string packages;
    std::string modules;
    int paceMs = 0;
    int chunkBytes = 64 * 1024;
};

struct Scenario
{
    LoaderPlan loader;
    FlavourPlan product;
    FlavourPlan user;
    RepositoryPlan repository;
};

// What the core answers when its scenario cannot be read (invalid data).
const HRESULT kScenarioUnusable = static_cast<HRESULT>(0x8007000D);

// Parses a scenario text. False with the reason in `error` when the text is
// not JSON, or a key is unknown or of the wrong type. Never throws.
bool parseScenario(const std::string& text, Scenario& scenario, std::string& error);

} // namespace qorcore
