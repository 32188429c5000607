#include "device/journal/journal_render.h"

#include <cstdarg>
#include <cstdio>

#include "config/byte_order.h"
#include "config/cp1251.h"
#include "link/device_time.h"

namespace tamlo::journal {
namespace {

// The table's fixed texts, converted once from the UTF-8 source to the
// Windows-1251 bytes the export is written in; one byte per letter keeps the
// printf widths counting characters.
struct Texts {
  std::string header = Utf8ToCp1251(
      "   Статус  |      Получено     |   Источник   |     Отправлено    |    Направление   |   Формат   |  Данные\n"
      "-----------+-------------------+--------------+-------------------+------------------+------------+----------\n");
  std::string invalid_record = Utf8ToCp1251("Неверная запись (длина %d)\n");
  std::string unknown_record = Utf8ToCp1251("Неизвестная запись (тип %d, длина %d)\n");
  std::string queued = Utf8ToCp1251("В очереди");
  std::string processed = Utf8ToCp1251("Обработано");
  std::string input = Utf8ToCp1251("   Вход %d");
  std::string device = Utf8ToCp1251("   Прибор");
  std::string relay = Utf8ToCp1251("Ретрансляция");
  std::string type = Utf8ToCp1251("Тип %d");
  std::string deleted = Utf8ToCp1251("Удалено");
  std::string internal = Utf8ToCp1251("Внутреннее");
  std::string autotest = Utf8ToCp1251(" Автотест");
  std::string bad_data_length = Utf8ToCp1251("Неверная длина данных (%d)");
  std::string direction_type = Utf8ToCp1251("%d (тип %d)");
  std::string protocols[10] = {
      "Ademco GSM", "Argus-CT", "Kam-Net", "Sia IP", Utf8ToCp1251("Ademco TЛ"), Utf8ToCp1251("Контакт-CSD"),
      "Kam-Net/LAN", "Sia IP/LAN", "Kam-M (CSD)", "Kam-SMS"};
  // Internal events.
  std::string power_on = Utf8ToCp1251("Включение прибора");
  std::string clock_set = Utf8ToCp1251("Установка времени:");
  std::string clock_failed = Utf8ToCp1251("Сбой при установке времени");
  std::string config_written = Utf8ToCp1251("Записана новая конфигурация");
  std::string queue_cleared = Utf8ToCp1251("Очищена очередь извещений");
  std::string connected = Utf8ToCp1251("Подключение к прибору");
  std::string disconnected = Utf8ToCp1251("Отключение от прибора");
  std::string remotely = Utf8ToCp1251("удаленно");
  std::string locally = Utf8ToCp1251("локально");
  std::string direction_chosen = Utf8ToCp1251("Выбрано направление %s");
  std::string on_sim = Utf8ToCp1251(" на SIM%d");
  std::string all_failed = Utf8ToCp1251("Отказ всех НД, пауза %u мин.");
  std::string call = Utf8ToCp1251("Звонок с %s (%s) \"%.*s\"");
  std::string control_phone = Utf8ToCp1251("тел.управления");
  std::string unknown_number = Utf8ToCp1251("неизв.номера");
  std::string data_call = Utf8ToCp1251("данные");
  std::string voice_call = Utf8ToCp1251("голос");
  std::string key_change = Utf8ToCp1251("%s ключ шифрования %d");
  std::string key_written = Utf8ToCp1251("Записан");
  std::string key_deleted = Utf8ToCp1251("Удален");
  std::string sim_failed = Utf8ToCp1251("Отказ SIM%d");
  std::string sim_switch = Utf8ToCp1251("Переход на SIM%d");
  std::string gsm_stopped = Utf8ToCp1251("Отказ обеих SIM, останов GSM");
};

const Texts& T() {
  static const Texts texts;
  return texts;
}

// The journal's "no time" value (every bit set) and its text.
constexpr std::uint32_t kNoDeviceTime = 0xFFFFFFFFu;
constexpr const char* kNoTime = "        -";
constexpr const char* kHtmlOpen = "<html>\n<head>\n <meta charset=\"windows-1251\">\n</head>\n<body>\n<pre>\n";
constexpr const char* kHtmlClose = "</pre>\n</body>\n</html>\n";

// Formats are this file's own constants (some converted to 1251 at start-up,
// hence not literals at the call).
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void AppendF(std::string& out, const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (size > 0 && static_cast<size_t>(size) < sizeof small) {
    out.append(small, static_cast<size_t>(size));
  } else if (size > 0) {
    const size_t old = out.size();
    out.resize(old + static_cast<size_t>(size) + 1);
    std::vsnprintf(out.data() + old, static_cast<size_t>(size) + 1, format, again);
    out.resize(old + static_cast<size_t>(size));
  }
  va_end(again);
}


std::string TimeText(std::uint32_t seconds) {
  return seconds == kNoDeviceTime ? std::string(kNoTime) : link::FormatDeviceTime(seconds);
}

void AppendHexDump(std::string& line, std::span<const std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) AppendF(line, " %02X", b);
}

// A code list line can be found by "%03X;" only if it starts with three
// uppercase hexadecimal digits and ';'. Returns the code or -1.
int LeadingCode(const std::string& line) {
  if (line.size() < 4 || line[3] != ';') return -1;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    const char c = line[static_cast<size_t>(i)];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return -1;
    code = code * 16 + digit;
  }
  return code;
}

}  // namespace

