#include "pages/qt/direction_frame_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScopedValueRollback>

#include "pages/qt/page_controls.h"
#include "widgets/filtered_line_edit.h"
#include "widgets/label_button.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

using Edit = DirectionFrameModel::Edit;
using Texts = DirectionFrameTexts;

// The first row inside the group box: captions on one line, the controls
// under them. The second row lies below the folded group box's bottom edge.
constexpr int kCaptionTop = 14;
constexpr int kCaptionHeight = 15;
constexpr int kFieldTop = 30;
constexpr int kFieldHeight = 21;
constexpr int kSecondRowTop = 76;

QRect CaptionAt(int left, int width) { return {left, kCaptionTop, width, kCaptionHeight}; }
QRect FieldAt(int left, int width) { return {left, kFieldTop, width, kFieldHeight}; }

struct EditPlace {
  Edit edit;
  int left;
  int caption_width;
  int field_width;
};
constexpr std::array<EditPlace, 3> kEditPlaces{{
    {Edit::E_Tel, 134, 104, 104},
    {Edit::E_Try, 320, 90, 30},
    {Edit::E_Port, 414, 46, 46},
}};

const EditPlace& PlaceOf(Edit edit) {
  for (const EditPlace& p : kEditPlaces)
    if (p.edit == edit) return p;
  return kEditPlaces[0];
}

template <size_t N>
QComboBox* MakeList(QWidget* parent, const char* control, const std::array<std::string_view, N>& items,
                    const QRect& place) {
  auto* list = new QComboBox(parent);
  list->setObjectName(control);
  list->setGeometry(place);
  for (std::string_view item : items) list->addItem(ToQString(item));
  return list;
}

std::array<std::string_view, kDirectionProtocols.size()> ProtocolItems() {
  std::array<std::string_view, kDirectionProtocols.size()> items{};
  for (size_t i = 0; i < items.size(); ++i) items[i] = kDirectionProtocols[i].item;
  return items;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* control, std::string_view caption, std::string_view hint,
                        const QRect& place) {
  auto* box = new QCheckBox(ToQString(caption), parent);
  box->setObjectName(control);
  box->setGeometry(place);
  box->setToolTip(ToQString(hint));
  return box;
}

}  // namespace

TFrameDest::TFrameDest(DirectionFrameModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
  setObjectName(QStringLiteral("FrameDest%1").arg(model.number()));
  m_group = new QGroupBox(QString::fromStdString(model.state().GroupBox1), this);
  m_group->setObjectName("GroupBox1");
  BuildFirstRow();
  BuildSecondRow();
  ConnectEdits();
  ShowModel();
}

void TFrameDest::BuildFirstRow() {
  m_proto_label = AddLabel(*m_group, "L_Proto", Texts::L_Proto, CaptionAt(8, 120));
  m_proto = MakeList(m_group, "C_Proto", ProtocolItems(), FieldAt(8, 120));
  TieToLabel(*m_proto_label, *m_proto, {});

  for (size_t i = 0; i < m_edits.size(); ++i) {
    const EditRule<Edit>& rule = DirectionFrameModel::kEditRules[i];
    const EditPlace& place = PlaceOf(rule.edit);
    RuleEdit& e = m_edits[i];
    e.edit = rule.edit;
    e.label = AddLabel(*m_group, rule.label, rule.caption, CaptionAt(place.left, place.caption_width));
    e.field = AddRuleEdit(*m_group, rule, *e.label, FieldAt(place.left, place.field_width));
  }
  m_sim_label = AddLabel(*m_group, "L_SIM", Texts::L_SIM, CaptionAt(244, 70));
  m_sim = MakeList(m_group, "C_SIM", kDirectionSimItems, FieldAt(244, 70));
  TieToLabel(*m_sim_label, *m_sim, {});
  // The tab order follows the row: the SIM list sits between address and tries.
  QWidget::setTabOrder(Field(Edit::E_Tel), m_sim);
  QWidget::setTabOrder(m_sim, Field(Edit::E_Try));

  m_more = new LabelButton(ToQString(Texts::L_MoreFolded), m_group);
  m_more->setObjectName("L_More");
  m_more->setGeometry(466, kFieldTop + 3, 52, kCaptionHeight);
}

