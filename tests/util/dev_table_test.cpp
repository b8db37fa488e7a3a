// The device control table with serial devices on real pseudo-terminals.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "errors/err_codes.h"
#include "platform/clock.h"
#include "seriallink/sio.h"
#include "sim/serial/serial_simulator.h"
#include "support/test_support.h"
#include "util/dev_table.h"

namespace {

using kelm::sim::EchoDevice;
using kelm::sim::SerialSimulator;
using testing_support::CaptureMessages;

// A keyboard device needs no test, so any handle serves.
constexpr dev_handle_t keyboard(int n) { return 1000 + n; }

std::size_t thread_count() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task")) ++n;
    return n;
}

class DevTable : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(dev_init_cntrl(true), NO_ERROR); }
    void TearDown() override { dev_close_cntrl(); }
};

// Two serial devices on their own simulators, registered as types 2 and 4.
class DevTableSerial : public DevTable {
protected:
    void SetUp() override {
        DevTable::SetUp();
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(sio_open(sims[i].device_path().c_str(), &ports[i]), NO_ERROR);
            ASSERT_EQ(sio_init(ports[i], nullptr), NO_ERROR);
        }
        ASSERT_EQ(dev_add_device(DEV_TYPE_SERIAL_1, ports[0], &sims[0]), NO_ERROR);
        ASSERT_EQ(dev_add_device(DEV_TYPE_SERIAL_2, ports[1], &sims[1]), NO_ERROR);
    }
    void TearDown() override {
        DevTable::TearDown();
        for (auto& p : ports) sio_close(&p);
    }
    // Sends a byte from simulator `i` and waits until the port has it.
    void data_on(int i) {
        sims[i].send_unsolicited("!");
        int32_t n = 0;
        for (int tries = 0; tries < 1000 && n == 0; ++tries) {
            sio_inq_count(ports[i], &n);
            if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_EQ(n, 1);
    }

    SerialSimulator sims[2] = {SerialSimulator(std::make_unique<EchoDevice>()),
                               SerialSimulator(std::make_unique<EchoDevice>())};
    sio_handle_t ports[2] = {SIO_INVALID_HANDLE, SIO_INVALID_HANDLE};
};

TEST_F(DevTable, EleventhDeviceIsRefusedWithTheTableFullMessage) {
    for (int i = 0; i < DEV_MAX_DEVICES; ++i) ASSERT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(i), nullptr), NO_ERROR);
    CaptureMessages messages;
    EXPECT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(10), nullptr), ERR_DEV_CNTRL);
    EXPECT_EQ(messages.text(), "gl_DevInfo table is fulldev_add_device failed: err=ERR_DEV_CNTRL\n");
    EXPECT_FALSE(dev_is_registered(keyboard(10)));
}

TEST_F(DevTable, InvalidTypesAreRefusedWithTheirNumber) {
    CaptureMessages messages;
    EXPECT_EQ(dev_add_device(3, keyboard(0), nullptr), ERR_DEV_CNTRL);
    EXPECT_EQ(messages.text(), "dev_type_valid: dev_type=3 is invalid\ndev_add_device failed: err=ERR_DEV_CNTRL\n");
    for (int32_t t : {1, 2, 4, 8, 16, 32, 64}) EXPECT_TRUE(dev_type_valid(t)) << t;
    for (int32_t t : {0, -1, 128, 0xFFFF}) EXPECT_FALSE(dev_type_valid(t)) << t;
}

TEST_F(DevTable, TypesWithoutAnInstalledTestAreRefused) {
    CaptureMessages messages;
    int record = 0;
    EXPECT_EQ(dev_add_device(DEV_TYPE_MOTION, keyboard(0), nullptr), ERR_INVALID_PARAM);
    EXPECT_EQ(dev_add_device(DEV_TYPE_MOTION, keyboard(0), &record), ERR_MC_NOT_AVAIL);
    EXPECT_EQ(dev_add_device(DEV_TYPE_CAN, keyboard(0), nullptr), ERR_DEV_CNTRL);
    EXPECT_FALSE(dev_is_registered(keyboard(0)));
}

