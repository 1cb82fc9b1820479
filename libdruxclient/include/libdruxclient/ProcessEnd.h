#pragma once

namespace QORCLIENT {

// The process is ending: on Windows, DLL_PROCESS_DETACH with `reserved` set.
// The system has ended every other thread wherever it was, holding whatever
// lock it held, and a library loaded after this one (the platform core) may
// already be detached. The client layer's objects, torn down after this call
// with the library's static objects, then call into no other library, free
// none and wait for nothing; they still say goodbye on the debugger output.
void processEnding();

} // namespace QORCLIENT
