// The behaviour of one simulated serial device: what it answers to the
// bytes it receives. A simulator of a board, a wave monitor or a
// temperature controller is a device model run by SerialSimulator.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kelm::sim {

class DeviceModel {
public:
    virtual ~DeviceModel() = default;
    // Called on the simulator's thread with each chunk of bytes as it
    // arrives (a message may come in several chunks: keep what is needed).
    // Appends the answer, if any, to `reply`; the simulator sends it.
    virtual void receive(std::span<const uint8_t> bytes, std::string& reply) = 0;
};

// Answers every byte with itself.
class EchoDevice final : public DeviceModel {
public:
    void receive(std::span<const uint8_t> bytes, std::string& reply) override {
        reply.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
};

}  // namespace kelm::sim
