#pragma once
// TF_TamloDev, the page "Работа с прибором": the connection to the device
// (cable or modem, the port, "Проверить"), the configuration, the journal,
// the GSM level, the firmware and the service log. device::DeviceWindowModel
// holds every rule; this page builds the controls, shows the model and hands
// it the user's clicks. The model's change listener repaints the page, so
// log lines and captions appear while an exchange is running.
#include <QWidget>
#include <array>
#include <string>

#include "device/qt/device_page.h"
#include "device/device_window.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QRadioButton;

namespace tamlo {

class LabelButton;

// The service log's time stamp: the local date in the system locale's short
// date format, a space, the local time in its long time format.
std::string LocalLogTime();

class TF_TamloDev final : public QWidget, public DevicePage {
  Q_OBJECT
 public:
  // The model outlives the page. The page does not start the model's
  // FormCreate; the program does, once every seam exists.
  explicit TF_TamloDev(device::DeviceWindowModel& model, QWidget* parent = nullptr);
  ~TF_TamloDev() override;

  // DevicePage
  bool FormShortCut(const QKeyEvent& key) override;
  bool ConnectedViaModem() const override { return m_model.connected_via_modem(); }
  uint32_t ConnectionStartTick() const override { return m_model.connection_start_ms(); }

  // Every caption, enabled flag, the port list and the log from the model.
  void ShowModel();

 signals:
  // A configuration read or write has been through the settings pages (a
  // read loads them, even part way when it fails; a write stores them, and a
  // store's warnings may correct a setting): the page views show their
  // models again.
  void PagesChanged();
  // "Прочее" -> "Ключи шифрования": the key window is to be opened.
  void N_KeysClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void BuildMenu();
  void Connect();
  void ShowControls();
  void ShowPorts();
  void ShowNewLogLines();
  LabelButton* Link(device::DeviceControl id) const;
  void L_OtherActionsClick();

  device::DeviceWindowModel& m_model;
  QRadioButton* m_local = nullptr;
  QRadioButton* m_remote = nullptr;
  QLabel* m_port_label = nullptr;
  QComboBox* m_ports = nullptr;
  std::array<LabelButton*, device::kDeviceControlCount> m_links{};  // null for non-links
  QMenu* m_menu = nullptr;
  std::array<QAction*, 6> m_menu_items{};  // the rows of "Прочее" in order
  QPlainTextEdit* m_info = nullptr;
  size_t m_log_shown = 0;  // lines of the model's log already in Mm_Info
};

}  // namespace tamlo
