#pragma once
// What the core was asked, in order, one line a call, for tests to read:
// through the exported qorcore_journal() and, when QORCORE_JOURNAL names a
// file, appended to that file as well.
#include <windows.h>

#include <string>

namespace qorcore {

void journal(const std::string& line);
// The library is being detached (DLL_PROCESS_DETACH); `processEnding` when
// the process ends. Journaled, and so is any call that reaches the core after
// it, to the file only: the text in memory goes with the library, and a
// thread the system ended may hold its lock.
void journalDetach(bool processEnding);
// Whether the detach was the process ending: the core's threads, which the
// system ended wherever they were, are then left alone.
bool processEnding();
std::string journalText();
void clearJournal();

// Helpers for the lines: an id in registry form, a text quoted (or null).
std::string guidText(REFGUID id);
std::string quoted(BSTR text);

} // namespace qorcore
