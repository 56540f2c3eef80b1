// Windows ends a program by closing its windows, which already saves.
#include "TerminationRequest.h"

namespace vardex {

int WatchTerminationRequests() {
    return -1;
}

}  // namespace vardex
