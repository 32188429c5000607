#pragma once
// The serial ports Windows lists in the registry: the values of
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, one per port the drivers
// have announced, each a REG_SZ holding the port's name ("COM3").
#include <string>
#include <utility>
#include <vector>

#include "device/device_seams.h"

namespace tamlo::device {

enum class RegistryRoot { LocalMachine, CurrentUser };

class RegistryPortEnumerator final : public PortEnumerator {
 public:
  // `key` is UTF-8, under `root`; tests list a key of their own.
  explicit RegistryPortEnumerator(RegistryRoot root = RegistryRoot::LocalMachine,
                                  std::string key = "HARDWARE\\DEVICEMAP\\SERIALCOMM")
      : m_root(root), m_key(std::move(key)) {}

  // The names in the key's order; empty when the key cannot be opened. The
  // listing stops at the first value that cannot be read whole (a name of
  // 128 characters or more, data of more than 128 bytes): the ports read
  // until then are the list.
  std::vector<std::string> EnumerateComPorts() override;

 private:
  RegistryRoot m_root;
  std::string m_key;
};

}  // namespace tamlo::device