void TFrameDest::BuildSecondRow() {
  m_local_period = MakeCheckBox(m_group, "CB_LocalPeriod", Texts::CB_LocalPeriod, Texts::CB_LocalPeriodHint,
                                QRect(8, kSecondRowTop, 232, 20));
  m_local_period_time = new TimeFieldEdit(m_group);
  m_local_period_time->setObjectName("ME_LocalPeriod");
  m_local_period_time->setGeometry(244, kSecondRowTop - 1, 46, kFieldHeight);
  m_local_period_time->setToolTip(ToQString(Texts::ME_LocalPeriodHint));
  // The time field has no label of its own: the box beside it names it.
  m_local_period_time->setAccessibleName(ToQString(Texts::CB_LocalPeriod));
  m_use_crypto = MakeCheckBox(m_group, "CB_UseCrypto", Texts::CB_UseCrypto, Texts::CB_UseCryptoHint,
                              QRect(312, kSecondRowTop, 150, 20));
}

void TFrameDest::ConnectEdits() {
  connect(m_proto, &QComboBox::activated, this, [this](int index) {
    m_model.C_ProtoChange(index);
    Reshow();
  });
  connect(m_sim, &QComboBox::activated, this, [this](int index) {
    m_model.SetSim(index);
    Reshow();
  });
  for (const RuleEdit& e : m_edits) {
    connect(e.field, &QLineEdit::textEdited, this, [this, edit = e.edit](const QString& text) {
      m_model.SetText(edit, text.toStdString());
      Reshow();
    });
    connect(e.field, &FilteredLineEdit::exited, this, [this, edit = e.edit] {
      m_model.LeaveEdit(edit);
      Reshow();
    });
  }
  connect(m_local_period_time, &TimeFieldEdit::fieldEdited, this, [this](const QString& text) {
    m_model.SetText(Edit::ME_LocalPeriod, text.toStdString());
    Reshow();
  });
  connect(m_local_period, &QCheckBox::clicked, this, [this](bool ticked) {
    m_model.CB_LocalPeriodClick(ticked);
    Reshow();
  });
  connect(m_use_crypto, &QCheckBox::clicked, this, [this](bool ticked) {
    m_model.CB_UseCryptoClick(ticked);
    Reshow();
  });
  connect(m_more, &LabelButton::clicked, this, [this] {
    m_model.L_MoreClick();
    Reshow();
    emit expandedChanged();
  });
}

FilteredLineEdit* TFrameDest::Field(Edit edit) const {
  for (const RuleEdit& e : m_edits)
    if (e.edit == edit) return e.field;
  return nullptr;
}

void TFrameDest::Reshow() {
  // Hiding the focused control moves the focus, which reads as leaving an
  // edit: that is the program's doing, not the user's.
  if (!m_showing) ShowModel();
}

void TFrameDest::ShowModel() {
  const QScopedValueRollback<bool> showing(m_showing, true);
  const DirectionFrameModel::State& s = m_model.state();

  m_proto->setCurrentIndex(s.C_Proto);
  m_sim->setCurrentIndex(s.C_SIM);
  m_sim->setVisible(s.visible.C_SIM);
  m_sim_label->setVisible(s.visible.C_SIM);

  for (const RuleEdit& e : m_edits) {
    if (e.edit == Edit::E_Tel && e.label->text() != QString::fromStdString(s.L_Tel)) {
      ShowCaption(*e.label, s.L_Tel);
      TieToLabel(*e.label, *e.field, {});
    }
    ShowText(*e.field, m_model.Text(e.edit));
    const bool visible = m_model.Shown(e.edit);
    e.field->setVisible(visible);
    e.label->setVisible(visible);
  }

  ShowCaption(*m_more, s.L_More);
  m_local_period->setChecked(s.CB_LocalPeriod);
  m_local_period->setVisible(s.visible.CB_LocalPeriod);
  ShowFieldText(*m_local_period_time, s.ME_LocalPeriod);
  m_local_period_time->setVisible(s.visible.ME_LocalPeriod);
  m_use_crypto->setChecked(s.CB_UseCrypto);
  m_use_crypto->setVisible(s.visible.CB_UseCrypto);
}

void TFrameDest::ApplyGeometry(const DirectionFrameGeometry& geometry, int width) {
  setGeometry(0, geometry.top, width, geometry.height);
  m_group->setGeometry(0, 0, width, geometry.group_box_height);
}

}  // namespace tamlo