TEST_F(DevTable, RemovalFreesTheEntryForReuse) {
    for (int i = 0; i < DEV_MAX_DEVICES; ++i) ASSERT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(i), nullptr), NO_ERROR);
    ASSERT_EQ(dev_remove_device(keyboard(4)), NO_ERROR);
    EXPECT_FALSE(dev_is_registered(keyboard(4)));
    EXPECT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(20), nullptr), NO_ERROR);
    EXPECT_TRUE(dev_is_registered(keyboard(20)));
    CaptureMessages messages;
    EXPECT_EQ(dev_remove_device(keyboard(4)), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(messages.text(), "dev_remove_device failed: err=ERR_PARAM_OUT_OF_RANGE\n");
    EXPECT_EQ(dev_remove_device(DEV_INVALID_HANDLE), ERR_INVALID_PARAM);
}

TEST_F(DevTable, EventStateTakesOnlyZeroOrOneOfARegisteredDevice) {
    ASSERT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(0), nullptr), NO_ERROR);
    CaptureMessages messages;
    EXPECT_EQ(dev_set_event_state(keyboard(0), 0), NO_ERROR);
    EXPECT_EQ(dev_set_event_state(keyboard(0), 2), ERR_INVALID_PARAM);
    EXPECT_EQ(dev_set_event_state(DEV_INVALID_HANDLE, 1), ERR_INVALID_PARAM);
    EXPECT_EQ(dev_set_event_state(keyboard(1), 1), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(messages.text(),
              "dev_set_event_state failed: err=ERR_INVALID_PARAM\n"
              "dev_set_event_state failed: err=ERR_INVALID_PARAM\n"
              "dev_set_event_state failed: err=ERR_PARAM_OUT_OF_RANGE\n");
}

TEST(DevTableClosed, EveryOperationRefusesWhenNotInitialised) {
    CaptureMessages messages;
    dev_info_t found{};
    EXPECT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(0), nullptr), ERR_DEV_CNTRL);
    EXPECT_EQ(dev_remove_device(keyboard(0)), ERR_DEV_CNTRL);
    EXPECT_EQ(dev_set_event_state(keyboard(0), 1), ERR_DEV_CNTRL);
    EXPECT_FALSE(dev_is_registered(keyboard(0)));
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), 0);
    EXPECT_EQ(messages.text(),
              "dev_add_device failed: err=ERR_DEV_CNTRL\n"
              "dev_remove_device failed: err=ERR_DEV_CNTRL\n"
              "dev_set_event_state failed: err=ERR_DEV_CNTRL\n"
              "dev_data_read: ERR_DEV_CNTRL\n");
}

TEST_F(DevTable, ReadWithAnInvalidMaskReportsAndReturnsZero) {
    CaptureMessages messages;
    dev_info_t found{};
    EXPECT_EQ(dev_data_read(3, &found, false), 0);
    EXPECT_EQ(messages.text(), "dev_type_valid: dev_type=3 is invalid\ndev_data_read: ERR_DEV_CNTRL\n");
}

TEST_F(DevTable, SinglePassWithNoDeviceFindsNothing) {
    dev_info_t found{};
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_NOTHING_FOUND);
    ASSERT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(0), nullptr), NO_ERROR);
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_NOTHING_FOUND) << "the keyboard never reports";
}

TEST_F(DevTableSerial, SinglePassFindsTheDeviceWithDataInTheMask) {
    dev_info_t found{};
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_NOTHING_FOUND);
    data_on(1);
    ASSERT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_TYPE_SERIAL_2);
    EXPECT_EQ(found.handle, ports[1]);
    EXPECT_EQ(found.dev_type, DEV_TYPE_SERIAL_2);
    EXPECT_EQ(found.state, 1);
    EXPECT_EQ(found.context, &sims[1]);
    EXPECT_EQ(dev_data_read(DEV_TYPE_SERIAL_1, &found, false), DEV_NOTHING_FOUND) << "other type masked out";
    data_on(0);
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_TYPE_SERIAL_1) << "the first entry wins";
}

