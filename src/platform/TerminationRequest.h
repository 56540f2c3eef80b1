// A polite request to end (SIGTERM, SIGINT, SIGHUP on Linux), so the program can close its window
// and save instead of dying with unsaved changes.
#pragma once

namespace vardex {

// A descriptor that becomes readable when such a request arrives; -1 where the system has no
// such requests (Windows closes the window itself).
int WatchTerminationRequests();

}  // namespace vardex
