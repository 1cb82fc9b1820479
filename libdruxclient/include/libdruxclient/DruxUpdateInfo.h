#pragma once
#include <cstdint>
#include <string>

namespace DRUX {
namespace detail {

struct ProductFlavour;
struct UserFlavour;

// One entry of the update list; the numbers are set by the list parser.
// Each client flavour has a type of its own with this one layout.
template <class Flavour>
struct UpdateInfo
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

} // namespace detail

using DruxUpdateInfo = detail::UpdateInfo<detail::ProductFlavour>;
using DruxUpdateInfoUserid = detail::UpdateInfo<detail::UserFlavour>;

} // namespace DRUX
