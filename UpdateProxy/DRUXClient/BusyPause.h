#pragma once

// Lets `msec` pass on the calling thread while its events go on: on the GUI
// thread the host keeps painting and its timers and queued calls run. User
// input waits until the pause is over, so nothing the user does starts in the
// middle of it; a request that arrives meanwhile meets the update
// controller's busy guard. The host's events may delete the caller's objects
// (see Lifetime.h). A thread without an event dispatcher, as in a process
// without a QCoreApplication, has no events to let through: it sleeps.
void pauseWithEventsFlowing(unsigned long msec);
