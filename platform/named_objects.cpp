#include "platform/named_objects.h"

#include <map>
#include <mutex>
#include <string>

namespace plat {

namespace {

// One name, held by at most one live event or mutex.
struct Entry {
    std::weak_ptr<Event> event;
    std::weak_ptr<Mutex> mutex;
};

std::mutex g_registry_lock;

std::map<std::string, Entry, std::less<>>& registry() {
    static std::map<std::string, Entry, std::less<>> names;
    return names;
}

// Finds or creates the object of type T under `name`; `slot` and `other`
// pick the entry's member for T and for the other kind.
template <typename T, typename Make>
std::shared_ptr<T> create_named(std::string_view name, std::weak_ptr<T> Entry::*slot, bool other_alive(const Entry&),
                                bool* existed, Make make) {
    if (existed != nullptr) *existed = false;
    if (name.empty()) return make();
    std::lock_guard lock(g_registry_lock);
    auto [it, inserted] = registry().try_emplace(std::string(name));
    Entry& entry = it->second;
    if (auto live = (entry.*slot).lock()) {
        if (existed != nullptr) *existed = true;
        return live;
    }
    if (other_alive(entry)) return nullptr;
    auto made = make();
    entry.*slot = made;
    return made;
}

template <typename T>
std::shared_ptr<T> open_named(std::string_view name, std::weak_ptr<T> Entry::*slot) {
    std::lock_guard lock(g_registry_lock);
    auto it = registry().find(name);
    return it == registry().end() ? nullptr : (it->second.*slot).lock();
}

bool mutex_alive(const Entry& e) { return !e.mutex.expired(); }
bool event_alive(const Entry& e) { return !e.event.expired(); }

}  // namespace

EventHandle create_named_event(std::string_view name, Event::Reset reset, bool initially_set, bool* existed) {
    return create_named<Event>(name, &Entry::event, mutex_alive, existed,
                               [&] { return std::make_shared<Event>(reset, initially_set); });
}

EventHandle open_named_event(std::string_view name) { return open_named<Event>(name, &Entry::event); }

MutexHandle create_named_mutex(std::string_view name, bool initially_owned, bool* existed) {
    return create_named<Mutex>(name, &Entry::mutex, event_alive, existed,
                               [&] { return std::make_shared<Mutex>(initially_owned); });
}

MutexHandle open_named_mutex(std::string_view name) { return open_named<Mutex>(name, &Entry::mutex); }

}  // namespace plat
