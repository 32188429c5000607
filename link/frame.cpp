#include "link/frame.h"

#include <cstdio>

#include "config/crc32.h"

namespace tamlo::link {

size_t AppendBlockCrc(uint8_t* block, size_t length) {
  const uint32_t crc = Crc32(block, length);
  for (int i = 0; i < 4; ++i) block[length + i] = static_cast<uint8_t>(crc >> (8 * i));
  return length + kBlockCrcSize;
}

bool BlockCrcValid(const uint8_t* block, size_t length) {
  return Crc32Update(kCrc32Preset, block, length) == kCrc32Residue;
}

size_t EncodeFrame(const uint8_t* block, size_t length, uint8_t* frame) {
  size_t n = 0;
  frame[n++] = kFrameFlag;
  for (size_t i = 0; i < length; ++i) {
    const uint8_t b = block[i];
    if (NeedsEscape(b)) {
      frame[n++] = kFrameEscape;
      frame[n++] = static_cast<uint8_t>(b ^ 0x20);
    } else {
      frame[n++] = b;
    }
  }
  frame[n++] = kFrameFlag;
  return n;
}

size_t FrameReceiver::CloseBlock() {
  size_t result = 0;
  if (m_state == State::Overflow) {
    Log("Слишком длинный блок");
  } else if (m_escape) {
    Log("Некорректный Escape-код в конце блока");
  } else if (m_length < kMinBlock) {
    // Two flags in a row are an idle line, not a damaged block.
    if (m_length != 0) {
      char line[64];
      std::snprintf(line, sizeof line, "Слишком короткий блок (%u)", static_cast<unsigned>(m_length));
      Log(line);
    }
  } else if (!BlockCrcValid(m_block, m_length)) {
    Log("Ошибка CRC блока");
  } else {
    result = m_length - kBlockCrcSize;
  }
  // The closing flag also opens the next block.
  m_state = State::InBlock;
  m_escape = false;
  m_length = 0;
  return result;
}

size_t FrameReceiver::Feed(const uint8_t* data, size_t size, size_t& consumed) {
  for (consumed = 0; consumed < size;) {
    const uint8_t b = data[consumed++];
    if (m_state == State::Hunting) {
      if (b == kFrameFlag) {
        m_state = State::InBlock;
        m_escape = false;
        m_length = 0;
      }
      continue;
    }
    if (b == kFrameFlag) return CloseBlock();
    if (b == kFrameEscape) {
      if (m_escape) {
        Log("Некорректный Escape-код в блоке");
        m_state = State::Hunting;
        m_escape = false;
        m_length = 0;
      } else {
        m_escape = true;
      }
      continue;
    }
    uint8_t value = b;
    if (m_escape) {
      m_escape = false;
      value ^= 0x20;  // any byte is accepted after the escape
    }
    if (m_length >= kMaxBlock) {
      m_state = State::Overflow;
    } else {
      m_block[m_length++] = value;
    }
  }
  return 0;
}

}  // namespace tamlo::link
