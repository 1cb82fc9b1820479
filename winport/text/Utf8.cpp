#include "text/Utf8.h"

namespace winport {
namespace {

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

} // namespace

size_t decodeUtf8(const unsigned char* text, size_t size, char32_t& codePoint, bool& valid)
{
    const unsigned char lead = text[0];
    valid = true;
    codePoint = lead;
    if (lead < 0x80)
        return 1;

    size_t length = 0;
    unsigned char low = 0x80;  // the second byte's range: it rules out overlong
    unsigned char high = 0xBF; // forms, surrogates and values past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }

    size_t taken = 1;
    while (length != 0 && taken < length && taken < size) {
        const unsigned char b = text[taken];
        const bool fits = taken == 1 ? (b >= low && b <= high) : isContinuation(b);
        if (!fits)
            break;
        codePoint = (codePoint << 6) | (b & 0x3F);
        ++taken;
    }
    if (length == 0 || taken < length) {
        valid = false;
        codePoint = kReplacementCharacter;
    }
    return taken;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace winport
