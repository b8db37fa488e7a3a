#include <gtest/gtest.h>

#include <atomic>

#include "platform/clock.h"
#include "platform/event.h"
#include "platform/named_objects.h"
#include "platform/thread.h"

namespace {

using plat::Event;
using plat::WaitResult;

TEST(Event, ManualResetStaysSetAndReleasesEveryWaiter) {
    Event e(Event::Reset::manual, false);
    EXPECT_EQ(e.wait(0), WaitResult::timed_out);
    e.set();
    EXPECT_EQ(e.wait(0), WaitResult::signalled);
    EXPECT_EQ(e.wait(0), WaitResult::signalled);
    e.reset();
    EXPECT_EQ(e.wait(0), WaitResult::timed_out);
}

TEST(Event, AutomaticResetReleasesOneWaiter) {
    Event e(Event::Reset::automatic, true);
    EXPECT_EQ(e.wait(0), WaitResult::signalled);
    EXPECT_EQ(e.wait(0), WaitResult::timed_out);
    EXPECT_FALSE(e.is_set());
}

TEST(Event, TimedWaitOnVirtualClockAdvancesToTheDeadlineWithoutSleeping) {
    plat::VirtualClock vc;
    plat::ScopedClock scoped(vc);
    Event e;
    EXPECT_EQ(e.wait(10'000), WaitResult::timed_out);
    EXPECT_EQ(vc.elapsed_us(), 10'000'000u);
    e.set();
    EXPECT_EQ(e.wait(10'000), WaitResult::signalled);
    EXPECT_EQ(vc.elapsed_us(), 10'000'000u);
}

TEST(Event, TimedWaitOnTheSystemClockTimesOut) {
    Event e;
    const uint64_t start = plat::clock().monotonic_us();
    EXPECT_EQ(e.wait(5), WaitResult::timed_out);
    EXPECT_GE(plat::clock().monotonic_us() - start, 5000u);
}

TEST(Event, SetFromAnotherThreadEndsAnUnlimitedWait) {
    Event e(Event::Reset::automatic);
    plat::Thread t([&] { e.set(); });
    EXPECT_EQ(e.wait(plat::WAIT_FOREVER), WaitResult::signalled);
    t.join();
}

TEST(WaitAny, ReportsTheLowestSetIndexAndConsumesOnlyIt) {
    Event a(Event::Reset::automatic), b(Event::Reset::automatic), c(Event::Reset::automatic);
    Event* events[] = {&a, &b, &c};
    b.set();
    c.set();
    auto r = plat::wait_any(events, 0);
    EXPECT_EQ(r.result, WaitResult::signalled);
    EXPECT_EQ(r.index, 1u);
    EXPECT_TRUE(c.is_set());
    r = plat::wait_any(events, 0);
    EXPECT_EQ(r.index, 2u);
    EXPECT_EQ(plat::wait_any(events, 0).result, WaitResult::timed_out);
}

TEST(WaitAny, FailsOnAnEmptyListOrAMissingEvent) {
    EXPECT_EQ(plat::wait_any({}, 0).result, WaitResult::failed);
    Event a;
    Event* events[] = {&a, nullptr};
    EXPECT_EQ(plat::wait_any(events, 0).result, WaitResult::failed);
}

TEST(NamedObjects, OpenFindsTheSameEventUntilTheLastHandleCloses) {
    bool existed = true;
    auto first = plat::create_named_event("test.named.event", Event::Reset::manual, false, &existed);
    ASSERT_TRUE(first);
    EXPECT_FALSE(existed);
    auto second = plat::create_named_event("test.named.event", Event::Reset::automatic, true, &existed);
    EXPECT_TRUE(existed);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->reset_mode(), Event::Reset::manual);
    auto opened = plat::open_named_event("test.named.event");
    EXPECT_EQ(opened, first);
    first.reset();
    second.reset();
    EXPECT_TRUE(plat::open_named_event("test.named.event"));
    opened.reset();
    EXPECT_FALSE(plat::open_named_event("test.named.event"));
}

TEST(NamedObjects, EventsAndMutexesShareOneNameSpace) {
    auto event = plat::create_named_event("test.shared.name", Event::Reset::manual, false);
    EXPECT_FALSE(plat::create_named_mutex("test.shared.name", false));
    EXPECT_FALSE(plat::open_named_mutex("test.shared.name"));
    event.reset();
    EXPECT_TRUE(plat::create_named_mutex("test.shared.name", false));
}

TEST(NamedObjects, UnnamedObjectsAreNeverShared) {
    auto a = plat::create_named_event("", Event::Reset::manual, false);
    auto b = plat::create_named_event("", Event::Reset::manual, false);
    EXPECT_NE(a, b);
}

TEST(Mutex, OwnerMayTakeItAgainOthersWaitUntilItIsFree) {
    plat::VirtualClock vc;
    plat::ScopedClock scoped(vc);
    auto m = plat::create_named_mutex("test.mutex", true);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->lock(0), WaitResult::signalled);  // held twice now
    WaitResult other = WaitResult::failed;
    plat::Thread([&] { other = m->lock(5000); }).join();
    EXPECT_EQ(other, WaitResult::timed_out);
    EXPECT_TRUE(m->unlock());
    EXPECT_TRUE(m->unlock());
    EXPECT_FALSE(m->unlock());
    plat::Thread([&] {
        other = m->lock(0);
        m->unlock();
    }).join();
    EXPECT_EQ(other, WaitResult::signalled);
}

TEST(Thread, TimedJoinWaitsForTheBodyOrTimesOut) {
    Event go;
    plat::Thread t([&] { go.wait(plat::WAIT_FOREVER); });
    EXPECT_EQ(t.join_for(1), WaitResult::timed_out);
    EXPECT_TRUE(t.joinable());
    go.set();
    EXPECT_EQ(t.join_for(plat::WAIT_FOREVER), WaitResult::signalled);
    EXPECT_FALSE(t.joinable());
    EXPECT_EQ(t.join_for(0), WaitResult::failed);
}

}  // namespace
