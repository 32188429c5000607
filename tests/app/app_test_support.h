#pragma once
// Doubles for the main window's tests: a small settings page that keeps one
// text through the page contract, and a device page. The scripted dialogs are
// the configuration tests' (config/test_pages.h).
#include <QLineEdit>
#include <QWidget>
#include <vector>

#include "device/qt/device_page.h"
#include "app/tamlo_application.h"
#include "config/config_page.h"
#include "config/test_pages.h"
#include "support/qt_test_main.h"

namespace tamlo::testing {

// The one application object of the test program: the program's own class.
TamloApplication& TestApp();

// A page with one edit, stored as the device password (id 265, a string)
// when it is not empty; its default is empty.
class TextPage : public QWidget, public ConfigPage {
 public:
  TextPage();
  void ResetToDefaults() override;
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* bytes, size_t length,
                     uint32_t repeat) override;
  void StoreToConfig(ConfigTree& tree) override;

  QLineEdit* edit;
  int resets = 0;
  int loads = 0;
  int stores = 0;
};

class FakeDevicePage : public QWidget, public DevicePage {
 public:
  bool FormShortCut(const QKeyEvent& key) override;
  bool ConnectedViaModem() const override { return connected; }
  uint32_t ConnectionStartTick() const override { return start_tick; }

  std::vector<QKeySequence> seen;  // combinations, modifier keys alone not included
  int modifier_strokes = 0;
  QKeySequence takes;  // the key this page handles itself
  bool connected = false;
  uint32_t start_tick = 0;
};

}  // namespace tamlo::testing
