#include "ClientText.h"

#include <libdruxclient/qorlog.h>

namespace DRUX {

Bstr::Bstr(const std::string& ansi)
{
    const int length = static_cast<int>(ansi.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    // An empty text still becomes a real, empty BSTR: the platform is given
    // a string, not "no string".
    m_text = SysAllocStringLen(nullptr, static_cast<UINT>(wide));
    if (m_text && wide > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, m_text, wide);
}

AnsiText::AnsiText(BSTR text)
    : m_text(qorlog::toMultiByte(text, CP_ACP))
{}

} // namespace DRUX