TEST_F(DevTableSerial, SwitchedOffDeviceIsNeverReported) {
    data_on(0);
    ASSERT_EQ(dev_set_event_state(ports[0], 0), NO_ERROR);
    dev_info_t found{};
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_NOTHING_FOUND);
    ASSERT_EQ(dev_set_event_state(ports[0], 1), NO_ERROR);
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_TYPE_SERIAL_1);
}

TEST_F(DevTableSerial, RemovedDeviceIsNoLongerPolled) {
    data_on(0);
    ASSERT_EQ(dev_remove_device(ports[0]), NO_ERROR);
    dev_info_t found{};
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_NOTHING_FOUND);
}

TEST_F(DevTableSerial, WaitingReadRestartsUntilADeviceHasData) {
    // On the virtual clock every 100 ms restart costs no real time.
    plat::VirtualClock vc;
    plat::ScopedClock scoped(vc);
    dev_info_t found{};
    auto reader = std::async(std::launch::async, [&] { return dev_data_read(DEV_TYPE_ALL, &found, true); });
    while (vc.elapsed_us() < 2'000'000) {
        ASSERT_EQ(reader.wait_for(std::chrono::milliseconds(1)), std::future_status::timeout)
            << "returned with no data";
    }
    sims[1].send_unsolicited("?");
    ASSERT_EQ(reader.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(reader.get(), DEV_TYPE_SERIAL_2);
    EXPECT_EQ(found.handle, ports[1]);
}

TEST(DevTableLifecycle, CloseStopsTheThreadAndAFreshInitStartsExactlyOne) {
    // A first thread may start helpers of the runtime (a sanitizer's): let
    // them start before counting.
    std::thread([] {}).join();
    const std::size_t before = thread_count();
    ASSERT_EQ(dev_init_cntrl(false), NO_ERROR);
    EXPECT_EQ(thread_count(), before + 1);
    ASSERT_EQ(dev_init_cntrl(false), NO_ERROR);
    ASSERT_EQ(dev_init_cntrl(true), NO_ERROR);
    EXPECT_EQ(thread_count(), before + 1) << "a second init keeps the one thread";
    ASSERT_EQ(dev_add_device(DEV_TYPE_KEYBOARD, keyboard(0), nullptr), NO_ERROR);
    EXPECT_EQ(dev_close_cntrl(), NO_ERROR);
    EXPECT_EQ(thread_count(), before);
    EXPECT_FALSE(dev_is_registered(keyboard(0)));

    ASSERT_EQ(dev_init_cntrl(false), NO_ERROR);
    EXPECT_EQ(thread_count(), before + 1);
    EXPECT_FALSE(dev_is_registered(keyboard(0))) << "the fresh table is empty";
    dev_info_t found{};
    EXPECT_EQ(dev_data_read(DEV_TYPE_ALL, &found, false), DEV_NOTHING_FOUND);
    EXPECT_EQ(dev_close_cntrl(), NO_ERROR);
    EXPECT_EQ(dev_close_cntrl(), NO_ERROR) << "closing twice is harmless";
}

TEST(DevTableLifecycle, CloseEndsAWaitingRead) {
    ASSERT_EQ(dev_init_cntrl(true), NO_ERROR);
    dev_info_t found{};
    auto reader = std::async(std::launch::async, [&] { return dev_data_read(DEV_TYPE_ALL, &found, true); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(dev_close_cntrl(), NO_ERROR);
    EXPECT_EQ(reader.get(), DEV_NOTHING_FOUND);
}

}  // namespace