std::string DirectionText(std::uint8_t direction) {
  const unsigned protocol = direction >> 4;
  const int number = (direction & 0x0F) + 1;
  std::string text;
  if (protocol < 10) AppendF(text, "%d (%s)", number, T().protocols[protocol].c_str());
  else AppendF(text, T().direction_type.c_str(), number, static_cast<int>(protocol));
  return text;
}

JournalRenderer::JournalRenderer(const EventCodeList& codes, JournalOutput& out, JournalErrors& errors, bool html)
    : m_codes(codes), m_out(out), m_errors(errors), m_html(html) {
  // The first line of each code decides, as a search from the top would.
  for (size_t i = 0; i < m_codes.size(); ++i) {
    const int code = LeadingCode(m_codes[i]);
    if (code >= 0) m_first_line_of_code.emplace(static_cast<unsigned>(code), i);
  }
}

std::optional<std::string> JournalRenderer::LookupContactIdEvent(unsigned qualifier, unsigned code) const {
  if (qualifier != 1 && qualifier != 3) return std::nullopt;
  const auto found = m_first_line_of_code.find(code);
  if (found == m_first_line_of_code.end()) return std::nullopt;
  std::vector<std::string> fields = SplitEventCodeFields(m_codes[found->second]);
  if (fields.size() < 2) return std::nullopt;
  if (qualifier == 3 && fields.size() >= 3) return std::move(fields[2]);
  return std::move(fields[1]);
}

void JournalRenderer::Emit(std::string_view text, bool table) {
  const char* const specials = (table && m_html) ? "\n&<>" : "\n";
  std::string out;
  out.reserve(text.size() + 16);
  size_t at = 0;
  while (at < text.size()) {
    const size_t special = text.find_first_of(specials, at);
    out.append(text.substr(at, special - at));
    if (special == std::string_view::npos) break;
    switch (text[special]) {
      case '\n': out += "\r\n"; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      default: out += "&gt;"; break;
    }
    at = special + 1;
  }
  m_out.Write(out);
}

int JournalRenderer::RenderJournal(std::span<const std::uint8_t> journal) {
  if (m_html) Emit(kHtmlOpen, false);
  Emit(T().header, true);

  int result = 1;
  size_t at = 0;
  while (at < journal.size()) {
    const size_t left = journal.size() - at;
    if (left < 3) {
      m_errors.ReportError("Недостаточно данных для заголовка записи журнала. Вероятно, журнал поврежден.");
      result = -1;
      break;
    }
    const std::uint8_t kind = journal[at];
    const size_t length = ReadLe16(&journal[at + 1]);
    if (length > left - 3) {
      m_errors.ReportError("Недостаточно данных в журнале. Вероятно, журнал поврежден");
      result = -1;
      break;
    }
    RenderJournalRecord(kind, journal.subspan(at + 3, length));
    at += 3 + length;
  }

  if (m_html) Emit(kHtmlClose, false);
  return result;
}

void JournalRenderer::RenderJournalRecord(std::uint8_t kind, std::span<const std::uint8_t> payload) {
  const Texts& t = T();
  const int n = static_cast<int>(payload.size());
  std::string line;
  if (kind >= 2) {
    if (kind == 3) AppendF(line, t.invalid_record.c_str(), n);
    else AppendF(line, t.unknown_record.c_str(), kind, n);
    Emit(line, true);
    return;
  }
  if (payload.size() < 12) {
    char message[64];
    std::snprintf(message, sizeof message, "Data size (%d) too small for vaild record", n);
    m_errors.ReportError(message);
    return;
  }
  const unsigned data_length = payload[11];
  if (12 + data_length > payload.size()) {
    m_errors.ReportError("Invalid data size in record header");
    return;
  }

  AppendF(line, "%-10s |", (kind == 0 ? t.queued : t.processed).c_str());
  AppendF(line, " %-17s%s", TimeText(ReadLe32(&payload[0])).c_str(), " |");

  const std::uint8_t source = payload[9];
  std::string source_text;
  if (source <= 3) AppendF(source_text, t.input.c_str(), source + 1);
  else if (source == 16) source_text = t.device;
  else if (source == 17) source_text = t.relay;
  else AppendF(source_text, t.type.c_str(), source);
  AppendF(line, " %-12s |", source_text.c_str());

  AppendF(line, " %-17s%s", TimeText(ReadLe32(&payload[4])).c_str(), " |");

  const std::uint8_t direction = payload[8];
  const std::string direction_text =
      direction == 0xFE ? t.deleted : direction == 0xFF ? std::string("-") : DirectionText(direction);
  AppendF(line, " %-16s |", direction_text.c_str());

  const std::uint8_t format = payload[10];
  std::string format_text;
  if (format == 0) format_text = t.internal;
  else if (format == 1) format_text = "Contact ID";
  else if (format == 2) format_text = t.autotest;
  else AppendF(format_text, t.type.c_str(), format);
  AppendF(line, " %-10s | ", format_text.c_str());

  AppendData(line, payload);
  line += '\n';
  Emit(line, true);
}

