#pragma once

// Lets `msec` pass on the calling thread while its events go on: on the GUI
// thread the host keeps painting and its timers and queued calls run. User
// input waits until the pause is over, so nothing the user does starts in the
// middle of it; a request that arrives meanwhile meets the update
// controller's busy guard.
void pauseWithEventsFlowing(unsigned long msec);
