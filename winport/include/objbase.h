#pragma once
// On Windows a header of its own; here every family comes with <windows.h>.
#include <windows.h>
