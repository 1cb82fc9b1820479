#include "UpdateList.h"

#include "ClientLog.h"

#include <memory>

namespace DRUX {
namespace detail {
namespace {

// Far deeper than any update list; keeps the reader's recursion shallow.
const int kNestingLimit = 64;

enum class Kind { Text, Integer, Unsigned };

struct MemberType
{
    const char* name;
    Kind kind;
};

// By Member.
const MemberType kMembers[kMemberCount] = {
    {"appname", Kind::Text},   {"version", Kind::Text},   {"desc", Kind::Text},
    {"title", Kind::Text},     {"bits", Kind::Integer},   {"sp", Kind::Integer},
    {"silent", Kind::Integer}, {"fsize", Kind::Unsigned}, {"opentime", Kind::Unsigned},
};

// An absent member reads as "" or 0; a present one must convert without loss.
bool fits(const Json::Value& value, Kind kind)
{
    if (value.isNull())
        return true;
    switch (kind) {
    case Kind::Text: return value.isString();
    case Kind::Integer: return value.isInt();
    case Kind::Unsigned: return value.isUInt();
    }
    return false;
}

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Text: return "a string";
    case Kind::Integer: return "a 32-bit integer";
    case Kind::Unsigned: return "an unsigned 32-bit integer";
    }
    return "";
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

} // namespace

int readUpdateList(const std::string& json, Json::Value& root)
{
    std::string errors;
    if (!parseJson(json, root, errors)) {
        clientLog()->log("fatal error, invalid json format: %s, errmsg: %s", json.c_str(),
                         errors.c_str());
        return DRUXCODE::kListNotJson;
    }
    if (!root.isArray() || root.empty()) {
        clientLog()->log("not an array object or empty array!");
        return DRUXCODE::kListEmpty;
    }
    return DRUXCODE::kOk;
}

bool readMembers(const Json::Value& element, Json::ArrayIndex index, Members& members)
{
    if (!element.isObject()) {
        clientLog()->log("fatal error, invalid update list: element %u is not an object", index);
        return false;
    }
    for (int member = 0; member < kMemberCount; ++member) {
        const MemberType& type = kMembers[member];
        members[member] = &element[type.name];
        if (!fits(*members[member], type.kind)) {
            clientLog()->log("fatal error, invalid update list: element %u, '%s' is not %s", index,
                             type.name, kindName(type.kind));
            return false;
        }
    }
    return true;
}

void logUpdateCount(std::size_t count)
{
    clientLog()->log("can update to %d subapps", static_cast<int>(count));
}

void logUnreadableList(const char* reason)
{
    clientLog()->log("fatal error, update list not stored: %s", reason);
}

} // namespace detail
} // namespace DRUX
