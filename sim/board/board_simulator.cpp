#include "sim/board/board_simulator.h"

#include <chrono>
#include <memory>
#include <thread>

namespace kelm::sim {

namespace {

std::unique_ptr<BoardModel> make_model(int32_t board, BoardModel*& model) {
    auto m = std::make_unique<BoardModel>(board);
    model = m.get();
    return m;
}

}  // namespace

BoardSimulator::BoardSimulator(int32_t board) : board_(board), model_(nullptr), serial_(make_model(board, model_)) {}

void BoardSimulator::with_model(const std::function<void(BoardModel&)>& f) {
    serial_.with_model([&](DeviceModel&) { f(*model_); });
}

void BoardSimulator::with_state(const std::function<void(BoardState&)>& f) {
    with_model([&](BoardModel& m) { f(m.state()); });
}

std::vector<BoardRequest> BoardSimulator::requests() {
    std::vector<BoardRequest> out;
    with_model([&](BoardModel& m) { out = m.requests(); });
    return out;
}

bool BoardSimulator::wait_requests(std::size_t count, uint32_t timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        std::size_t have = 0;
        with_model([&](BoardModel& m) { have = m.requests().size(); });
        if (have >= count) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void BoardSimulator::clear_requests() {
    with_model([](BoardModel& m) { m.clear_requests(); });
}

void BoardSimulator::nak_next(uint32_t count) {
    with_model([&](BoardModel& m) { m.faults().nak = count; });
}

void BoardSimulator::bad_checksum_next(uint32_t count) {
    with_model([&](BoardModel& m) { m.faults().badChecksum = count; });
}

void BoardSimulator::wrong_echo_next(uint32_t count) {
    with_model([&](BoardModel& m) { m.faults().wrongEcho = count; });
}

void BoardSimulator::bad_length_next(uint32_t count, uint8_t lengthByte) {
    with_model([&](BoardModel& m) {
        m.faults().badLength = count;
        m.faults().badLengthByte = lengthByte;
    });
}

void BoardSimulator::events_before_next_answer(std::vector<BoardEvent> events) {
    with_model([&](BoardModel& m) { m.faults().eventsBeforeAnswer = std::move(events); });
}

void BoardSimulator::send_event(BoardEvent event) { serial_.send_unsolicited(BoardModel::event_packet(event)); }

}  // namespace kelm::sim
