// A simulated serial device on a pseudo-terminal. The library opens the
// terminal's device by a stable name (device_path(), or a port name bound
// with bind_port_name); the simulator answers on its own thread through
// its device model, logs every byte it receives and can be told to stay
// silent, reply late, pause between reply bytes, corrupt or cut replies, or
// send bytes nobody asked for.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "sim/serial/device_model.h"

namespace kelm::sim {

// The line settings as the terminal holds them. A pseudo-terminal keeps the
// rate and the line discipline but no character framing (always 8 data
// bits, no parity), so framing is not shown here.
struct LineState {
    uint32_t baud = 0;
    bool xon_xoff = false;
    bool raw = false;  // no echo, no line editing, no translation
};

class SerialSimulator {
public:
    explicit SerialSimulator(std::unique_ptr<DeviceModel> model);
    ~SerialSimulator();
    SerialSimulator(const SerialSimulator&) = delete;
    SerialSimulator& operator=(const SerialSimulator&) = delete;

    // A path that names the terminal for the simulator's lifetime.
    const std::string& device_path() const { return link_path_; }
    // Makes the library open this simulator for port `name` ("COM1") in
    // this process; undone when the simulator ends.
    void bind_port_name(std::string_view name);

    LineState line_state() const;

    // Everything received so far, and waiting for more.
    std::string received() const;
    void clear_received();
    bool wait_received(std::size_t bytes, uint32_t timeout_ms) const;
    // Replies sent so far (a silent or empty reply is not counted).
    uint32_t replies_sent() const;

    // Faults, applied to the replies from now on.
    void set_silent(bool silent);
    void set_reply_delay_ms(uint32_t ms);
    // Pause before every reply byte after the first.
    void set_byte_gap_ms(uint32_t ms);
    // The next `count` replies have their last byte inverted.
    void corrupt_replies(uint32_t count);
    // The next `count` replies are cut to their first `keep` bytes.
    void cut_replies(uint32_t count, std::size_t keep);
    // Sends `bytes` now, as the device would on its own.
    void send_unsolicited(std::string_view bytes);

    // Runs `f` on the device model with the simulator's thread held off.
    void with_model(const std::function<void(DeviceModel&)>& f);

private:
    void run();
    void answer(std::string reply);
    // Writes all of `bytes` to the terminal; false when stopping.
    bool write_all(std::string_view bytes);
    // Pauses, unless the simulator is stopped meanwhile; false then.
    bool pause_ms(uint32_t ms);

    std::unique_ptr<DeviceModel> model_;
    int master_ = -1;
    int slave_ = -1;  // kept open so the terminal outlives the library's close
    int wake_[2] = {-1, -1};
    std::string dir_;
    std::string link_path_;
    std::string bound_name_;

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::mutex model_lock_;
    std::mutex write_lock_;
    std::string received_;
    uint32_t replies_ = 0;
    bool silent_ = false;
    uint32_t reply_delay_ms_ = 0;
    uint32_t byte_gap_ms_ = 0;
    uint32_t corrupt_count_ = 0;
    uint32_t cut_count_ = 0;
    std::size_t cut_keep_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace kelm::sim
