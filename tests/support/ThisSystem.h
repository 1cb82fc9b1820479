#pragma once

// The system the tests run on, for the few behaviours that are the system's
// own rather than ours.
#ifdef _WIN32
constexpr bool kOnWindows = true;
#else
constexpr bool kOnWindows = false;
#endif
