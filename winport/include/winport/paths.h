#pragma once
#include <winport/types.h>
