// A simulated instrument board on a pseudo-terminal: the board model of one
// board type run by the serial simulator. Tests open device_path() (or a
// port name bound with serial().bind_port_name) as the instrument's port,
// preset and inspect the board's state, read what it received, and inject
// faults. Silence, late or slow answers and cut answers are the serial
// simulator's faults (serial()).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/board/board_model.h"
#include "sim/serial/serial_simulator.h"

namespace kelm::sim {

class BoardSimulator {
public:
    explicit BoardSimulator(int32_t board);

    int32_t board() const { return board_; }
    SerialSimulator& serial() { return serial_; }
    const std::string& device_path() const { return serial_.device_path(); }

    // Runs `f` on the board's state, with the board held off meanwhile.
    void with_state(const std::function<void(BoardState&)>& f);
    void with_model(const std::function<void(BoardModel&)>& f);

    // Requests received so far, and waiting until `count` have come.
    std::vector<BoardRequest> requests();
    bool wait_requests(std::size_t count, uint32_t timeout_ms);
    void clear_requests();

    // Faults on the next answers.
    void nak_next(uint32_t count);
    void bad_checksum_next(uint32_t count);
    void wrong_echo_next(uint32_t count);
    void bad_length_next(uint32_t count, uint8_t lengthByte);
    void events_before_next_answer(std::vector<BoardEvent> events);

    // Sends an event now, as the board does on its own.
    void send_event(BoardEvent event);

private:
    int32_t board_;
    BoardModel* model_;  // owned by serial_
    SerialSimulator serial_;
};

}  // namespace kelm::sim
