#include <windows.h>
#include <winport/debughook.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <shared_mutex>

namespace {

// Readers call the hook under a shared lock, so that a capture which removes
// its hook knows no call into it is still running when that returns.
struct HookSlot
{
    std::shared_mutex lock;
    winport_debug_hook hook = nullptr;
    void* context = nullptr;
};

// Never destroyed: destructors of other libraries still log at exit.
HookSlot& hookSlot()
{
    static HookSlot* slot = new HookSlot;
    return *slot;
}

void writeAll(int fd, const char* text, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, text, size);
        if (written <= 0)
            return;
        text += written;
        size -= static_cast<size_t>(written);
    }
}

// One write per text on an append descriptor, so lines of several
// processes sharing the file stay whole.
void writeToConfiguredOutput(const char* text)
{
    const char* target = std::getenv("WINPORT_DEBUG_OUTPUT");
    if (target == nullptr || *target == '\0')
        return;
    if (std::strcmp(target, "stderr") == 0) {
        writeAll(STDERR_FILENO, text, std::strlen(text));
        return;
    }
    const int fd = open(target, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    writeAll(fd, text, std::strlen(text));
    close(fd);
}

} // namespace

WINPORT_API void winport_set_debug_hook(winport_debug_hook hook, void* context)
{
    HookSlot& slot = hookSlot();
    std::unique_lock<std::shared_mutex> guard(slot.lock);
    slot.hook = hook;
    slot.context = context;
}

WINPORT_API void OutputDebugStringA(LPCSTR lpOutputString)
{
    if (lpOutputString == nullptr)
        return;
    {
        HookSlot& slot = hookSlot();
        std::shared_lock<std::shared_mutex> guard(slot.lock);
        if (slot.hook != nullptr)
            slot.hook(lpOutputString, slot.context);
    }
    writeToConfiguredOutput(lpOutputString);
}
