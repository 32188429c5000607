#pragma once
// TFrameDest: one delivery direction of the directions page. The frame holds
// one group box captioned "Направление N", so every control inside it is
// announced with its direction; the first row (protocol, address, SIM, tries,
// port and the "Ещё..." link) is always there, the second row (own test
// period, encryption) only while the frame is unfolded. The frame shows its
// DirectionFrameModel and writes the user's edits back; where the frame sits
// and how high it is comes from the page (ApplyGeometry).
#include <QWidget>
#include <array>

#include "pages/delivery_directions.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace tamlo {

class FilteredLineEdit;
class LabelButton;
class TimeFieldEdit;

class TFrameDest : public QWidget {
  Q_OBJECT
 public:
  explicit TFrameDest(DirectionFrameModel& model, QWidget* parent = nullptr);

  void ShowModel();
  // Places the frame at the left of the page's content.
  void ApplyGeometry(const DirectionFrameGeometry& geometry, int width);

 signals:
  // The user folded or unfolded the second row: the page moves the frames
  // below this one.
  void expandedChanged();

 private:
  struct RuleEdit {
    DirectionFrameModel::Edit edit;
    FilteredLineEdit* field = nullptr;
    QLabel* label = nullptr;
  };

  void BuildFirstRow();
  void BuildSecondRow();
  void ConnectEdits();
  FilteredLineEdit* Field(DirectionFrameModel::Edit edit) const;
  // After every user action: the rules may have changed any control.
  void Reshow();

  DirectionFrameModel& m_model;
  bool m_showing = false;  // ShowModel moves no change back into the model
  QGroupBox* m_group = nullptr;
  QLabel* m_proto_label = nullptr;
  QComboBox* m_proto = nullptr;
  QLabel* m_sim_label = nullptr;
  QComboBox* m_sim = nullptr;
  std::array<RuleEdit, DirectionFrameModel::kEditRules.size()> m_edits{};
  LabelButton* m_more = nullptr;
  QCheckBox* m_local_period = nullptr;
  TimeFieldEdit* m_local_period_time = nullptr;
  QCheckBox* m_use_crypto = nullptr;
};

}  // namespace tamlo
