// The link to a serial instrument board (board types 1, 3, 6 and 7): set-up
// and shut-down of the board port, and the exchange of one command packet
// with its answer, with checksums, resends and time-outs.
//
// The port handle is kept in the instrument's SystemInfo (link.boardPort);
// the exchange finds the instrument of a port by comparing handles, so one
// port belongs to one instrument.
#pragma once

#include <cstdint>
#include <type_traits>

#include "calibration/system_info.h"
#include "seriallink/sio.h"

static_assert(std::is_same_v<decltype(SerialLinkState::boardPort), sio_handle_t>,
              "the board port field holds a serial port handle");

// Opens the port named by `instrComm`, applies the default configuration,
// 38400 baud without XON/XOFF, registers it with the device table as type
// 2 and keeps the handle in link.boardPort. Any failure reports
// "ur_initUZ: error initializing <port>: <error>", closes the port and
// gives ERR_UZ_COMM (the board type must be 1, 3, 6 or 7).
int32_t ur_initUZ(SystemInfo* instrument);

// Unregisters the port from the device table and closes it. The port is
// closed and `*port` set to SIO_INVALID_HANDLE even when unregistering
// fails; that error is returned then. ERR_INVALID_PARAM without an open port.
int32_t ur_closeUZ(sio_handle_t* port);

// Drains pending input; ERR_UZ_COMM (after "sio_clear_buffer failed.") on failure.
int32_t ur_clearUZ(sio_handle_t port);

// Sends the command packet in `buffer` and receives its answer.
// `len` is the packet's length byte L: without `checksumPresent` the
// checksum of buffer[1..L-1] is stored in buffer[L] and L + 1 bytes are
// sent; with it, `len` bytes are sent as they are. An answer is expected
// as data (`dataExpected`) or as an acknowledgement. A negative
// acknowledgement or a checksum error is sent again, up to three attempts
// in all. A data answer must echo buffer[1] and have the command's answer
// length; it is then copied to the start of `buffer` (buffer[0] the echoed
// code, buffer[1] the first value, the checksum last), so `buffer` must hold
// the larger of the bytes sent and the answer length.
int32_t ur_writeUZ(sio_handle_t port, int32_t len, uint8_t* buffer, bool dataExpected, bool checksumPresent);

// Receives one answer of `kind` (UZ_RESP_ACK, UZ_RESP_DATA, UZ_RESP_EVENT)
// into `buffer`, which holds UZ_MAX_ANSWER bytes; `*count` gets the bytes
// received after the length byte (the checksum last). Returns 0,
// UZ_RESULT_NAK, UZ_RESULT_CHECKSUM or an error code. Up to two board events
// that come in place of an acknowledgement or data are skipped.
int32_t ur_readUZ(sio_handle_t port, uint8_t* buffer, int32_t kind, int32_t* count);

// The name of the command `code` on the board of the port's instrument,
// for messages: "INVALID_PARAM" when no instrument has the port, the
// table's invalid-command name for a code the board does not have, and an
// empty text (after a message) for a board type without commands.
const char* ur_cmd_str(sio_handle_t port, int32_t code);

// The instrument whose board port is `port`, or null.
SystemInfo* ur_instrument_of(sio_handle_t port);
