#pragma once
// TF_PassInput: the one-line entry dialog of the device password, the
// scanned serial number and the encryption key. The dialog shows the prompt
// and the edit; device::EntryModel decides which typed characters the edit
// takes and what Enter and Esc do.
#include <QDialog>

#include "config/user_interface.h"
#include "device/device_seams.h"
#include "device/entry_rules.h"

class QLabel;
class QLineEdit;

namespace tamlo {

class TF_PassInput final : public QDialog, public device::EntryPrompt {
  Q_OBJECT
 public:
  // Messages of the serial number checks go to `dialogs`, which outlives
  // the dialog.
  TF_PassInput(QWidget* main_window, UserDialogs& dialogs);

  // Caption, prompt, mode, limit and prefilled text of `request`; modal,
  // centred on the main window.
  std::optional<std::string> Ask(const device::EntryRequest& request) override;

  // Esc and the close box: no result.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOut(device::EntryMode mode);

  QWidget* m_main_window = nullptr;
  device::EntryModel m_model;
  QLabel* m_prompt = nullptr;
  QLineEdit* m_edit = nullptr;
};

}  // namespace tamlo
