#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "Scenario.h"

namespace qorcore {

// Scenario texts are UTF-8; the platform's texts are BSTR.
BSTR bstrFrom(const std::string& utf8);
std::string utf8From(BSTR text);

// The BSTR a TextSpec stands for (null for a null text); the caller frees it.
BSTR bstrFrom(const TextSpec& text, const std::string& fallback);

} // namespace qorcore
