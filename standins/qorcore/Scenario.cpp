#include "Scenario.h"

#include <json/json.h>

#include <cctype>
#include <cstdlib>
#include <initializer_list>
#include <memory>

namespace qorcore {
namespace {

const int kNestingLimit = 32;

// "c4 e3 ba c3" or "c4e3bac3": blanks may stand between bytes.
bool bytesFromHex(const std::string& hex, std::string& bytes)
{
    bytes.clear();
    for (size_t i = 0; i < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= hex.size() || !std::isxdigit(static_cast<unsigned char>(hex[i])) ||
            !std::isxdigit(static_cast<unsigned char>(hex[i + 1])))
            return false;
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return true;
}

// Reads members strictly: an unknown key or a value of the wrong type stops
// the reading with the first reason; an absent member keeps the default.
class Reader
{
public:
    explicit Reader(std::string& error)
        : m_error(error)
    {}

    bool fail(const std::string& where, const std::string& what)
    {
        m_error = where + ": " + what;
        return false;
    }

    bool object(const Json::Value& value, const std::string& where,
                const std::vector<const char*>& keys)
    {
        if (!value.isObject())
            return fail(where, "expected an object");
        for (const std::string& name : value.getMemberNames()) {
            bool known = false;
            for (const char* key : keys)
                known = known || name == key;
            if (!known)
                return fail(where, "unknown key '" + name + "'");
        }
        return true;
    }

    bool integer(const Json::Value& owner, const char* key, const std::string& where, int& out)
    {
        return typed(owner, key, where, out, &Json::Value::isInt, &Json::Value::asInt,
                     "expected an integer");
    }

    bool flag(const Json::Value& owner, const char* key, const std::string& where, bool& out)
    {
        return typed(owner, key, where, out, &Json::Value::isBool, &Json::Value::asBool,
                     "expected true or false");
    }

    bool string(const Json::Value& owner, const char* key, const std::string& where,
                std::string& out)
    {
        return typed(owner, key, where, out, &Json::Value::isString, &Json::Value::asString,
                     "expected a string");
    }

    // An HRESULT as a number (negative or up to 0xFFFFFFFF) or as "0x...".
    bool status(const Json::Value& owner, const char* key, const std::string& where, HRESULT& out)
    {
        if (!owner.isMember(key))
            return true;
        const Json::Value& value = owner[key];
        if (value.isInt()) {
            out = static_cast<HRESULT>(value.asInt());
            return true;
        }
        if (value.isUInt()) {
            out = static_cast<HRESULT>(value.asUInt());
            return true;
        }
        if (value.isString()) {
            const std::string text = value.asString();
            char* end = nullptr;
            const unsigned long parsed = std::strtoul(text.c_str(), &end, 16);
            if (text.size() > 2 && text.compare(0, 2, "0x") == 0 && *end == '\0' &&
                parsed <= 0xFFFFFFFFul) {
                out = static_cast<HRESULT>(static_cast<uint32_t>(parsed));
                return true;
            }
        }
        return fail(where + "." + key, "expected a status (a number or \"0x...\")");
    }

    // A text in one of three spellings, at most one of them present: `key`
    // (a string is sent as it stands, null as a null text, and with
    // `anyJson` any other value as its JSON text), `key`Bytes (hex digits,
    // the raw bytes) or `key`File (the path of a file holding the text).
    bool text(const Json::Value& owner, const std::string& key, const std::string& where,
              TextSpec& out, bool anyJson = false)
    {
        const std::string bytesKey = key + "Bytes";
        const std::string fileKey = key + "File";
        const int spellings =
            int(owner.isMember(key)) + int(owner.isMember(bytesKey)) + int(owner.isMember(fileKey));
        if (spellings > 1)
            return fail(where + "." + key, "expected one of \"" + key + "\", \"" + bytesKey +
                                               "\" and \"" + fileKey + "\"");
        if (owner.isMember(bytesKey)) {
            out.kind = TextSpec::Kind::Bytes;
            if (!owner[bytesKey].isString() || !bytesFromHex(owner[bytesKey].asString(), out.utf8))
                return fail(where + "." + bytesKey, "expected hex digits, two a byte");
            return true;
        }
        if (owner.isMember(fileKey)) {
            out.kind = TextSpec::Kind::File;
            return string(owner, fileKey.c_str(), where, out.utf8);
        }
        if (!owner.isMember(key))
            return true;
        const Json::Value& value = owner[key];
        if (value.isNull()) {
            out.kind = TextSpec::Kind::Null;
            return true;
        }
        out.kind = TextSpec::Kind::Given;
        if (value.isString()) {
            out.utf8 = value.asString();
            return true;
        }
        if (!anyJson)
            return fail(where + "." + key, "expected a string or null");
        Json::StreamWriterBuilder writer;
        writer["indentation"] = "";
        out.utf8 = Json::writeString(writer, value);
        return true;
    }

private:
    // A member of one JSON type, read with that type's conversion.
    template <class T, class Read>
    bool typed(const Json::Value& owner, const char* key, const std::string& where, T& out,
               bool (Json::Value::*is)() const, Read (Json::Value::*as)() const,
               const char* expected)
    {
        if (!owner.isMember(key))
            return true;
        const Json::Value& value = owner[key];
        if (!(value.*is)())
            return fail(where + "." + key, expected);
        out = (value.*as)();
        return true;
    }

