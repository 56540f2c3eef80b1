// The marker of a running copy of the program: a name that this process holds until it ends,
// however it ends, and that other processes of the same user can see.
#pragma once

#include <string_view>

namespace vardex {

// True when a process of this user holds the mark under name. An empty name is never held.
bool IsInstanceRunning(std::string_view name);

// Marks this process as running under name until it ends; there is no way to drop the mark
// earlier. False when the system refused (the name taken by something else, no rights): the
// copy then runs unguarded. An empty name marks nothing.
bool MarkInstanceRunning(std::string_view name);

// The two calls as an interface, so that callers can be tested without the system's marker.
class InstanceMarker {
public:
    virtual ~InstanceMarker() = default;
    virtual bool IsRunning(std::string_view name) = 0;
    virtual bool MarkRunning(std::string_view name) = 0;
};

class SystemInstanceMarker : public InstanceMarker {
public:
    bool IsRunning(std::string_view name) override { return IsInstanceRunning(name); }
    bool MarkRunning(std::string_view name) override { return MarkInstanceRunning(name); }
};

}  // namespace vardex
