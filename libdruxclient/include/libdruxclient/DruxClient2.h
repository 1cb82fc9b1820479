#pragma once
#include "UpdateClient.h"

struct IDruxClient2;

namespace DRUX {

// Product-flavour update client over the platform's IDruxClient2.
class DruxClient2 : public UpdateClient<IDruxClient2, DruxUpdateInfo>
{};

} // namespace DRUX
