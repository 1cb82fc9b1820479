#pragma once
#include <cstdint>
#include <string>

namespace DRUX {

// One entry of the update list; the numbers are set by the list parser.
struct DruxUpdateInfo
{
    std::string appname;
    std::string version;
    std::string desc;
    std::string title;
    int canUpdate = 0;
    int bits = 0;
    int sp = 0;
    int silent = 0;
    unsigned int fsize = 0;
    int64_t opentime = 0;
};

// The same record for the user-flavoured client.
struct DruxUpdateInfoUserid
{
    std::string appname;
    std::string version;
    std::string desc;
    std::string title;
    int canUpdate = 0;
    int bits = 0;
    int sp = 0;
    int silent = 0;
    unsigned int fsize = 0;
    int64_t opentime = 0;
};

}  // namespace DRUX
