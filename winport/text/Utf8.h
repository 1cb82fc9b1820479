#pragma once
// UTF-8 reading and writing for the text family and the .reg reader.
#include <cstddef>
#include <string>

namespace winport {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Reads one character from `text` (`size` > 0 bytes) into `codePoint` and
// returns how many bytes it took. An ill-formed sequence gives false in
// `valid`, U+FFFD, and takes its maximal well-formed start (at least one
// byte), so each bad spot becomes one replacement character.
size_t decodeUtf8(const unsigned char* text, size_t size, char32_t& codePoint, bool& valid);

// Appends the UTF-8 form of a Unicode scalar value.
void appendUtf8(std::string& out, char32_t codePoint);

// Whether `c` is a Unicode scalar value (no surrogate, at most U+10FFFF).
inline bool isScalarValue(char32_t c)
{
    return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF);
}

} // namespace winport
