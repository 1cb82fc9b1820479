#include "registry/RegFile.h"

#include "text/Utf8.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace winport {
namespace {

const char* const kHeaders[] = {"REGEDIT4", "Windows Registry Editor Version 5.00"};
const char* const kRoots[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT",
                              "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

std::string folded(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return folded(a) == folded(b);
}

std::string_view trimmed(std::string_view text)
{
    const char* blanks = " \t\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// What may follow a complete value: nothing, or a comment.
bool isLineEnd(std::string_view rest)
{
    rest = trimmed(rest);
    return rest.empty() || rest[0] == ';';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Reads 1 to `maxDigits` hex digits from the front of `text`.
bool takeHex(std::string_view& text, size_t maxDigits, uint32_t& number)
{
    size_t n = 0;
    number = 0;
    while (n < text.size() && n < maxDigits && hexDigit(text[n]) >= 0)
        number = number * 16 + static_cast<uint32_t>(hexDigit(text[n++]));
    text.remove_prefix(n);
    return n > 0;
}

// Reads a quoted string from the front of `text` (which starts at the opening
// quote), undoing the \\ and \" escapes.
bool takeQuoted(std::string_view& text, std::string& out)
{
    out.clear();
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '"') {
            text.remove_prefix(i + 1);
            return true;
        }
        if (text[i] == '\\') {
            if (i + 1 == text.size() || (text[i + 1] != '\\' && text[i + 1] != '"'))
                return false;
            ++i;
        }
        out.push_back(text[i]);
    }
    return false;
}

std::string utf8FromUtf16(std::string_view bytes)
{
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low =
                static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 2]) |
                                      (static_cast<unsigned char>(bytes[i + 3]) << 8));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, isScalarValue(unit) ? unit : kReplacementCharacter);
    }
    return out;
}

bool isTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

struct Line
{
    int number;
    std::string text;
};

// Physical lines joined where one ends with '\' (hex data goes on over
// several lines), each numbered by where it starts.
std::vector<Line> logicalLines(std::string_view text)
{
    std::vector<Line> lines;
    bool continued = false;
    int number = 0;
    while (!text.empty() || number == 0) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (continued)
            lines.back().text += trimmed(line);
        else
            lines.push_back({number, std::string(line)});
        std::string_view whole = trimmed(lines.back().text);
        continued = !whole.empty() && whole.back() == '\\' && whole.front() != ';';
        if (continued)
            lines.back().text = std::string(whole.substr(0, whole.size() - 1));
    }
    return lines;
}

} // namespace

bool RegFile::fail(int line, std::string reason)
{
    m_error = {line, std::move(reason)};
    m_keys.clear();
    m_existing.clear();
    return false;
}

bool RegFile::parse(std::string_view bytes)
{
    *this = RegFile();
    if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe') {
        if (bytes.size() % 2 != 0)
            return fail(0, "UTF-16 text of an odd number of bytes");
        return parseLines(utf8FromUtf16(bytes.substr(2)));
    }
    if (bytes.substr(0, 3) == "\xef\xbb\xbf")
        bytes.remove_prefix(3);
    return parseLines(bytes);
}

bool RegFile::parseLines(std::string_view text)
{
    const std::vector<Line> lines = logicalLines(text);
    auto line = std::find_if(lines.begin(), lines.end(),
                             [](const Line& l) { return !trimmed(l.text).empty(); });
    if (line == lines.end())
        return fail(0, "empty file");
    const std::string_view header = trimmed(line->text);
    if (header != kHeaders[0] && header != kHeaders[1])
        return fail(line->number, "not a registry file header");
    m_unicode = header == kHeaders[1];

    for (++line; line != lines.end(); ++line) {
        const std::string_view content = trimmed(line->text);
        if (content.empty() || content[0] == ';')
            continue;
        const bool ok = content[0] == '[' ? parseSection(line->number, content)
                        : content[0] == '"' || content[0] == '@'
                            ? parseValueLine(line->number, content)
                            : fail(line->number, "unexpected text");
        if (!ok)
            return false;
    }
    return true;
}