    std::string& m_error;
};

bool readOutcome(Reader& reader, const Json::Value& value, const std::string& where, Outcome& out,
                 std::initializer_list<const char*> moreKeys = {})
{
    std::vector<const char*> keys = {"status", "code", "comment"};
    keys.insert(keys.end(), moreKeys.begin(), moreKeys.end());
    if (!reader.object(value, where, keys))
        return false;
    if (value.isMember("code") && value["code"].isNull()) {
        out.setsCode = false;
    } else if (!reader.integer(value, "code", where, out.code)) {
        return false;
    }
    return reader.status(value, "status", where, out.status);
}

bool readCheck(Reader& reader, const Json::Value& value, const std::string& where, CheckPlan& out)
{
    int hasUpdate = static_cast<int>(out.hasUpdate);
    const bool ok = readOutcome(reader, value, where, out.outcome,
                                {"busyChecks", "hasUpdate", "reason", "reasonBytes", "reasonFile",
                                 "list", "listBytes", "listFile"}) &&
                    reader.integer(value, "busyChecks", where, out.busyChecks) &&
                    reader.integer(value, "hasUpdate", where, hasUpdate) &&
                    reader.text(value, "reason", where, out.reason) &&
                    reader.text(value, "list", where, out.list, true);
    out.hasUpdate = static_cast<unsigned int>(hasUpdate);
    return ok;
}

bool readReport(Reader& reader, const Json::Value& value, const std::string& where, Report& out)
{
    if (!reader.object(value, where,
                       {"thread", "delayMs", "stage", "result", "percent", "error", "text1",
                        "text1Bytes", "text1File", "text2", "text2Bytes", "text2File", "bits",
                        "comment"}))
        return false;
    if (value.isMember("stage") == value.isMember("result"))
        return reader.fail(where, "a report has either \"stage\" or \"result\"");
    out.kind = value.isMember("stage") ? Report::Kind::Stage : Report::Kind::Result;
    int error = 0;
    out.hasBits = value.isMember("bits");
    const bool ok = reader.integer(value, out.kind == Report::Kind::Stage ? "stage" : "result",
                                   where, out.value) &&
                    reader.integer(value, "thread", where, out.thread) &&
                    reader.integer(value, "delayMs", where, out.delayMs) &&
                    reader.integer(value, "percent", where, out.percent) &&
                    reader.integer(value, "error", where, error) &&
                    reader.integer(value, "bits", where, out.bits) &&
                    reader.text(value, "text1", where, out.text1) &&
                    reader.text(value, "text2", where, out.text2);
    out.error = static_cast<unsigned int>(error);
    if (ok && (out.thread < 1 || out.thread > 16))
        return reader.fail(where + ".thread", "expected 1 to 16");
    if (ok && out.delayMs < 0)
        return reader.fail(where + ".delayMs", "expected 0 or more");
    return ok;
}

bool readUpdate(Reader& reader, const Json::Value& value, const std::string& where, UpdatePlan& out)
{
    if (!readOutcome(reader, value, where, out.outcome,
                     {"concurrent", "releaseDelayMs", "gate", "reports"}) ||
        !reader.flag(value, "concurrent", where, out.concurrent) ||
        !reader.integer(value, "releaseDelayMs", where, out.releaseDelayMs) ||
        !reader.string(value, "gate", where, out.gate))
        return false;
    if (!value.isMember("reports"))
        return true;
    const Json::Value& reports = value["reports"];
    if (!reports.isArray())
        return reader.fail(where + ".reports", "expected an array");
    out.reports.assign(reports.size(), Report());
    for (Json::ArrayIndex i = 0; i < reports.size(); ++i) {
        if (!readReport(reader, reports[i], where + ".reports[" + std::to_string(i) + "]",
                        out.reports[i]))
            return false;
    }
    return true;
}

// The operation `key` of a flavour: its own section's, else the top level's.
const Json::Value* operation(const Json::Value& root, const Json::Value& section, const char* key)
{
    if (section.isMember(key))
        return &section[key];
    if (root.isMember(key))
        return &root[key];
    return nullptr;
}

bool readFlavour(Reader& reader, const Json::Value& root, const char* name, FlavourPlan& out)
{
    static const Json::Value kEmpty(Json::objectValue);
    const Json::Value& section = root.isMember(name) ? root[name] : kEmpty;
    const std::string where = name;
    if (!reader.object(
            section, where,
            {"create", "start", "check", "checkForUser", "doUpdate", "stop", "comment"}) ||
        !reader.status(section, "create", where, out.create))
        return false;
    const Json::Value* start = operation(root, section, "start");
    const Json::Value* check = operation(root, section, "check");
    const Json::Value* forUser = operation(root, section, "checkForUser");
    const Json::Value* update = operation(root, section, "doUpdate");
    const Json::Value* stop = operation(root, section, "stop");
    if ((start && !readOutcome(reader, *start, where + ".start", out.start)) ||
        (check && !readCheck(reader, *check, where + ".check", out.check)) ||
        (update && !readUpdate(reader, *update, where + ".doUpdate", out.update)) ||
        (stop && !readOutcome(reader, *stop, where + ".stop", out.stop)))
        return false;
    if (!forUser) {
        out.checkForUser = out.check;
        return true;
    }
    return readCheck(reader, *forUser, where + ".checkForUser", out.checkForUser);
}

bool readLoader(Reader& reader, const Json::Value& root, LoaderPlan& out)
{
    if (!root.isMember("loader"))
        return true;
    const Json::Value& loader = root["loader"];
    return reader.object(loader, "loader",
                         {"classObject", "nullClassObject", "createCore", "comment"}) &&
           reader.status(loader, "classObject", "loader", out.classObject) &&
           reader.flag(loader, "nullClassObject", "loader", out.nullClassObject) &&
           reader.status(loader, "createCore", "loader", out.createCore);
}

bool readRepository(Reader& reader, const Json::Value& root, RepositoryPlan& out)
{
    if (!root.isMember("repository"))
        return true;
    const Json::Value& repository = root["repository"];
    out.enabled = true;
    if (!reader.object(repository, "repository",
                       {"packages", "modules", "paceMs", "chunkBytes", "comment"}) ||
        !reader.string(repository, "packages", "repository", out.packages) ||
        !reader.string(repository, "modules", "repository", out.modules) ||
        !reader.integer(repository, "paceMs", "repository", out.paceMs) ||
        !reader.integer(repository, "chunkBytes", "repository", out.chunkBytes))
        return false;
    if (out.packages.empty() || out.modules.empty())
        return reader.fail("repository", "\"packages\" and \"modules\" name two folders");
    if (out.chunkBytes < 1 || out.paceMs < 0)
        return reader.fail("repository",
                           "expected chunkBytes of 1 or more and paceMs of 0 or more");
    return true;
}

} // namespace

bool parseScenario(const std::string& text, Scenario& scenario, std::string& error)
{
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["stackLimit"] = kNestingLimit;
    builder["failIfExtra"] = true;
    builder["rejectDupKeys"] = true;
    const std::unique_ptr<Json::CharReader> parser(builder.newCharReader());
    Json::Value root;
    try {
        if (!parser->parse(text.data(), text.data() + text.size(), &root, &error))
            return false;
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    Reader reader(error);
    Scenario parsed;
    if (!reader.object(root, "scenario",
                       {"loader", "start", "check", "checkForUser", "doUpdate", "stop", "product",
                        "user", "repository", "comment"}) ||
        !readLoader(reader, root, parsed.loader) ||
        !readFlavour(reader, root, "product", parsed.product) ||
        !readFlavour(reader, root, "user", parsed.user) ||
        !readRepository(reader, root, parsed.repository))
        return false;
    scenario = parsed;
    return true;
}

} // namespace qorcore
