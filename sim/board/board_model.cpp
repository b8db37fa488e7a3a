#include "sim/board/board_model.h"

#include <algorithm>
#include <array>

#include "seriallink/uz_packet.h"
#include "util/byteorder.h"

namespace kelm::sim {

namespace {

constexpr std::size_t k_max_ramp_block = 512;

std::string_view without_suffix(std::string_view name, std::string_view suffix) {
    if (name.ends_with(suffix)) name.remove_suffix(suffix.size());
    return name;
}

void append_framed(std::span<const uint8_t> body, std::string& out, std::size_t* at = nullptr) {
    std::array<uint8_t, UZ_MAX_ANSWER + 1> framed{};
    const std::size_t n = uz_frame(body, framed);
    if (at != nullptr) *at = out.size();
    out.append(reinterpret_cast<const char*>(framed.data()), n);
}

}  // namespace

uint16_t BoardRequest::u16(std::size_t at) const {
    return at + 2 <= params.size() ? kelm::load_be<uint16_t>(params.data() + at) : 0;
}

uint32_t BoardRequest::u32(std::size_t at) const {
    return at + 4 <= params.size() ? kelm::load_be<uint32_t>(params.data() + at) : 0;
}

BoardModel::BoardModel(int32_t board) {
    state_.board = board;
    install_standard_board_handlers(*this);
}

void BoardModel::on(std::string_view base, BoardHandler handler) {
    for (auto& [name, h] : handlers_) {
        if (name == base) {
            h = std::move(handler);
            return;
        }
    }
    handlers_.emplace_back(std::string(base), std::move(handler));
}

std::string BoardModel::event_packet(BoardEvent event) {
    std::string out;
    const uint8_t body[] = {event.code, event.value};
    append_framed(body, out);
    return out;
}

bool BoardModel::take_request(BoardRequest& request) {
    request = BoardRequest{};
    if (pending_.empty()) return false;
    const std::size_t length = pending_[0];
    if (length == 0) {  // no packet starts with 0: drop the byte
        pending_.erase(pending_.begin());
        return true;
    }
    if (pending_.size() < 1 + length) return false;
    request.code = pending_[1];
    const uz_cmd_def_t* def = uz_find_command(state_.board, request.code);
    const auto body = std::span<const uint8_t>(pending_).subspan(1, length - 1);
    request.valid = def != nullptr && def->name != nullptr && def->reqLen != 0 && def->reqLen == length &&
                    uz_checksum(body) == pending_[length];
    if (def != nullptr) request.base = std::string(uz_command_base(*def));
    if (length >= 2) request.params.assign(pending_.begin() + 2, pending_.begin() + static_cast<long>(length));
    std::size_t consumed = 1 + length;

    // RAMP_DATA: the points and their sum follow the count packet.
    if (request.valid && request.base == "RAMP_DATA") {
        const std::size_t count = request.u16(0);
        if (count == 0 || count > k_max_ramp_block) {
            request.valid = false;
        } else {
            const std::size_t total = consumed + 2 * count + 1;
            if (pending_.size() < total) return false;
            const auto data = std::span<const uint8_t>(pending_).subspan(consumed, 2 * count);
            for (std::size_t i = 0; i < count; ++i) request.points.push_back(kelm::load_be<uint16_t>(&data[2 * i]));
            request.pointsSumOk = uz_checksum(data) == pending_[total - 1];
            consumed = total;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(consumed));
    return true;
}

BoardReply BoardModel::stored_value(const uz_cmd_def_t& def, const BoardRequest& request) {
    const std::string_view base = uz_command_base(def);
    if (def.respLen == 0) {
        state_.values[std::string(without_suffix(base, "_SET"))] = request.params;
        return BoardReply::ack();
    }
    auto it = state_.values.find(without_suffix(base, "_READ"));
    return BoardReply::data(it != state_.values.end() ? it->second : std::vector<uint8_t>{});
}

BoardReply BoardModel::carry_out(const BoardRequest& request) {
    if (!request.valid) return BoardReply::nak();
    for (auto& [name, handler] : handlers_) {
        if (name == request.base) return handler(state_, request);
    }
    return stored_value(*uz_find_command(state_.board, request.code), request);
}

void BoardModel::append_answer(const BoardRequest& request, BoardReply answer, std::string& reply) {
    if (answer.kind == BoardReply::Kind::none) return;
    for (const BoardEvent& e : faults_.eventsBeforeAnswer) reply += event_packet(e);
    faults_.eventsBeforeAnswer.clear();

    std::vector<uint8_t> body;
    switch (answer.kind) {
        case BoardReply::Kind::ack: body = {UZ_ACK}; break;
        case BoardReply::Kind::nak: body = {UZ_NAK}; break;
        case BoardReply::Kind::raw: body = std::move(answer.values); break;
        default: {
            const uz_cmd_def_t* def = uz_find_command(state_.board, request.code);
            uint8_t echo = request.code;
            if (faults_.wrongEcho > 0) {
                --faults_.wrongEcho;
                echo = static_cast<uint8_t>(request.code + 1);
            }
            body.push_back(echo);
            answer.values.resize(def->respLen >= 2 ? def->respLen - 2u : 0u, 0);
            body.insert(body.end(), answer.values.begin(), answer.values.end());
            break;
        }
    }
    std::size_t at = 0;
    append_framed(body, reply, &at);
    if (faults_.badChecksum > 0) {
        --faults_.badChecksum;
        reply.back() = static_cast<char>(~static_cast<uint8_t>(reply.back()));
    }
    if (faults_.badLength > 0) {
        --faults_.badLength;
        reply[at] = static_cast<char>(faults_.badLengthByte);
    }
}

void BoardModel::receive(std::span<const uint8_t> bytes, std::string& reply) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    BoardRequest request;
    while (take_request(request)) {
        requests_.push_back(request);
        BoardReply answer;
        if (faults_.nak > 0) {
            --faults_.nak;
            answer = BoardReply::nak();
        } else {
            answer = carry_out(request);
        }
        append_answer(request, std::move(answer), reply);
    }
}

}  // namespace kelm::sim