bool RegFile::parseSection(int line, std::string_view section)
{
    if (section.back() != ']')
        return fail(line, "section without ']'");
    section = section.substr(1, section.size() - 2);
    const bool deletion = !section.empty() && section[0] == '-';
    if (deletion)
        section.remove_prefix(1);
    while (!section.empty() && section.back() == '\\')
        section.remove_suffix(1);

    const std::string_view root = section.substr(0, section.find('\\'));
    if (std::none_of(std::begin(kRoots), std::end(kRoots),
                     [&](const char* r) { return equalsIgnoringCase(r, root); }))
        return fail(line, "unknown root key");
    if (section.find("\\\\") != std::string_view::npos)
        return fail(line, "empty key name");

    const std::string path = folded(section);
    m_inSection = true;
    if (deletion) {
        removeKey(path);
        m_section = nullptr;
    } else {
        addKey(path);
        m_section = &m_keys[path];
    }
    return true;
}

bool RegFile::parseValueLine(int line, std::string_view text)
{
    if (!m_inSection)
        return fail(line, "value outside a key");
    std::string name;
    if (text[0] == '@')
        text.remove_prefix(1);
    else if (!takeQuoted(text, name))
        return fail(line, "bad value name");
    text = trimmed(text);
    if (text.empty() || text[0] != '=')
        return fail(line, "'=' expected");
    text = trimmed(text.substr(1));

    RegValue value;
    bool removal = false;
    uint32_t number = 0;
    if (!text.empty() && text[0] == '-') {
        if (!isLineEnd(text.substr(1)))
            return fail(line, "bad removal");
        removal = true;
    } else if (!text.empty() && text[0] == '"') {
        value.type = REG_SZ;
        if (!takeQuoted(text, value.data) || !isLineEnd(text))
            return fail(line, "bad string");
        value.data.push_back('\0');
    } else if (startsWithIgnoringCase(text, "dword:")) {
        text.remove_prefix(6);
        if (!takeHex(text, 8, number) || !isLineEnd(text))
            return fail(line, "bad dword");
        value.type = REG_DWORD;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<char>((number >> shift) & 0xFF));
    } else if (startsWithIgnoringCase(text, "hex")) {
        text.remove_prefix(3);
        value.type = REG_BINARY;
        if (!text.empty() && text[0] == '(') {
            text.remove_prefix(1);
            if (!takeHex(text, 8, number) || text.empty() || text[0] != ')')
                return fail(line, "bad hex type");
            value.type = number;
            text.remove_prefix(1);
        }
        if (text.empty() || text[0] != ':')
            return fail(line, "':' expected");
        text.remove_prefix(1);
        while (!isLineEnd(text)) {
            text = trimmed(text);
            if (!takeHex(text, 2, number))
                return fail(line, "bad hex byte");
            value.data.push_back(static_cast<char>(number));
            text = trimmed(text);
            if (!text.empty() && text[0] == ',')
                text.remove_prefix(1);
            else if (!isLineEnd(text))
                return fail(line, "',' expected");
        }
        if (m_unicode && isTextType(value.type))
            value.data = utf8FromUtf16(value.data);
    } else {
        return fail(line, "unknown value type");
    }

    if (!m_section)
        return true; // under a deleted key: nothing to write
    if (removal)
        m_section->erase(folded(name));
    else
        (*m_section)[folded(name)] = std::move(value);
    return true;
}

void RegFile::addKey(const std::string& path)
{
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        m_existing.insert(path.substr(0, at));
    m_existing.insert(path);
    m_keys[path];
}

void RegFile::removeKey(const std::string& path)
{
    const std::string below = path + "\\";
    auto drop = [&](const std::string& key) {
        return key == path || key.compare(0, below.size(), below) == 0;
    };
    for (auto it = m_keys.begin(); it != m_keys.end();)
        it = drop(it->first) ? m_keys.erase(it) : std::next(it);
    for (auto it = m_existing.begin(); it != m_existing.end();)
        it = drop(*it) ? m_existing.erase(it) : std::next(it);
}

bool RegFile::hasKey(std::string_view path) const
{
    return m_existing.count(folded(path)) != 0;
}

const RegValue* RegFile::value(std::string_view path, std::string_view name) const
{
    const auto key = m_keys.find(folded(path));
    if (key == m_keys.end())
        return nullptr;
    const auto value = key->second.find(folded(name));
    return value == key->second.end() ? nullptr : &value->second;
}

} // namespace winport
