#include "device/win32/registry_port_enumerator.h"

#include <windows.h>

#include "config/win32/wide_text.h"

namespace tamlo::device {

std::vector<std::string> RegistryPortEnumerator::EnumerateComPorts() {
  std::vector<std::string> ports;
  const HKEY root = m_root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, WideOf(m_key).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return ports;
  for (DWORD index = 0;; ++index) {
    wchar_t name[128];
    DWORD name_length = 128;  // characters
    wchar_t data[64];
    DWORD data_size = sizeof data;  // 128 bytes
    DWORD type = 0;
    if (::RegEnumValueW(key, index, name, &name_length, nullptr, &type, reinterpret_cast<BYTE*>(data),
                        &data_size) != ERROR_SUCCESS) {
      break;
    }
    if (type != REG_SZ) continue;
    // The data need not end in a zero; the zeros it ends in are no part of
    // the name.
    size_t length = data_size / sizeof(wchar_t);
    while (length > 0 && data[length - 1] == L'\0') --length;
    if (length == 0) continue;
    ports.push_back(Utf8Of(std::wstring(data, length)));
  }
  ::RegCloseKey(key);
  return ports;
}

}  // namespace tamlo::device
