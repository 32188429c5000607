#pragma once
// TF_CryptoKeys, "Ключи шифрования в устройстве": whether key No. 1 is set
// in the device, and writing or deleting it. device::CryptoKeysModel holds
// the rules; the exchanges are the device window's. Opened modally from the
// device window's "Прочее" menu; it keeps the last status between openings
// and reads nothing from the device when it opens.
#include <QDialog>

#include "device/crypto_keys.h"

class QLabel;
class QPushButton;

namespace tamlo {

class LabelButton;

inline constexpr char kCryptoKeysCaption[] = "Ключи шифрования в устройстве";

class TF_CryptoKeys final : public QDialog {
  Q_OBJECT
 public:
  // The model outlives the window.
  TF_CryptoKeys(device::CryptoKeysModel& model, QWidget* main_window);
  ~TF_CryptoKeys() override;

  // Modal, centred on the main window.
  void Open();

 private:
  void ShowModel();

  device::CryptoKeysModel& m_model;
  QWidget* m_main_window = nullptr;
  LabelButton* m_update = nullptr;
  QLabel* m_status = nullptr;
  LabelButton* m_write = nullptr;
  LabelButton* m_delete = nullptr;
  QPushButton* m_close = nullptr;
};

}  // namespace tamlo
