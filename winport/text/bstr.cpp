#include <windows.h>

#include <cstdlib>
#include <cstring>

// A BSTR is the text of a block that starts with its length in bytes
// (a DWORD, without the terminator) and ends with a null character.
namespace {

constexpr size_t kPrefix = sizeof(DWORD);

unsigned char* blockOf(BSTR text)
{
    return reinterpret_cast<unsigned char*>(text) - kPrefix;
}

BSTR allocate(UINT length)
{
    if (length > (UINT32_MAX - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR))
        return nullptr;
    const DWORD bytes = static_cast<DWORD>(length * sizeof(OLECHAR));
    auto* block = static_cast<unsigned char*>(std::calloc(1, kPrefix + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    std::memcpy(block, &bytes, kPrefix);
    return reinterpret_cast<BSTR>(block + kPrefix);
}

} // namespace

WINPORT_API BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui)
{
    BSTR text = allocate(ui);
    if (text && strIn)
        std::memcpy(text, strIn, ui * sizeof(OLECHAR));
    return text;
}

WINPORT_API BSTR WINAPI SysAllocString(const OLECHAR* psz)
{
    if (!psz)
        return nullptr;
    const size_t length = std::wcslen(psz);
    return length > UINT32_MAX ? nullptr : SysAllocStringLen(psz, static_cast<UINT>(length));
}

WINPORT_API UINT WINAPI SysStringByteLen(BSTR bstr)
{
    if (!bstr)
        return 0;
    DWORD bytes;
    std::memcpy(&bytes, blockOf(bstr), kPrefix);
    return bytes;
}

WINPORT_API UINT WINAPI SysStringLen(BSTR pbstr)
{
    return static_cast<UINT>(SysStringByteLen(pbstr) / sizeof(OLECHAR));
}

WINPORT_API void WINAPI SysFreeString(BSTR bstrString)
{
    if (bstrString)
        std::free(blockOf(bstrString));
}