void JournalRenderer::AppendData(std::string& line, std::span<const std::uint8_t> payload) {
  const std::span<const std::uint8_t> data = payload.subspan(12, payload[11]);
  const std::uint8_t format = payload[10];
  if (format == 1) {
    if (data.size() < 7) {
      AppendF(line, T().bad_data_length.c_str(), static_cast<int>(data.size()));
      return;
    }
    AppendF(line, "%02X%02X %X %X%02X %02X %02X%X", data[0], data[1], data[2] >> 4, data[2] & 0x0F, data[3], data[4],
            data[5], data[6] >> 4);
    const std::optional<std::string> description =
        LookupContactIdEvent(data[2] >> 4, static_cast<unsigned>(data[2] & 0x0F) << 8 | data[3]);
    if (description) AppendF(line, " | %s", description->c_str());
    return;
  }
  if (format == 0 && AppendInternalEvent(line, data)) return;
  AppendHexDump(line, payload.subspan(12));
}

bool JournalRenderer::AppendInternalEvent(std::string& line, std::span<const std::uint8_t> data) {
  if (data.empty()) return false;
  const Texts& t = T();
  const size_t l = data.size();
  switch (data[0]) {
    case 0:
      if (l != 1) return false;
      line += t.power_on;
      return true;
    case 1:
      if (l == 5) {
        line += t.clock_set;
        AppendF(line, " %-17s", TimeText(ReadLe32(&data[1])).c_str());
        return true;
      }
      if (l != 1) return false;
      line += t.clock_failed;
      return true;
    case 2:
      if (l != 1) return false;
      line += t.config_written;
      return true;
    case 3:
      if (l != 1) return false;
      line += t.queue_cleared;
      return true;
    case 4:
      if (l < 2) return false;
      AppendF(line, "%s (%s)", ((data[1] & 0x01) ? t.connected : t.disconnected).c_str(),
              ((data[1] & 0x80) ? t.remotely : t.locally).c_str());
      return true;
    case 5:
      if (l != 3) return false;
      AppendF(line, t.direction_chosen.c_str(), DirectionText(data[2]).c_str());
      if (data[1] != 0xFF) AppendF(line, t.on_sim.c_str(), data[1] + 1);
      return true;
    case 6:
      if (l != 5) return false;
      AppendF(line, t.all_failed.c_str(), static_cast<unsigned>(ReadLe32(&data[1]) / 60));
      return true;
    case 7: {
      if (l < 2) return false;
      // The caller's number: L - 2 bytes, ending early at a zero byte.
      size_t length = 0;
      while (length < l - 2 && data[2 + length] != 0) ++length;
      AppendF(line, t.call.c_str(), ((data[1] & 0x80) ? t.control_phone : t.unknown_number).c_str(),
              ((data[1] & 0x01) ? t.data_call : t.voice_call).c_str(), static_cast<int>(length),
              reinterpret_cast<const char*>(&data[2]));
      return true;
    }
    case 8:
      if (l != 2) return false;
      AppendF(line, t.key_change.c_str(), ((data[1] & 0x80) ? t.key_written : t.key_deleted).c_str(),
              (data[1] & 0x7F) + 1);
      return true;
    case 16:
      if (l != 2) return false;
      AppendF(line, t.sim_failed.c_str(), data[1] + 1);
      return true;
    case 17:
      if (l != 2) return false;
      AppendF(line, t.sim_switch.c_str(), data[1] + 1);
      return true;
    case 18:
      if (l != 1) return false;
      line += t.gsm_stopped;
      return true;
    default:
      return false;
  }
}

int RenderJournal(std::span<const std::uint8_t> journal, JournalOutput& out, bool html, const EventCodeList& codes,
                  JournalErrors& errors) {
  JournalRenderer renderer(codes, out, errors, html);
  return renderer.RenderJournal(journal);
}

}  // namespace tamlo::journal
