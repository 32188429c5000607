#pragma once
// The texts the device window and the console tool both show for the same
// outcome of an exchange.
namespace tamlo::device {

inline constexpr const char kConfigReadDone[] = "Конфигурация успешно считана из устройства";
inline constexpr const char kJournalReadDone[] = "Журнал работы был успешно считан с прибора";
inline constexpr const char kTimeSetDone[] = "Время передано в устройство";
inline constexpr const char kRebooting[] = "Устройство перезагружается";
inline constexpr const char kFirmwareUpdated[] = "Обновление прошивки завершено. Устройство перезагружается.";
inline constexpr const char kWriteVerified[] = "Проверка записи пройдена: конфигурация в приборе совпадает с записанной";
// A backup before a write that could not be read (the front end adds how the
// write goes ahead without one).
inline constexpr const char kBackupReadFailed[] = "Не удалось прочитать конфигурацию из прибора для резервной копии";


// The port entry of the in-process demo device in the window's list, and its
// place in the console: with no serial number it names the demo device's
// folder in the history ("port-Демо-прибор") for both.
inline constexpr const char kDemoPortName[] = "Демо-прибор";

}  // namespace tamlo::device
