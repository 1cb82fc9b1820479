// _fdopen: a stdio stream over a descriptor, with the Windows CRT's text mode
// (each "\n" stored as "\r\n") and commit flag (each flush reaches the disk),
// built on glibc's fopencookie so that fwrite, fflush, ftell and fclose work
// as usual. A line written with one fwrite and one fflush reaches the file in
// one write(2): on an append descriptor it lands whole, whatever other
// writers do.
#include "files/Descriptors.h"

#include <windows.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Room for the longest line the client log writes (8193 characters), so that
// one fwrite and one fflush never split it; the scratch room holds it with
// every "\n" doubled.
constexpr size_t kStreamBuffer = size_t{32} * 1024;

struct Mode
{
    char base[3] = {};
    bool text = false;
    bool commit = false;
};

struct Cookie
{
    int fd;
    Mode mode;
    FILE* stream = nullptr;
    std::vector<char> buffer = std::vector<char>(kStreamBuffer);
    std::vector<char> scratch = std::vector<char>(2 * kStreamBuffer);
    // glibc's stream lock already serialises the writes of threads that share
    // the stream, but ThreadSanitizer cannot see that lock; it sees this one.
    std::mutex writeMutex{};
};

// Streams by address, for _fileno: glibc reports -1 for a cookie stream.
struct StreamTable
{
    std::mutex mutex;
    std::unordered_map<FILE*, int> fds;
};

StreamTable& streams()
{
    static StreamTable* instance = new StreamTable;
    return *instance;
}

// "r", "w" or "a", an optional "+", then any of "b", "t", "c", "n". Without
// "b" or "t" the descriptor's mode decides.
bool parseMode(const char* text, int fd, Mode& mode)
{
    if (text == nullptr || text[0] == '\0' || std::strchr("rwa", text[0]) == nullptr)
        return false;
    mode.base[0] = text[0];
    bool binary = false;
    bool textual = false;
    for (const char* c = text + 1; *c != '\0'; ++c) {
        switch (*c) {
        case '+': mode.base[1] = '+'; break;
        case 'b': binary = true; break;
        case 't': textual = true; break;
        case 'c': mode.commit = true; break;
        case 'n': mode.commit = false; break;
        default: return false;
        }
    }
    if (binary && textual)
        return false;
    mode.text = textual || (!binary && winport::descriptors::isText(fd));
    return true;
}

bool writeAll(int fd, const char* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Every "\n" becomes "\r\n", also one that a "\r" precedes, as the Windows
// CRT does.
const char* translate(Cookie& cookie, const char* bytes, size_t& size)
{
    if (cookie.scratch.size() < 2 * size)
        cookie.scratch.resize(2 * size);
    char* out = cookie.scratch.data();
    for (size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n')
            *out++ = '\r';
        *out++ = bytes[i];
    }
    size = static_cast<size_t>(out - cookie.scratch.data());
    return cookie.scratch.data();
}

ssize_t cookieWrite(void* raw, const char* bytes, size_t size)
{
    auto& cookie = *static_cast<Cookie*>(raw);
    std::lock_guard<std::mutex> guard(cookie.writeMutex);
    size_t outSize = size;
    const char* out = cookie.mode.text ? translate(cookie, bytes, outSize) : bytes;
    if (!writeAll(cookie.fd, out, outSize))
        return 0;
    // Pipes and terminals cannot be committed; that is no write error.
    if (cookie.mode.commit)
        fdatasync(cookie.fd);
    return static_cast<ssize_t>(size);
}

ssize_t cookieRead(void* raw, char* bytes, size_t size)
{
    const auto& cookie = *static_cast<Cookie*>(raw);
    ssize_t got;
    do
        got = read(cookie.fd, bytes, size);
    while (got < 0 && errno == EINTR);
    return got;
}

int cookieSeek(void* raw, off64_t* offset, int whence)
{
    const auto& cookie = *static_cast<Cookie*>(raw);
    const off64_t result = lseek64(cookie.fd, *offset, whence);
    if (result < 0)
        return -1;
    *offset = result;
    return 0;
}

// fclose ends here: the descriptor and the handle it owns go with the stream.
int cookieClose(void* raw)
{
    auto* cookie = static_cast<Cookie*>(raw);
    {
        StreamTable& table = streams();
        std::lock_guard<std::mutex> guard(table.mutex);
        table.fds.erase(cookie->stream);
    }
    const int result = _close(cookie->fd);
    delete cookie;
    return result;
}

} // namespace

WINPORT_API FILE* _fdopen(int fd, const char* mode)
{
    Mode parsed;
    if (!parseMode(mode, fd, parsed)) {
        errno = EINVAL;
        return nullptr;
    }
    // Text reads would need the CR LF pairs folded back; nothing reads so.
    const bool reads = parsed.base[0] == 'r' || parsed.base[1] == '+';
    if (parsed.text && reads) {
        errno = EINVAL;
        return nullptr;
    }
    // As in the Windows CRT, "a" does not make the descriptor append: only
    // _O_APPEND given to _open_osfhandle does.
    if (fcntl(fd, F_GETFL) < 0)
        return nullptr;

    auto* cookie = new Cookie{fd, parsed};
    const cookie_io_functions_t functions{cookieRead, cookieWrite, cookieSeek, cookieClose};
    FILE* stream = fopencookie(cookie, parsed.base, functions);
    if (stream == nullptr) {
        delete cookie;
        return nullptr;
    }
    cookie->stream = stream;
    setvbuf(stream, cookie->buffer.data(), _IOFBF, cookie->buffer.size());
    StreamTable& table = streams();
    std::lock_guard<std::mutex> guard(table.mutex);
    table.fds[stream] = fd;
    return stream;
}

WINPORT_API int _fileno(FILE* stream)
{
    {
        StreamTable& table = streams();
        std::lock_guard<std::mutex> guard(table.mutex);
        const auto it = table.fds.find(stream);
        if (it != table.fds.end())
            return it->second;
    }
    return fileno(stream);
}
