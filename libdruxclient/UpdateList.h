#pragma once
#include <qor/DruxCodes.h>
#include <json/json.h>

#include <iterator>
#include <string>
#include <vector>

namespace DRUX {
namespace detail {

// Parses the update list and checks that it is a non-empty array; otherwise
// the reason is logged.
int readUpdateList(const std::string& json, Json::Value& root);
void logUpdateCount(std::size_t count);
void logUnreadableList(const char* reason);

// The members of a record, in the record's order.
enum Member {
    kAppname,
    kVersion,
    kDesc,
    kTitle,
    kBits,
    kSp,
    kSilent,
    kFsize,
    kOpentime,
    kMemberCount
};
using Members = const Json::Value* [kMemberCount];

// Looks each member of element `index` up once and checks its type, so that
// the record can be built without a conversion that throws; false (and one
// log line) at an element or member of a wrong type.
bool readMembers(const Json::Value& element, Json::ArrayIndex index, Members& members);

template <class Record>
Record recordFrom(const Members& members)
{
    Record record;
    record.appname = members[kAppname]->asString();
    record.version = members[kVersion]->asString();
    record.desc = members[kDesc]->asString();
    record.title = members[kTitle]->asString();
    record.canUpdate = 1;
    record.bits = members[kBits]->asInt();
    record.sp = members[kSp]->asInt();
    record.silent = members[kSilent]->asInt();
    record.fsize = members[kFsize]->asUInt();
    record.opentime = members[kOpentime]->asUInt();
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
        Members members;
        for (Json::ArrayIndex i = 0; i < root.size(); ++i) {
            // Valid JSON of the wrong shape is a list with nothing usable in
            // it, the same answer as an empty list.
            if (!readMembers(root[i], i, members))
                return DRUXCODE::kListEmpty;
            parsed.push_back(recordFrom<Record>(members));
        }
        list.insert(list.end(), std::make_move_iterator(parsed.begin()),
                    std::make_move_iterator(parsed.end()));
    } catch (const std::exception& error) {
        // Only memory can run out here; the host must not see it.
        logUnreadableList(error.what());
        return DRUXCODE::kListEmpty;
    }
    logUpdateCount(list.size());
    return DRUXCODE::kOk;
}

} // namespace detail
} // namespace DRUX
