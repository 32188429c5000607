#pragma once
// TF_AdemcoList, "Справочник кодов Ademco": the modal dialog in which the
// user picks a Contact ID event code for an input, shown from an
// EventCodePickerModel. The model decides what Select, Cancel, a double
// click and the Enter and Escape keys do; the dialog closes when the model
// says the picker is no longer open.
#include <QDialog>

#include "pages/event_code_picker.h"

class QPushButton;
class QTableWidget;

namespace tamlo {

class TF_AdemcoList : public QDialog {
  Q_OBJECT
 public:
  // The model outlives the dialog. Its rows fill the list once, here.
  explicit TF_AdemcoList(EventCodePickerModel& model, QWidget* parent = nullptr);

  // Closing the window by its frame or the Escape key outside the list
  // counts as Cancel.
  void reject() override;

 public slots:
  void B_SelectClick();
  void B_CancelClick();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Ends the modal run once the model has closed the picker: accepted when
  // something was chosen.
  void CloseWhenModelClosed();

  EventCodePickerModel& m_model;
  QTableWidget* m_list = nullptr;
};

}  // namespace tamlo
