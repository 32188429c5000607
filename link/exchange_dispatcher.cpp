#include "link/exchange_dispatcher.h"

#include <algorithm>
#include <cstring>

#include "config/byte_order.h"
#include "config/config_image.h"
#include "config/cp1251.h"
#include "link/bootloader_entry.h"
#include "link/device_time.h"
#include "link/link_codes.h"
#include "link/modem_dialer.h"
#include "link/text_format.h"

namespace tamlo::link {
namespace {

constexpr uint32_t kGsmPollPeriodMs = 1000;
constexpr size_t kMaxSerialLength = 32;
constexpr char kDevicePrefix[] = "Tamlo ";
constexpr size_t kDevicePrefixLength = sizeof kDevicePrefix - 1;

// A read above its limit: what the device holds is named with the limit.
std::string TooLargeMessage(const char* what, uint64_t bytes, size_t limit) {
  return Format("%s больше допустимых %u МБ (%llu байт): чтение прервано", what,
                static_cast<unsigned>(limit / (1024 * 1024)), static_cast<unsigned long long>(bytes));
}

// The message shows the port as the user knows it: "COM3", not "\\.\COM3".
std::string DisplayPortName(const std::string& name) {
  return name.rfind("\\\\.", 0) == 0 ? name.substr(std::min<size_t>(4, name.size())) : name;
}

}  // namespace

ExchangeDispatcher::ExchangeDispatcher(SerialPort& port, const Clock& clock, MessagePump& pump)
    : m_core(port, clock, pump), m_protocol(m_core) {}

int ExchangeDispatcher::serial_process(const std::optional<std::string>& port_name, unsigned action,
                                       const ActionInput& input, LinkCallback& callback) {
  m_core.ResetForExchange();
  if (action == CONFIG_READ) m_found_no_configuration = false;
  if (action == CONFIG_WRITE) m_image_stored = false;
  SerialPort& port = m_core.port();
  const bool opened_here = port_name.has_value();
  if (opened_here) {
    if (m_cached_connection) {
      callback.OnError("serial_process(): cached handle still active!");
      return -1;
    }
    if (!port.Open(*port_name)) {
      callback.OnError(Format(
          "Невозможно открыть порт \"%s\". Возможно, он уже используется другой программой.\n\nОшибка %lu: %s",
          DisplayPortName(*port_name).c_str(), static_cast<unsigned long>(port.LastErrorCode()),
          port.LastErrorText().c_str()));
      return -1;
    }
    const std::string error = m_core.SetupPort(action == MODEM_DIAL, callback);
    if (!error.empty()) {
      callback.OnError(Format("Неожиданная ошибка при настройке порта: %s", error.c_str()));
      port.Close();
      return -1;
    }
    if (const std::optional<PortQueues> q = port.Queues()) {
      callback.OnLog(Format("cpr: MaxTxQueue=%d MaxRxQueue=%d CurrentTxQueue=%d CurrentRxQueue=%d", q->max_tx,
                            q->max_rx, q->current_tx, q->current_rx));
    }
  } else if (!m_cached_connection) {
    callback.OnError("serial_process(): no device, no cached handle!");
    return -1;
  }
  auto close_if_opened = [&] {
    if (opened_here) port.Close();
  };

  if (action == MODEM_DIAL) {
    if (!opened_here) {
      callback.OnError("serial_process(): double dial???");
      return -1;
    }
    const int dialled = m_protocol.ReportLinkResult(ModemDial(input, callback), callback);
    if (dialled != LINK_OK) {
      port.Close();
      return -1;
    }
    m_cached_connection = true;  // the port stays open until MODEM_HANGUP
    return 0;
  }
  if (action == MODEM_HANGUP) {
    if (opened_here) {
      callback.OnError("serial_process(): disconnect must be done on cached handle");
      close_if_opened();
      return -1;
    }
    HangUp(m_modem, callback);
    m_cached_connection = false;
    port.Close();
    return 0;
  }
  if (action == FW_UPDATE) {
    if (!opened_here) {
      callback.OnError("serial_process(): FOTA not supported");
      return -1;
    }
    int result = LINK_FAILED_REPORTED;
    if (input.firmware == nullptr) callback.OnError("SerialCore: bad params for FW_UPDATE");
    else result = EnterBootloader(m_protocol, m_core, *input.firmware, callback);
    result = m_protocol.ReportLinkResult(result, callback);
    close_if_opened();
    return result == LINK_OK ? 0 : -1;
  }

  m_core.set_carrier_check(!opened_here);
  int result = m_protocol.ReportLinkResult(m_protocol.Connect(callback, false), callback);
  if (result == LINK_OK) {
    callback.OnLog(Format("Подключение установлено, TX MTU=%u", m_core.tx_mtu()));
    result = m_protocol.ReportLinkResult(Identify(callback), callback);
    if (result == LINK_OK) result = m_protocol.ReportLinkResult(RunAction(action, input, callback), callback);
  }
  close_if_opened();
  return result == LINK_OK ? 0 : -1;
}

int ExchangeDispatcher::ModemDial(const ActionInput& input, LinkCallback& callback) {
  DialInput dial;
  if (input.text != nullptr) dial.number = input.text;
  dial.fast_connect = input.fast_connect;
  const int result = DialDevice(m_modem, dial, callback);
  m_modem.FlushReplyLog(callback);
  return result;
}

int ExchangeDispatcher::Identify(LinkCallback& callback) {
  auto handler = [this](size_t length, LinkCallback& cb) -> int {
    const std::string raw(reinterpret_cast<const char*>(m_core.rx_payload()), length);
    // The device's own words, shown only after conversion and escaping.
    const std::string text = DeviceText(raw.c_str());
    cb.OnLog(Format("Подключено устройство: %s", text.c_str()));
    if (length < kDevicePrefixLength || std::memcmp(raw.data(), kDevicePrefix, kDevicePrefixLength) != 0) {
      cb.OnError(Format("Устройство или прошивка \"%s\" не поддерживаются в данной версии конфигуратора",
                        text.c_str()));
      return LINK_UNSUPPORTED_DEVICE;
    }
    cb.OnFirmwareVersion(DeviceText(raw.c_str() + kDevicePrefixLength));
    return 1;
  };
  return m_protocol.ExchangeWithPassword(CMD_GET_VERSION, 0, "Чтение версии прошивки", handler, callback);
}

int ExchangeDispatcher::RunAction(unsigned action, const ActionInput& input, LinkCallback& callback) {
  switch (action) {
    case SERIAL_READ: return SerialRead(callback);
    case CONFIG_WRITE: return ConfigWrite(input, callback);
    case CONFIG_READ: return ConfigRead(input, callback);
    case JOURNAL_READ:
      return ReadTransfer(CMD_JOURNAL_READ_BEGIN, CMD_JOURNAL_READ_CHUNK, "Подготовка к чтению журнала",
                          "Чтение журнала", true, callback);
    case GSM_STATUS: return GsmStatus(callback);
    case SET_TIME: return SetTime(callback);
    case REBOOT: return Reboot(callback);
    case SERIAL_WRITE: return SerialWrite(input, callback);
    case KEYS_STATUS: return KeysStatus(callback);
    case KEY_CHANGE: return KeyChange(input, callback);
    default:
      callback.OnError(Format("SerialCore: unknown action %u", action));
      return LINK_FAILED_REPORTED;
  }
}

int ExchangeDispatcher::SerialRead(LinkCallback& callback) {
  auto handler = [this](size_t length, LinkCallback& cb) -> int {
    const std::string raw(reinterpret_cast<const char*>(m_core.rx_payload()), length);
    const std::string text = DeviceText(raw.c_str());
    cb.OnLog(Format("Серийный номер: %s", !text.empty() ? text.c_str() : "НЕ ЗАДАН"));
    cb.OnSerialNumber(text, true);
    return 1;
  };
  const int r = m_protocol.ExchangeWithPassword(CMD_SERIAL_READ, 0, "Чтение серийного номера", handler, callback);
  if (r == RefusalCode(ANS_UNKNOWN_COMMAND)) {  // firmware older than the serial number
    callback.OnLog(Format("Серийный номер: %s", "не поддерживается"));
    callback.OnSerialNumber(std::string(), false);
    return LINK_OK;
  }
  return r;
}

int ExchangeDispatcher::ConfigWrite(const ActionInput& input, LinkCallback& callback) {
  if (input.data == nullptr || input.length < ConfigImageHeader::kSize) {
    callback.OnError("SerialCore: bad params for CONFIG_WRITE");
    return LINK_FAILED_REPORTED;
  }
  size_t chunk_size = 0;
  auto begin_handler = [&](size_t length, LinkCallback&) -> int {
    if (length < 2) return LINK_BAD_ANSWER;
    const uint8_t* a = m_core.rx_payload();
    chunk_size = ReadLe16(a);
    if (chunk_size == 0 || chunk_size > m_core.tx_mtu()) return LINK_TRANSFER_PARAMS;
    return 1;
  };
  std::memcpy(m_core.tx_payload(), input.data, ConfigImageHeader::kSize);
  int r = m_protocol.ExchangeWithPassword(CMD_CONFIG_WRITE_BEGIN, ConfigImageHeader::kSize, "Подготовка к записи конфигурации",
                                          begin_handler, callback);
  if (r != LINK_OK) return r;
  callback.OnProgress("Запись конфигурации", static_cast<uint32_t>(input.length));
  for (size_t offset = 0; offset < input.length;) {
    const size_t n = std::min(chunk_size, input.length - offset);
    std::memcpy(m_core.tx_payload(), input.data + offset, n);
    r = m_protocol.ExchangeWithPassword(CMD_CONFIG_WRITE_CHUNK, n, nullptr, nullptr, callback);
    if (r != LINK_OK) return r;
    offset += n;
    callback.OnProgress(nullptr, static_cast<uint32_t>(offset));
  }
  // The device holds the new configuration now: what fails from here on is
  // a step after the write, and the report says so.
  m_image_stored = true;
  const char* step = "Установка времени в приборе";
  r = SetTime(callback);
  if (r == LINK_OK) {
    step = "Очистка очереди извещений";
    r = m_protocol.ExchangeWithPassword(CMD_CLEAR_EVENT_QUEUE, 0, step, nullptr, callback);
  }
  if (r == LINK_OK) return r;
  std::string text = Format("Конфигурация записана в прибор, но шаг \"%s\" не завершен.", step);
  if (const std::string reason = m_protocol.LinkResultText(r); !reason.empty()) text += "\n\n" + reason;
  callback.OnError(text + "\n\nДля использования новой конфигурации устройство необходимо перезагрузить.");
  return LINK_FAILED_REPORTED;
}

int ExchangeDispatcher::ConfigRead(const ActionInput& input, LinkCallback& callback) {
  const int r = ReadTransfer(CMD_CONFIG_READ_BEGIN, CMD_CONFIG_READ_CHUNK, "Подготовка к чтению конфигурации",
                             "Чтение конфигурации", false, callback);
  // The refusal of the read's first command: the device has nothing stored.
  if (r == RefusalCode(ANS_NO_CONFIGURATION) && input.no_configuration_ok &&
      m_protocol.last_command() == CMD_CONFIG_READ_BEGIN) {
    callback.OnLog(AnswerText(ANS_NO_CONFIGURATION));
    m_found_no_configuration = true;
    return LINK_OK;
  }
  return r;
}

int ExchangeDispatcher::ReadTransfer(uint8_t begin, uint8_t chunk, const char* prepare_text, const char* stage_text,
                                     bool journal, LinkCallback& callback) {
  uint32_t announced = 0;
  auto begin_handler = [&](size_t length, LinkCallback&) -> int {
    if (length < 4) return LINK_BAD_ANSWER;
    announced = ReadLe32(m_core.rx_payload());
    return 1;
  };
  int r = m_protocol.ExchangeWithPassword(begin, 0, prepare_text, begin_handler, callback);
  if (r != LINK_OK) return r;
  const char* what = journal ? "Журнал прибора" : "Конфигурация прибора";
  const size_t limit = journal ? m_read_limits.journal : m_read_limits.config;
  if (announced > limit) {
    callback.OnError(TooLargeMessage(what, announced, limit));
    return LINK_FAILED_REPORTED;
  }
  callback.OnProgress(stage_text, announced);
  size_t position = 0;
  if (!journal) {
    // The configuration: exactly the announced length, in chunks of 1..remaining.
    uint32_t remaining = announced;
    auto chunk_handler = [&](size_t length, LinkCallback& cb) -> int {
      if (length == 0 || length > remaining) return LINK_BAD_ANSWER;
      cb.OnDataChunk(m_core.rx_payload(), length, position);
      remaining -= static_cast<uint32_t>(length);
      position += length;
      cb.OnProgress(nullptr, static_cast<uint32_t>(position));
      return 1;
    };
    while (remaining > 0) {
      r = m_protocol.ExchangeWithPassword(chunk, 0, nullptr, chunk_handler, callback);
      if (r != LINK_OK) return r;
    }
    return LINK_OK;
  }
  // The journal grows while it is read: the announced length only scales the
  // progress, and the first empty chunk ends the read. A device that never
  // sends it is stopped at the limit.
  if (announced == 0) return LINK_OK;
  bool done = false;
  auto chunk_handler = [&](size_t length, LinkCallback& cb) -> int {
    if (length == 0) {
      done = true;
      return 1;
    }
    if (length > limit - position) {
      cb.OnError(TooLargeMessage(what, uint64_t{position} + length, limit));
      return LINK_FAILED_REPORTED;
    }
    cb.OnDataChunk(m_core.rx_payload(), length, position);
    position += length;
    cb.OnProgress(nullptr, static_cast<uint32_t>(position));
    return 1;
  };
  while (!done) {
    r = m_protocol.ExchangeWithPassword(chunk, 0, nullptr, chunk_handler, callback);
    if (r != LINK_OK) return r;
  }
  return LINK_OK;
}

int ExchangeDispatcher::GsmStatus(LinkCallback& callback) {
  auto handler = [this](size_t length, LinkCallback& cb) -> int {
    const uint8_t* a = m_core.rx_payload();
    if (length < 1 || length < 2u * a[0] + 2u) return LINK_BAD_ANSWER;
    cb.OnGsmStatus(a, length);
    return 1;
  };
  const Clock& clock = m_core.clock();
  for (;;) {
    const Deadline period = Deadline::After(clock, kGsmPollPeriodMs);
    int r = m_protocol.ExchangeWithPassword(CMD_GSM_STATUS, 0, nullptr, handler, callback);
    // Closing the status window cancels the poll: that is its normal end.
    if (r == LINK_CANCELLED) return LINK_OK;
    if (r != LINK_OK) return r;
    if (m_core.WaitPumping(period.Remaining(clock)) != 0) return LINK_OK;
  }
}

int ExchangeDispatcher::SetTime(LinkCallback& callback) {
  const uint32_t now = DeviceTimeNow(m_core.clock());
  if (now == 0) {
    callback.OnError("Время в приборе не установлено, т.к. год на часах компьютера меньше 2012");
    return LINK_OK;
  }
  uint8_t* p = m_core.tx_payload();
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(now >> (8 * i));
  return m_protocol.ExchangeWithPassword(CMD_SET_TIME, 4, "Установка времени в приборе", nullptr, callback);
}

int ExchangeDispatcher::Reboot(LinkCallback& callback) {
  const int r = m_protocol.ExchangeWithPassword(CMD_REBOOT, 0, "Перезагрузка устройства", nullptr, callback);
  // The device answers a reboot with "reconnect": it is going down as asked.
  return r == RefusalCode(ANS_RECONNECT) ? LINK_OK : r;
}

int ExchangeDispatcher::SerialWrite(const ActionInput& input, LinkCallback& callback) {
  const size_t length = input.text != nullptr ? std::strlen(input.text) : 0;
  if (length == 0 || length > kMaxSerialLength) {
    callback.OnError(Format("SerialCore: bad params for SERIAL_WRITE (len=%u)", static_cast<unsigned>(length)));
    return LINK_FAILED_REPORTED;
  }
  std::memcpy(m_core.tx_payload(), input.text, length);
  return m_protocol.ExchangeWithPassword(CMD_SERIAL_WRITE, length, "Запись серийного номера", nullptr, callback);
}

int ExchangeDispatcher::KeysStatus(LinkCallback& callback) {
  auto handler = [this](size_t length, LinkCallback& cb) -> int {
    if (length < 2) return LINK_BAD_ANSWER;
    cb.OnKeyStatus(m_core.rx_payload(), length);
    return 1;
  };
  const int r =
      m_protocol.ExchangeWithPassword(CMD_KEYS_STATUS, 0, "Чтение состояния ключей шифрования", handler, callback);
  if (r == RefusalCode(ANS_UNKNOWN_COMMAND)) {  // firmware without keys: none to show
    const uint8_t none[2] = {0, 0};
    callback.OnKeyStatus(none, sizeof none);
    return LINK_OK;
  }
  return r;
}

int ExchangeDispatcher::KeyChange(const ActionInput& input, LinkCallback& callback) {
  // Input: key number, key length L, L key bytes; the request carries the
  // number and the key (nothing after the number deletes the key).
  const size_t key_length = input.data != nullptr && input.length >= 2 ? input.data[1] : 0;
  if (input.data == nullptr || input.length < 2 || input.length < 2 + key_length ||
      key_length + 1 > m_core.tx_mtu()) {
    callback.OnError(Format("SerialCore: bad params for KEY_CHANGE (len=%u)", static_cast<unsigned>(input.length)));
    return LINK_FAILED_REPORTED;
  }
  uint8_t* p = m_core.tx_payload();
  p[0] = input.data[0];
  std::memcpy(p + 1, input.data + 2, key_length);
  const int r = m_protocol.ExchangeWithPassword(CMD_KEY_CHANGE, key_length + 1, "Изменение ключа шифрования", nullptr,
                                                callback);
  // The key goes no further than the device: the link's buffers live for
  // the whole run.
  m_protocol.WipeSentPayload();
  if (r == RefusalCode(ANS_REBOOT_REQUIRED)) {
    callback.OnError(
        "В устройство записана новая конфигурация, но устройство не было перезагружено.\n"
        "Для обновления ключа шифрования необходимо произвести перезагрузку устройства.");
    return LINK_FAILED_REPORTED;
  }
  if (r == RefusalCode(ANS_NO_SPACE)) {
    callback.OnError(
        "Недостаточно свободного места в блоке хранения дополнительных данных конфигурации. Для продолжения "
        "работы:\n1. Считайте конфигурацию из устройства и запишите ее обратно, не изменяя.\n2. Выполните "
        "перезагрузку устройства.\n3. Повторите запись ключа.");
    return LINK_FAILED_REPORTED;
  }
  if (r != LINK_OK) return r;
  return KeysStatus(callback);
}

}  // namespace tamlo::link
