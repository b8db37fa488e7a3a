// The serial port layer against the echo simulator on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "errors/err_codes.h"
#include "platform/serial_device.h"
#include "seriallink/sio.h"
#include "seriallink/sio_port.h"
#include "sim/serial/serial_simulator.h"
#include "support/test_support.h"

namespace {

using kelm::sim::EchoDevice;
using kelm::sim::SerialSimulator;
using testing_support::CaptureMessages;

// Short time-outs keep the timing cases fast.
constexpr sio_timeouts_t k_quick{20, 0, 60, 0, 200};

class SioEcho : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sio_open(sim.device_path().c_str(), &port), NO_ERROR);
        ASSERT_EQ(sio_init(port, nullptr), NO_ERROR);
        ASSERT_EQ(sio_set_timeouts(port, &k_quick), NO_ERROR);
    }
    void TearDown() override {
        if (port != SIO_INVALID_HANDLE) {
            EXPECT_EQ(sio_close(&port), NO_ERROR);
        }
    }

    // Reads `count` bytes; returns the bytes and the real time taken.
    std::string read(int32_t count, int32_t& result, long& elapsed_ms) {
        std::string buf(static_cast<size_t>(count), '\0');
        int32_t got = -1;
        const auto start = std::chrono::steady_clock::now();
        result = sio_read_data(port, buf.data(), count, &got);
        elapsed_ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count());
        buf.resize(static_cast<size_t>(got));
        return buf;
    }

    // The configuration the layer gave the device (a pseudo-terminal keeps
    // no framing of its own to look at).
    plat::SerialConfig config() {
        plat::SerialConfig c;
        auto p = kelm::sio_detail::find_port(port);
        EXPECT_TRUE(p && p->device->get_config(c));
        return c;
    }

    void send(std::string_view text) {
        int32_t sent = -1;
        ASSERT_EQ(sio_send_data(port, text.data(), static_cast<int32_t>(text.size()), &sent), 0);
        EXPECT_EQ(sent, static_cast<int32_t>(text.size()));
    }

    SerialSimulator sim{std::make_unique<EchoDevice>()};
    sio_handle_t port = SIO_INVALID_HANDLE;
};

TEST_F(SioEcho, ExactCountsGoOutAndComeBack) {
    ASSERT_EQ(sio_xonxoff_off(port), NO_ERROR) << "XON and XOFF are data now";
    send(std::string("hello\r\n\x11\x13\x00\xff", 10));
    int32_t result = -1;
    long ms = 0;
    EXPECT_EQ(read(10, result, ms), std::string("hello\r\n\x11\x13\x00\xff", 10)) << "binary, untranslated";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(sim.received(), std::string("hello\r\n\x11\x13\x00\xff", 10));
}

TEST_F(SioEcho, SilentPeerTimesOutAfterTheReadTotal) {
    sim.set_silent(true);
    send("abc");
    int32_t result = -1;
    long ms = 0;
    EXPECT_EQ(read(3, result, ms), "");
    EXPECT_EQ(result, 1);
    EXPECT_GE(ms, 59);
}

TEST_F(SioEcho, SlowByteEndsTheReadAfterTheIntervalTimeout) {
    const sio_timeouts_t no_total{20, 0, 0, 0, 0};
    ASSERT_EQ(sio_set_timeouts(port, &no_total), NO_ERROR);
    sim.set_byte_gap_ms(150);
    send("xyz");
    int32_t result = -1;
    long ms = 0;
    EXPECT_EQ(read(3, result, ms), "x");
    EXPECT_EQ(result, 1);
    EXPECT_GE(ms, 19);
    EXPECT_LT(ms, 150) << "the read must not wait for the slow byte";
}

TEST_F(SioEcho, LateReplyWithinTheTotalIsRead) {
    sim.set_reply_delay_ms(30);
    send("late");
    int32_t result = -1;
    long ms = 0;
    EXPECT_EQ(read(4, result, ms), "late");
    EXPECT_EQ(result, 0);
}

TEST_F(SioEcho, CutAndCorruptRepliesReachTheReader) {
    sim.cut_replies(1, 2);
    send("abcd");
    int32_t result = -1;
    long ms = 0;
    EXPECT_EQ(read(4, result, ms), "ab");
    EXPECT_EQ(result, 1);
    sim.corrupt_replies(1);
    send("ab");
    EXPECT_EQ(read(2, result, ms), std::string("a") + static_cast<char>(~'b'));
    EXPECT_EQ(result, 0);
}

