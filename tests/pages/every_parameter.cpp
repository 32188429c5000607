#include "tests/pages/every_parameter.h"

#include <string>
#include <utility>

#include "config/config_image.h"
#include "config/tagged_encoding.h"
#include "tests/support/join_bytes.h"

namespace tamlo::testing {
namespace {

ConfigTree Sim(const char* apn, const char* login, const char* password, const char* pin) {
  ConfigTree sim;
  sim.PutString(1, apn);
  sim.PutString(2, login);
  sim.PutString(3, password);
  sim.PutString(4, pin);
  return sim;
}

ConfigTree Input(int32_t type, int32_t code, int32_t partition, int32_t zone) {
  ConfigTree input;
  input.PutInt(1, type);
  input.PutInt(2, code);
  input.PutInt(3, partition);
  input.PutInt(4, zone);
  return input;
}

ConfigTree Direction(int n) {
  ConfigTree group;
  group.PutInt(1, n + 4);  // protocols 5..10
  group.PutInt(2, n % 2 + 1);
  group.PutString(3, n == 1 ? "Пост №1" : "192.168.0." + std::to_string(n));
  group.PutInt(4, 24000 + n);
  group.PutInt(5, 10 + n);
  group.PutInt(6, 1);
  group.PutInt(7, 60 * n + 1);
  group.PutInt(8, 1);
  return group;
}

}  // namespace

ConfigTree EveryParameterSet() {
  ConfigTree top;
  // General settings with both SIM cards and the four inputs.
  top.PutGroup(1, Sim("internet.mts.ru", "mts", "пароль", "1234"));
  top.PutGroup(1, Sim("точка доступа", "логин 2", "pass 2", "87654321"));
  top.PutGroup(4, Input(1, 0x12B, 0x1, 0x10));
  top.PutGroup(4, Input(2, 0x130, 0xFF, 0xCDE));
  top.PutGroup(4, Input(3, 0x12345, 0x2, 0x0));
  top.PutGroup(4, Input(0, 0x602, 0xBC, 0x1));
  top.PutInt(256, 0x1BCD);
  top.PutInt(257, 0x1BCD);
  top.PutString(265, "Ключ доступа");
  top.PutInt(266, 1);
  // Periodic tests: by schedule, 02:15 from 20:00, quick tests every 300 s.
  top.PutInt(258, 2);
  top.PutInt(259, 135);
  top.PutInt(260, 1200);
  top.PutInt(261, 1);
  top.PutInt(262, 300);
  for (int n = 1; n <= 6; ++n) top.PutGroup(2, Direction(n));
  // Delivery options.
  top.PutInt(263, 7);
  top.PutInt(264, 135);
  top.PutInt(267, 5999);
  // Remote access with three rows, one of them without a telephone.
  ConfigTree remote;
  remote.PutInt(1, 1);
  remote.PutInt(2, 12);
  for (const char* phone : {"+79001234567", "", "333"}) remote.PutString(3, phone);
  for (const char* note : {" охрана", "только примечание", ""}) remote.PutString(4, note);
  top.PutGroup(3, std::move(remote));
  // LAN extender with fixed addresses and both DNS servers.
  ConfigTree lan;
  lan.PutInt(1, 1);
  lan.PutInt(2, static_cast<int32_t>(0xC0A8010Au));  // 192.168.1.10
  lan.PutInt(3, static_cast<int32_t>(0xFFFF0000u));  // 255.255.0.0
  lan.PutInt(4, static_cast<int32_t>(0xC0A80101u));  // 192.168.1.1
  lan.PutInt(5, 1);
  lan.PutInt(6, 0x08080808);                         // 8.8.8.8
  lan.PutInt(6, 0x4D580808);                         // 77.88.8.8
  top.PutGroup(5, std::move(lan));
  return top;
}

std::vector<uint8_t> EveryParameterFile() {
  const std::vector<uint8_t> data = EncodeConfig(EveryParameterSet());
  return JoinBytes(ConfigImageHeader::For(data.data(), data.size()).Serialize(), data);
}

}  // namespace tamlo::testing
