#include "device/gsm_status_text.h"

#include "link/text_format.h"

namespace tamlo::device {
namespace {

constexpr const char* kNothing = "- - -";

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
    default: return link::Format("Неизвестный статус %u", code);
  }
}

}  // namespace

GsmSimView GsmSimText(const link::GsmSimStatus& sim, unsigned number) {
  GsmSimView view;
  const char* suffix = sim.failed ? ": ошибка" : sim.in_use ? ": используется" : "";
  view.caption = link::Format(" SIM %u%s ", number, suffix);
  if (sim.level) {
    const unsigned percent = *sim.level * 100 / 31;
    view.level_db = link::Format("%d dB", link::GsmLevelDb(*sim.level));
    view.level_percent = link::Format("%u%%", percent);
    view.bar = static_cast<int>(percent);
  } else {
    view.level_db = kNothing;
    view.level_percent = kNothing;
  }
  view.state = sim.present ? StateText(sim.state) : kNothing;
  return view;
}

std::array<GsmSimView, 2> GsmStatusText(const uint8_t* reply, size_t length) {
  const std::array<link::GsmSimStatus, 2> sims = link::DecodeGsmStatus(reply, length);
  return {GsmSimText(sims[0], 1), GsmSimText(sims[1], 2)};
}

}  // namespace tamlo::device
