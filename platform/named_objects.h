// Named events and mutexes: a process-wide registry in which threads of one
// process find the same object by its name. A handle is a shared reference;
// closing it (letting it go) drops one reference, and the name is free once
// the last handle is closed. Events and mutexes share one name space.
//
// Names are process-local: another process opening the same name gets its
// own object. The one lock that must hold across processes is a lock file
// of its own, not an object of this registry.
#pragma once

#include <memory>
#include <string_view>

#include "platform/event.h"
#include "platform/mutex.h"

namespace plat {

using EventHandle = std::shared_ptr<Event>;
using MutexHandle = std::shared_ptr<Mutex>;

// Creates the event `name`, or opens it when it exists already (then the
// reset mode and initial state given here are ignored and `existed` is set).
// An empty name creates an unnamed event. Null when the name belongs to a
// mutex.
EventHandle create_named_event(std::string_view name, Event::Reset reset, bool initially_set,
                               bool* existed = nullptr);
// The existing event `name`, or null.
EventHandle open_named_event(std::string_view name);

// As create_named_event for mutexes. `initially_owned` makes the calling
// thread the owner of a newly created mutex.
MutexHandle create_named_mutex(std::string_view name, bool initially_owned, bool* existed = nullptr);
MutexHandle open_named_mutex(std::string_view name);

}  // namespace plat
