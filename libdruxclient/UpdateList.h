#pragma once
#include <qor/DruxCodes.h>
#include <json/json.h>

#include <string>
#include <vector>

namespace DRUX {
namespace detail {

// Parses the update list and checks its shape and member types, so that the
// records can be built without a conversion that throws. On kOk `root` is a
// non-empty array of objects; otherwise the reason is logged.
int readUpdateList(const std::string& json, Json::Value& root);
void logUpdateCount(std::size_t count);
void logUnreadableList(const char* reason);

template <class Record>
Record recordFrom(const Json::Value& element)
{
    Record record;
    record.appname = element["appname"].asString();
    record.version = element["version"].asString();
    record.desc = element["desc"].asString();
    record.title = element["title"].asString();
    record.canUpdate = 1;
    record.bits = element["bits"].asInt();
    record.sp = element["sp"].asInt();
    record.silent = element["silent"].asInt();
    record.fsize = element["fsize"].asUInt();
    record.opentime = element["opentime"].asUInt();
    return record;
}

// Appends one record per element, or nothing when the list is unusable.
template <class Record>
int parseUpdateList(const std::string& json, std::vector<Record>& list)
{
    Json::Value root;
    const int code = readUpdateList(json, root);
    if (code != DRUXCODE::kOk)
        return code;
    try {
        std::vector<Record> parsed;
        parsed.reserve(root.size());
        for (Json::ArrayIndex i = 0; i < root.size(); ++i)
            parsed.push_back(recordFrom<Record>(root[i]));
        list.insert(list.end(), parsed.begin(), parsed.end());
    } catch (const std::exception& error) {
        // Only memory can run out here; the host must not see it.
        logUnreadableList(error.what());
        return DRUXCODE::kListEmpty;
    }
    logUpdateCount(list.size());
    return DRUXCODE::kOk;
}

}  // namespace detail
}  // namespace DRUX
