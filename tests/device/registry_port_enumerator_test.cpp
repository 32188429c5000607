// The registry's port list, read from a key of the test's own under
// HKEY_CURRENT_USER laid out as the drivers fill SERIALCOMM.
#include "device/win32/registry_port_enumerator.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace tamlo::device {
namespace {

TEST(RegistryPortEnumerator, PortsAreTheTextValues_ListingStopsAtAValueTooLongToRead) {
  const std::wstring key = L"Software\\tamlocfg-test-ports-" + std::to_wstring(::GetCurrentProcessId());
  HKEY handle = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                              nullptr),
            ERROR_SUCCESS);
  const auto text = [&](const std::wstring& name, const std::wstring& data) {
    ::RegSetValueExW(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  };
  // Names in the order of creation sort the same way, which is the order
  // the system lists them in either way.
  text(L"A\\Device\\Serial0", L"COM1");
  const DWORD number = 3;
  ::RegSetValueExW(handle, L"B\\Device\\Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
  text(L"C\\Device\\Empty", L"");
  text(L"D\\Device\\VCP0", L"COM10");
  text(L"E\\Device\\Порт", L"КОМ5");
  text(L"F" + std::wstring(127, L'x'), L"COM7");  // 128 characters: no room for its zero
  text(L"G\\Device\\Serial1", L"COM9");
  ::RegCloseKey(handle);

  std::string utf8_key;
  for (wchar_t c : key) utf8_key += static_cast<char>(c);
  EXPECT_EQ(RegistryPortEnumerator(RegistryRoot::CurrentUser, utf8_key).EnumerateComPorts(),
            (std::vector<std::string>{"COM1", "COM10", "КОМ5"}));
  EXPECT_TRUE(RegistryPortEnumerator(RegistryRoot::CurrentUser, utf8_key + "\\missing").EnumerateComPorts().empty());
  EXPECT_EQ(::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS);
}

}  // namespace
}  // namespace tamlo::device
