// The calibration file's error printers and the state they share: the
// count of messages of the current read or write, and what the header line
// names (the file, or the setting text of a text-mode read).
#pragma once

#include <cstdint>
#include <string>

#include "errors/msg.h"

// Messages issued since the current read (or write) began.
extern int32_t cal_msg_count;

// A file read stops taking lines once this many messages were issued.
inline constexpr int32_t kCalMaxMessages = 10;

// What the reader's header names: a path while a file is read, the
// setting text in text mode, neither otherwise.
void cal_set_current_path(std::string path);
void cal_set_current_text(std::string text);
void cal_clear_current();  // forgets both and clears the message count

// Prints one reader message: the header before the first message of a read,
// then the message and a line end.
void cal_read_error(const char* format, ...) KELM_PRINTF(1, 2);

// Prints one writer message, with the writer's header naming `destination`
// before the first message of a write.
void cal_write_error(const char* destination, const char* format, ...) KELM_PRINTF(2, 3);
