#pragma once
// The firmware transfer to the bootloader: XMODEM with 128-byte blocks and
// the 8-bit arithmetic checksum.
//
// Block on the wire (132 bytes): SOH 0x01, block number (blocks built so far
// modulo 256, the first being 1), 255 minus the number, 128 data bytes (the
// last block padded with 0x1A), the sum of the data bytes modulo 256. The
// receiver starts the transfer with NAK and answers each block ACK or NAK; a
// block is sent at most 11 times. After the last block comes EOT alone, resent
// like a block until ACKed. Three CAN bytes within one wait abort. A wait
// gives up after 60 s without a byte.
//
// The sender runs from a table of (name, step) states; each step returns the
// next state number, 0 for success or a negative code.
#include <cstddef>
#include <cstdint>

#include "link/serial_core.h"

namespace tamlo::link {

inline constexpr uint8_t kXmodemSoh = 0x01;
inline constexpr uint8_t kXmodemEot = 0x04;
inline constexpr uint8_t kXmodemAck = 0x06;
inline constexpr uint8_t kXmodemNak = 0x15;
inline constexpr uint8_t kXmodemCan = 0x18;
inline constexpr uint8_t kXmodemFill = 0x1A;
inline constexpr size_t kXmodemData = 128;
inline constexpr size_t kXmodemBlock = 3 + kXmodemData + 1;  // 132
inline constexpr int kXmodemMaxResends = 10;
inline constexpr int kXmodemCancelCount = 3;
inline constexpr uint32_t kXmodemSilenceMs = 60000;

// The firmware file, sent unchanged. The dispatcher's caller opens it.
class FirmwareFile {
 public:
  virtual ~FirmwareFile() = default;
  virtual uint64_t Length() = 0;
  // Up to `capacity` bytes from the current position; got == 0 at the end.
  // False on a read error.
  virtual bool Read(uint8_t* buffer, size_t capacity, size_t& got) = 0;
};

// One transfer; cleared at its start.
struct TransferRecord {
  bool end_of_file = false;
  FirmwareFile* file = nullptr;
  SerialCore* core = nullptr;
  uint64_t file_length = 0;
  int retries = 0;
  uint32_t blocks = 0;
  uint64_t acknowledged = 0;
  uint8_t block[kXmodemBlock]{};
  LinkCallback* callback = nullptr;
};

using TransferStep = int (*)(TransferRecord& record, int argument);
struct TransferState {
  const char* name;
  TransferStep step;
};

// XSInit, XSEnd, XS0/WaitTeLnk, XS2/SendBlock, XS2_1/SendBlockData, XS3/WaitAck.
inline constexpr int kTransferStateCount = 6;
extern const TransferState kXmodemStates[kTransferStateCount];

// Calls state 0 with `first`; while the value returned is above 0 calls that
// state's step; finally state 1 with the last value, whose result it returns.
int RunTransfer(const TransferState* table, TransferRecord& record, int first);

// Sends the file to a receiver that is about to send its start NAK.
int SendFirmware(SerialCore& core, FirmwareFile& file, LinkCallback& callback);

}  // namespace tamlo::link
