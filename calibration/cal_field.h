// A typed reference to one SystemInfo field, so that the calibration reader
// can store a value and the writer load it by walking the setting
// table instead of naming every field twice.
#pragma once

#include <cstdint>
#include <string_view>

#include "calibration/bounded_text.h"

enum class CalFieldType : uint8_t {
    None,       // no field (an absent sub-record, or a value the line uses otherwise)
    U8,
    I8,
    I16,
    U16,
    I32,
    I64,
    F32,
    F64,
    F64Single,  // a double holding the value rounded to single precision
    Text,
};

struct CalFieldRef {
    CalFieldType type = CalFieldType::None;
    void* at = nullptr;
    size_t capacity = 0;  // characters a Text field holds
};

inline CalFieldRef cal_field(uint8_t& v) { return {CalFieldType::U8, &v}; }
inline CalFieldRef cal_field(int8_t& v) { return {CalFieldType::I8, &v}; }
inline CalFieldRef cal_field(int16_t& v) { return {CalFieldType::I16, &v}; }
inline CalFieldRef cal_field(uint16_t& v) { return {CalFieldType::U16, &v}; }
inline CalFieldRef cal_field(int32_t& v) { return {CalFieldType::I32, &v}; }
inline CalFieldRef cal_field(int64_t& v) { return {CalFieldType::I64, &v}; }
inline CalFieldRef cal_field(float& v) { return {CalFieldType::F32, &v}; }
inline CalFieldRef cal_field(double& v) { return {CalFieldType::F64, &v}; }
inline CalFieldRef cal_field_single(double& v) { return {CalFieldType::F64Single, &v}; }
template <size_t N>
CalFieldRef cal_field(BoundedText<N>& t) {
    return {CalFieldType::Text, t.text, N};
}

// Stores a number, converted to the field's type: integers keep their low
// bits as a cast does (a grabber version of 300 keeps 44), reals are
// truncated toward zero for integer fields. False for a text field or none.
bool cal_store_number(const CalFieldRef& field, double value);
// Stores a text, cut to the field's capacity. False for a number field.
bool cal_store_text(const CalFieldRef& field, std::string_view text);
// The field's value as a double (0 for text or none).
double cal_load_number(const CalFieldRef& field);
// The field's text (empty for a number field or none).
std::string_view cal_load_text(const CalFieldRef& field);
