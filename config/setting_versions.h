#pragma once
// The settings an older firmware does not know, each with the first firmware
// version (major * 100 + minor) that understands it. The pages note them when
// they store a configuration; the parameter catalogue names them beside the
// parameters that carry them. Names are UTF-8 display texts.
#include <cstdint>

namespace tamlo {

struct VersionedSetting {
  const char* name = "";
  uint32_t min_version = 0;  // 0: every firmware knows it
};

namespace setting_versions {

inline constexpr VersionedSetting kInputType{"Тип входа", 302};
inline constexpr VersionedSetting kPeriodicAutotest{"Периодический автотест", 303};
inline constexpr VersionedSetting kScheduledAutotest{"Автотест по расписанию", 303};
inline constexpr VersionedSetting kSimChangeLoops{"Кол-во проходов перед сменой SIM-карты", 304};
inline constexpr VersionedSetting kReturnPeriod{"Период возврата на первое направление", 304};
inline constexpr VersionedSetting kDevicePassword{"Пароль доступа к устройству", 304};
inline constexpr VersionedSetting kOwnMessages{"Создавать собственные извещения", 304};
inline constexpr VersionedSetting kSimPin{"PIN-код SIM-карты", 304};
inline constexpr VersionedSetting kOwnTestPeriod{"Индивидуальный период тестов", 304};
inline constexpr VersionedSetting kKamNetLan{"Протокол Kam-Net/LAN", 306};
inline constexpr VersionedSetting kSiaIpLan{"Протокол SIA-IP/LAN", 306};
inline constexpr VersionedSetting kKamM{"Протокол Kam-M", 308};
inline constexpr VersionedSetting kKamSms{"Протокол Kam-SMS", 308};
inline constexpr VersionedSetting kRecoveryCheck{"Период проверки восстановления GPRS/LAN", 310};
inline constexpr VersionedSetting kEncryption{"Шифрование", 311};

}  // namespace setting_versions
}  // namespace tamlo
