#include "calibration/cal_field.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Converts like a C cast to a narrower integer, without the undefined
// behaviour of casting an out-of-range real: the value is first brought to
// 64 bits (saturated), then the low bits are kept.
template <typename T>
T to_integer(double value) {
    if (std::isnan(value)) return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<int64_t>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<int64_t>::max());
    const int64_t wide = value <= lo ? std::numeric_limits<int64_t>::min()
                         : value >= hi ? std::numeric_limits<int64_t>::max()
                                       : static_cast<int64_t>(value);
    return static_cast<T>(static_cast<uint64_t>(wide));
}

template <typename T>
void put(void* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

template <typename T>
double get(const void* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return static_cast<double>(value);
}

}  // namespace

bool cal_store_number(const CalFieldRef& field, double value) {
    if (field.at == nullptr) return false;
    switch (field.type) {
        case CalFieldType::U8: put(field.at, to_integer<uint8_t>(value)); return true;
        case CalFieldType::I8: put(field.at, to_integer<int8_t>(value)); return true;
        case CalFieldType::I16: put(field.at, to_integer<int16_t>(value)); return true;
        case CalFieldType::U16: put(field.at, to_integer<uint16_t>(value)); return true;
        case CalFieldType::I32: put(field.at, to_integer<int32_t>(value)); return true;
        case CalFieldType::I64: put(field.at, to_integer<int64_t>(value)); return true;
        case CalFieldType::F32: put(field.at, static_cast<float>(value)); return true;
        case CalFieldType::F64: put(field.at, value); return true;
        case CalFieldType::F64Single:
            put(field.at, static_cast<double>(static_cast<float>(value)));
            return true;
        case CalFieldType::Text:
        case CalFieldType::None: return false;
    }
    return false;
}

bool cal_store_text(const CalFieldRef& field, std::string_view text) {
    if (field.type != CalFieldType::Text || field.at == nullptr) return false;
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    const size_t n = text.size() < field.capacity ? text.size() : field.capacity;
    char* out = static_cast<char*>(field.at);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return true;
}

double cal_load_number(const CalFieldRef& field) {
    if (field.at == nullptr) return 0.0;
    switch (field.type) {
        case CalFieldType::U8: return get<uint8_t>(field.at);
        case CalFieldType::I8: return get<int8_t>(field.at);
        case CalFieldType::I16: return get<int16_t>(field.at);
        case CalFieldType::U16: return get<uint16_t>(field.at);
        case CalFieldType::I32: return get<int32_t>(field.at);
        case CalFieldType::I64: return get<int64_t>(field.at);
        case CalFieldType::F32: return get<float>(field.at);
        case CalFieldType::F64:
        case CalFieldType::F64Single: return get<double>(field.at);
        case CalFieldType::Text:
        case CalFieldType::None: return 0.0;
    }
    return 0.0;
}

std::string_view cal_load_text(const CalFieldRef& field) {
    if (field.type != CalFieldType::Text || field.at == nullptr) return {};
    const char* text = static_cast<const char*>(field.at);
    return std::string_view(text, ::strnlen(text, field.capacity));
}