TEST_F(SioEcho, BytesWaitingAreCountedAndClearBufferDrainsThem) {
    sim.send_unsolicited("12345");
    int32_t count = 0;
    for (int i = 0; i < 200 && count < 5; ++i) {
        ASSERT_EQ(sio_inq_count(port, &count), 0);
        if (count < 5) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(count, 5);
    EXPECT_EQ(sio_clear_buffer(port), 0);
    EXPECT_EQ(sio_inq_count(port, &count), 0);
    EXPECT_EQ(count, 0);
    sio_timeouts_t kept{};
    ASSERT_EQ(sio_get_timeouts(port, &kept), NO_ERROR);
    EXPECT_EQ(kept.read_total_constant, k_quick.read_total_constant) << "time-outs restored";
}

TEST_F(SioEcho, ClearBufferReturnsOnlyWhenTheLineIsQuiet) {
    std::atomic<bool> sending{true};
    std::chrono::steady_clock::time_point last_sent;
    std::thread talker([&] {
        for (int i = 0; i < 8; ++i) {
            sim.send_unsolicited("*");
            last_sent = std::chrono::steady_clock::now();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        sending = false;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(sio_clear_buffer(port), 0);
    const auto returned = std::chrono::steady_clock::now();
    EXPECT_FALSE(sending.load()) << "returned while the line was still busy";
    talker.join();
    EXPECT_GE(returned - last_sent, std::chrono::milliseconds(95));
}

TEST_F(SioEcho, SecondOpenOfTheSamePortIsRefused) {
    sio_handle_t second = 12345;
    EXPECT_EQ(sio_open(sim.device_path().c_str(), &second), ERR_CANT_OPEN_SERIAL);
    EXPECT_EQ(second, SIO_INVALID_HANDLE);
    ASSERT_EQ(sio_close(&port), NO_ERROR);
    EXPECT_EQ(port, SIO_INVALID_HANDLE);
    ASSERT_EQ(sio_open(sim.device_path().c_str(), &second), NO_ERROR);
    EXPECT_EQ(sio_close(&second), NO_ERROR);
}

TEST_F(SioEcho, SettingsStringConfiguresTheLine) {
    ASSERT_EQ(sio_init(port, "38400,8,0,1"), NO_ERROR);
    auto line = sim.line_state();
    EXPECT_EQ(line.baud, 38400u);
    EXPECT_TRUE(line.xon_xoff);
    EXPECT_TRUE(line.raw);
    auto c = config();
    EXPECT_EQ(c.data_bits, 8);
    EXPECT_EQ(c.parity, plat::Parity::none);
    EXPECT_FALSE(c.parity_check);
    EXPECT_EQ(c.stop_bits, plat::StopBits::one);
    EXPECT_FALSE(c.cts_out_flow);
    EXPECT_EQ(c.xon_limit, 100);
    EXPECT_EQ(c.xoff_limit, 3996);
    EXPECT_EQ(c.dtr, plat::DtrControl::enable);

    ASSERT_EQ(sio_init(port, "9600,7,2,1.5", 0), NO_ERROR);
    line = sim.line_state();
    EXPECT_EQ(line.baud, 9600u);
    EXPECT_FALSE(line.xon_xoff);
    c = config();
    EXPECT_EQ(c.data_bits, 7);
    EXPECT_EQ(c.parity, plat::Parity::even);
    EXPECT_TRUE(c.parity_check);
    EXPECT_EQ(c.stop_bits, plat::StopBits::one_and_half);
    EXPECT_TRUE(c.cts_out_flow) << "flow-control flag 0 means CTS flow control";
    EXPECT_TRUE(c.abort_on_error);
}

TEST_F(SioEcho, SingleSettersChangeOnlyTheirPart) {
    ASSERT_EQ(sio_set_baud(port, 115200), NO_ERROR);
    ASSERT_EQ(sio_set_parity(port, 1), NO_ERROR);
    ASSERT_EQ(sio_set_bytesize(port, 6), NO_ERROR);
    ASSERT_EQ(sio_xonxoff_off(port), NO_ERROR);
    EXPECT_EQ(sim.line_state().baud, 115200u);
    EXPECT_FALSE(sim.line_state().xon_xoff);
    const auto c = config();
    EXPECT_EQ(c.parity, plat::Parity::odd);
    EXPECT_TRUE(c.parity_check);
    EXPECT_EQ(c.data_bits, 6);
    EXPECT_EQ(sio_xonxoff_on(port), NO_ERROR);
    EXPECT_TRUE(sim.line_state().xon_xoff);
    EXPECT_EQ(sio_set_baud(port, 12345), ERR_CANT_SET_SERIAL);
    EXPECT_EQ(sio_set_bytesize(port, 9), ERR_CANT_SET_SERIAL);
    EXPECT_EQ(sim.line_state().baud, 115200u);
}

TEST_F(SioEcho, ReadTimeoutInWholeSeconds) {
    ASSERT_EQ(sio_set_read_timeout(port, 10), NO_ERROR);
    int32_t seconds = 0;
    EXPECT_EQ(sio_get_read_timeout(port, &seconds), NO_ERROR);
    EXPECT_EQ(seconds, 10);
    sio_timeouts_t t{};
    ASSERT_EQ(sio_get_timeouts(port, &t), NO_ERROR);
    EXPECT_EQ(t.read_interval, k_quick.read_interval) << "other time-outs kept";
}

TEST_F(SioEcho, FileOpenModeIsIgnoredAndDefaultsApplied) {
    ASSERT_EQ(sio_set_baud(port, 38400), NO_ERROR);
    CaptureMessages messages;
    EXPECT_EQ(sio_init(port, "r+"), NO_ERROR);
    EXPECT_EQ(messages.text(), "Com Settings Parameter: r+ is ignored.\n");
    EXPECT_EQ(sim.line_state().baud, 9600u);
    sio_timeouts_t t{};
    ASSERT_EQ(sio_get_timeouts(port, &t), NO_ERROR);
    EXPECT_EQ(t.read_total_constant, 2000u);
    EXPECT_EQ(t.read_interval, 100u);
    EXPECT_EQ(t.write_total_constant, 1000u);
}

TEST_F(SioEcho, BadSettingsStringIsReportedAndChangesNothing) {
    CaptureMessages messages;
    EXPECT_EQ(sio_init(port, "38400,8"), ERR_INVALID_PARAM);
    EXPECT_EQ(messages.text(), "Com Settings Parameter: 38400,8 is Invalid.\n");
    messages.clear();
    EXPECT_EQ(sio_init(port, "9600,8,N,1"), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(messages.text(), "Com Settings Parameter: 9600,8,N,1 is Invalid.\n");
}

TEST_F(SioEcho, PortNameBoundBySimulatorOpensIt) {
    ASSERT_EQ(sio_close(&port), NO_ERROR);
    sim.bind_port_name("COM7");
    ASSERT_EQ(sio_open("COM7", &port), NO_ERROR);
    send("via COM7");
    EXPECT_TRUE(sim.wait_received(8, 1000));
}

TEST(Sio, ClosedOrInvalidHandlesAreRefused) {
    CaptureMessages messages;
    sio_handle_t none = SIO_INVALID_HANDLE;
    int32_t n = 7;
    char byte = 0;
    EXPECT_EQ(sio_init(none, nullptr), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(messages.text(), "Com Settings Parameter:  is Invalid.\n");
    EXPECT_EQ(sio_set_baud(none, 9600), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_set_parity(none, 0), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_set_bytesize(none, 8), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_xonxoff_on(none), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_xonxoff_off(none), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_get_read_timeout(none, &n), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(sio_set_read_timeout(none, 1), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_clear_buffer(none), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_close(&none), ERR_SERIAL_NOT_OPEN);
    EXPECT_EQ(sio_send_data(none, &byte, 1, &n), 1);
    EXPECT_EQ(sio_read_data(none, &byte, 1, &n), 1);
    n = 7;
    EXPECT_EQ(sio_inq_count(none, &n), 1);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(sio_inq_count(424242, &n), 1) << "a handle never issued";
}

TEST(Sio, MissingDeviceCannotBeOpenedAndAFileIsNoLine) {
    sio_handle_t h = 5;
    EXPECT_EQ(sio_open("/nonexistent/tty", &h), ERR_CANT_OPEN_SERIAL);
    EXPECT_EQ(h, SIO_INVALID_HANDLE);
    testing_support::TempDir dir;
    testing_support::write_file(dir.file("plain"), "x");
    EXPECT_EQ(sio_open(dir.file("plain").c_str(), &h), ERR_CANT_SET_SERIAL);
    ASSERT_NE(h, SIO_INVALID_HANDLE) << "the handle stays open";
    CaptureMessages messages;
    EXPECT_EQ(sio_init(h, nullptr), ERR_CANT_GET_SERIAL);
    EXPECT_EQ(sio_close(&h), NO_ERROR);
}

}  // namespace
