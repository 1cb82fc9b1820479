#include "Text.h"

namespace qorcore {

BSTR bstrFrom(const std::string& utf8)
{
    const int length = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(wide));
    if (text && wide > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text, wide);
    return text;
}

std::string utf8From(BSTR text)
{
    const int length = static_cast<int>(SysStringLen(text));
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

BSTR bstrFrom(const TextSpec& text, const std::string& fallback)
{
    switch (text.kind) {
    case TextSpec::Kind::Null:
        return nullptr;
    case TextSpec::Kind::Given:
        return bstrFrom(text.utf8);
    case TextSpec::Kind::Default:
        break;
    }
    return bstrFrom(fallback);
}

}  // namespace qorcore
