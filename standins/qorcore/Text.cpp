#include "Text.h"

#include "Files.h"

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

namespace {

// Two bytes a unit, low byte first, as SysAllocStringByteLen lays a byte
// string into a BSTR on Windows; an odd last byte fills a unit alone.
BSTR bstrPacking(const std::string& bytes)
{
    const size_t units = (bytes.size() + 1) / 2;
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(units));
    for (size_t i = 0; text && i < units; ++i) {
        const unsigned low = static_cast<unsigned char>(bytes[2 * i]);
        const unsigned high =
            2 * i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[2 * i + 1]) : 0;
        text[i] = static_cast<WCHAR>(low | high << 8);
    }
    return text;
}

BSTR bstrFromFile(const std::string& path)
{
    std::string utf8;
    if (readWholeFile(path, utf8))
        return bstrFrom(utf8);
    debugLine("qorcore: text file %s cannot be read, sending a null text", path.c_str());
    return nullptr;
}

} // namespace

BSTR bstrFrom(const TextSpec& text, const std::string& fallback)
{
    switch (text.kind) {
    case TextSpec::Kind::Null: return nullptr;
    case TextSpec::Kind::Given: return bstrFrom(text.utf8);
    case TextSpec::Kind::Bytes: return bstrPacking(text.utf8);
    case TextSpec::Kind::File: return bstrFromFile(text.utf8);
    case TextSpec::Kind::Default: break;
    }
    return bstrFrom(fallback);
}

} // namespace qorcore
