#include "UpdateList.h"

#include "ClientLog.h"

#include <memory>

namespace DRUX {
namespace detail {
namespace {

// Far deeper than any update list; keeps the reader's recursion shallow.
const int kNestingLimit = 64;

enum class Kind { Text, Integer, Unsigned };

struct Member
{
    const char* name;
    Kind kind;
};

const Member kMembers[] = {
    {"appname", Kind::Text}, {"version", Kind::Text},     {"desc", Kind::Text},
    {"title", Kind::Text},   {"bits", Kind::Integer},     {"sp", Kind::Integer},
    {"silent", Kind::Integer}, {"fsize", Kind::Unsigned}, {"opentime", Kind::Unsigned},
};

// An absent member reads as "" or 0; a present one must convert without loss.
bool fits(const Json::Value& value, Kind kind)
{
    if (value.isNull())
        return true;
    switch (kind) {
    case Kind::Text:
        return value.isString();
    case Kind::Integer:
        return value.isInt();
    case Kind::Unsigned:
        return value.isUInt();
    }
    return false;
}

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Text:
        return "a string";
    case Kind::Integer:
        return "a 32-bit integer";
    case Kind::Unsigned:
        return "an unsigned 32-bit integer";
    }
    return "";
}

// False (and one log line) at the first element or member of a wrong type.
bool checkElements(const Json::Value& root)
{
    for (Json::ArrayIndex i = 0; i < root.size(); ++i) {
        const Json::Value& element = root[i];
        if (!element.isObject()) {
            clientLog()->log("fatal error, invalid update list: element %u is not an object", i);
            return false;
        }
        for (const Member& member : kMembers) {
            if (!fits(element[member.name], member.kind)) {
                clientLog()->log("fatal error, invalid update list: element %u, '%s' is not %s", i,
                                 member.name, kindName(member.kind));
                return false;
            }
        }
    }
    return true;
}

bool parseJson(const std::string& json, Json::Value& root, std::string& errors)
{
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["stackLimit"] = kNestingLimit;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    try {
        return reader->parse(json.data(), json.data() + json.size(), &root, &errors);
    } catch (const std::exception& error) {
        // The reader throws past its nesting limit.
        errors = error.what();
        return false;
    }
}

}  // namespace

int readUpdateList(const std::string& json, Json::Value& root)
{
    std::string errors;
    if (!parseJson(json, root, errors)) {
        clientLog()->log("fatal error, invalid json format: %s, errmsg: %s", json.c_str(), errors.c_str());
        return DRUXCODE::kListNotJson;
    }
    if (!root.isArray() || root.empty()) {
        clientLog()->log("not an array object or empty array!");
        return DRUXCODE::kListEmpty;
    }
    // Valid JSON of the wrong shape is a list with nothing usable in it, the
    // same answer as an empty list, rather than text that is not JSON.
    return checkElements(root) ? DRUXCODE::kOk : DRUXCODE::kListEmpty;
}

void logUpdateCount(std::size_t count)
{
    clientLog()->log("can update to %d subapps", static_cast<int>(count));
}

void logUnreadableList(const char* reason)
{
    clientLog()->log("fatal error, update list not stored: %s", reason);
}

}  // namespace detail
}  // namespace DRUX
