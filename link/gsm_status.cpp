#include "link/gsm_status.h"

#include "link/text_format.h"

namespace tamlo::link {
namespace {

constexpr unsigned kNoRecord = 256;
constexpr unsigned kLevelUnknownFrom = 57;

std::string StateText(unsigned code) {
  switch (code) {
    case 0: return "Не проверялась";
    case 1: return "Нет SIM-карты";
    case 2: return "Инициализация";
    case 3: return "Ошибка инициализации GSM-модуля";
    case 4: return "Требуется PIN-код";
    case 5: return "Неверный PIN-код";
    case 6: return "Введите PIN-код в телефоне (осталась 1 попытка)";
    case 32: return "Нет регистрации в сети";
    case 33: return "Активна";
    case kNoRecord: return "- - -";
    default: return Format("Неизвестный статус %u", code);
  }
}

}  // namespace

std::array<GsmSimView, 2> DecodeGsmStatus(const uint8_t* reply, size_t length) {
  std::array<GsmSimView, 2> views;
  const unsigned records = length > 0 ? reply[0] : 0;
  for (unsigned i = 0; i < 2; ++i) {
    unsigned status = kNoRecord;
    unsigned level = 99;
    if (i < records && 3 + 2 * i < length) {
      status = reply[2 + 2 * i];
      level = reply[3 + 2 * i];
    }
    GsmSimView& v = views[i];
    const char* suffix = "";
    if (status != kNoRecord) {
      if (status & 0x40) suffix = ": ошибка";
      else if (status & 0x80) suffix = ": используется";
    }
    v.caption = Format(" SIM %u%s ", i + 1, suffix);
    if (level < kLevelUnknownFrom) {
      if (level > 31) level = 31;
      const unsigned percent = level * 100 / 31;
      v.level_db = Format("-%d dB", 113 - 2 * static_cast<int>(level));
      v.level_percent = Format("%u%%", percent);
      v.bar = static_cast<int>(percent);
    } else {
      v.level_db = "- - -";
      v.level_percent = "- - -";
    }
    v.state = StateText(status == kNoRecord ? kNoRecord : (status & 0x3F));
  }
  return views;
}

}  // namespace tamlo::link
