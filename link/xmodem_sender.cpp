#include "link/xmodem_sender.h"

#include <cstring>

#include "link/link_codes.h"
#include "link/text_format.h"

namespace tamlo::link {
namespace {

enum StateNumber { kInit = 0, kEnd = 1, kWaitStart = 2, kBuildBlock = 3, kSendBlock = 4, kWaitAck = 5 };

// One received byte within the step's 60 s: 1 and the byte, 0 when the time
// is up, or a negative code (cancel, read failure).
int ReadByte(TransferRecord& r, const Deadline& limit, uint8_t& byte) {
  while (!limit.Expired(r.core->clock())) {
    const int filled = r.core->FillReceiveBuffer(*r.callback);
    if (filled < 0) return filled;
    if (r.core->TakeBufferedByte(byte)) return 1;
  }
  return 0;
}

// The next byte from the receiver within the step's 60 s. The third CAN of a
// step ends the transfer. Returns 1 with the byte, or the step's result code.
int ReadReceiverByte(TransferRecord& r, const Deadline& limit, int& cancels, uint8_t& byte) {
  const int got = ReadByte(r, limit, byte);
  if (got <= 0) return got == 0 ? LINK_NO_ANSWER : got;
  if (byte == kXmodemCan && ++cancels == kXmodemCancelCount) {
    r.callback->OnLog("Передача прервана");
    return LINK_REMOTE_ABORT;
  }
  return 1;
}

int XsInit(TransferRecord& r, int) {
  r.file_length = r.file->Length();
  return kWaitStart;
}

int XsEnd(TransferRecord&, int result) { return result; }

int XsWaitStart(TransferRecord& r, int) {
  r.callback->OnLog("Синхронизация с приемником");
  const Deadline limit = Deadline::After(r.core->clock(), kXmodemSilenceMs);
  int cancels = 0;
  for (;;) {
    uint8_t byte = 0;
    const int got = ReadReceiverByte(r, limit, cancels, byte);
    if (got != 1) return got;
    if (byte == kXmodemNak) {
      r.callback->OnProgress("Передача файла", uint32_t(r.file_length));
      r.callback->OnLog("Передается файл");
      return kBuildBlock;
    }
  }
}

int XsBuildBlock(TransferRecord& r, int) {
  uint8_t* data = r.block + 3;
  std::memset(data, kXmodemFill, kXmodemData);
  size_t filled = 0;
  // A file may deliver a block's bytes in more than one read.
  while (filled < kXmodemData) {
    size_t got = 0;
    if (!r.file->Read(data + filled, kXmodemData - filled, got)) return LINK_FILE_READ;
    if (got == 0) break;
    filled += got;
  }
  if (filled == 0) r.end_of_file = true;
  ++r.blocks;
  const uint8_t number = uint8_t(r.blocks);
  r.block[0] = kXmodemSoh;
  r.block[1] = number;
  r.block[2] = uint8_t(255 - number);
  uint8_t sum = 0;
  for (size_t i = 0; i < kXmodemData; ++i) sum = uint8_t(sum + data[i]);
  r.block[kXmodemBlock - 1] = sum;
  r.retries = 0;
  return kSendBlock;
}

int XsSendBlock(TransferRecord& r, int) {
  // A late answer to an earlier copy must not be read as the verdict on this one.
  r.core->ClearReceiveBuffer();
  r.core->port().Purge();
  const int written = r.end_of_file ? r.core->WritePort(&kXmodemEot, 1, *r.callback)
                                    : r.core->WritePort(r.block, kXmodemBlock, *r.callback);
  return written < 0 ? written : kWaitAck;
}

int XsWaitAck(TransferRecord& r, int) {
  const Deadline limit = Deadline::After(r.core->clock(), kXmodemSilenceMs);
  int cancels = 0;
  for (;;) {
    uint8_t byte = 0;
    const int got = ReadReceiverByte(r, limit, cancels, byte);
    if (got != 1) return got;
    if (byte == kXmodemAck) {
      if (r.end_of_file) {
        r.callback->OnLog("Файл передан");
        return 0;
      }
      r.acknowledged += kXmodemData;
      r.callback->OnProgress(nullptr, uint32_t(r.acknowledged));
      return kBuildBlock;
    }
    if (byte == kXmodemNak) {
      if (++r.retries > kXmodemMaxResends) return LINK_TOO_MANY_ERRORS;
      r.callback->OnLog(Format("Перепосылка блока %ld (попытка %d/10)", long(r.acknowledged / kXmodemData + 1),
                               r.retries));
      return kSendBlock;
    }
  }
}

}  // namespace

const TransferState kXmodemStates[kTransferStateCount] = {
    {"XSInit", XsInit},          {"XSEnd", XsEnd},
    {"XS0/WaitTeLnk", XsWaitStart}, {"XS2/SendBlock", XsBuildBlock},
    {"XS2_1/SendBlockData", XsSendBlock}, {"XS3/WaitAck", XsWaitAck},
};

int RunTransfer(const TransferState* table, TransferRecord& record, int first) {
  int value = table[kInit].step(record, first);
  while (value > 0 && value < kTransferStateCount) value = table[value].step(record, value);
  return table[kEnd].step(record, value);
}

int SendFirmware(SerialCore& core, FirmwareFile& file, LinkCallback& callback) {
  TransferRecord record;
  record.file = &file;
  record.core = &core;
  record.callback = &callback;
  return RunTransfer(kXmodemStates, record, kWaitStart);
}

}  // namespace tamlo::link
