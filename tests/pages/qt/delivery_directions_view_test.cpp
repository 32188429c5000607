// The directions page on its model: keys and clicks reach the direction's
// model, the models reach the widgets, unfolding moves the frames below and
// the scroll range follows, and every field is named for screen readers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "pages/qt/delivery_directions_view.h"
#include "pages/qt/direction_frame_view.h"
#include "widgets/label_button.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

using Edit = DirectionFrameModel::Edit;

struct Page {
  DeliveryDirectionsModel model;
  TF_Napr_Dost view{model};

  Page() {
    view.show();
    view.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
  }
  TFrameDest* Frame(int n) const { return view.findChild<TFrameDest*>(QStringLiteral("FrameDest%1").arg(n)); }
  template <typename T = QWidget>
  T* Get(int n, const char* control) const {
    T* w = Frame(n)->findChild<T*>(control);
    EXPECT_NE(w, nullptr) << control;
    return w;
  }
  bool Shown(int n, const char* control) const { return Get(n, control)->isVisibleTo(&view); }
  // The way the user picks an item: the list's keys.
  void Choose(int n, const char* list, int index) const {
    auto* combo = Get<QComboBox>(n, list);
    combo->setFocus(Qt::TabFocusReason);
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(combo, Qt::Key_Down);
  }
  void Click(int n, const char* control) const { QTest::mouseClick(Get(n, control), Qt::LeftButton); }
};

TEST(DeliveryDirectionsView, UserEdits_ReachTheirDirectionOnly) {
  Page p;
  p.Choose(3, "C_Proto", 3);  // Kam-Net shows every first-row field
  p.Choose(3, "C_SIM", 2);
  const struct {
    const char* control;
    const char* keys;
    std::string DirectionFrameModel::State::*text;
    const char* expected;
  } cases[] = {{"E_Tel", "10.0.0.7", &DirectionFrameModel::State::E_Tel, "10.0.0.7"},
               {"E_Try", "1x23", &DirectionFrameModel::State::E_Try, "12"},  // digits only, two at most
               {"E_Port", "24a3339", &DirectionFrameModel::State::E_Port, "24333"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control);
    auto* edit = p.Get<QLineEdit>(3, c.control);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, c.keys);
    EXPECT_EQ(p.model.frame(3).state().*c.text, c.expected);
  }
  EXPECT_EQ(p.model.frame(3).state().C_Proto, 3);
  EXPECT_EQ(p.model.frame(3).state().C_SIM, 2);
  EXPECT_EQ(p.model.frame(2).state(), DirectionFrameModel(2).state());
  EXPECT_EQ(p.model.frame(4).state(), DirectionFrameModel(4).state());
}

TEST(DeliveryDirectionsView, ProtocolChoice_ShowsItsFirstRow_AddressNamedByItsLabel) {
  Page p;
  for (int index = static_cast<int>(kDirectionProtocols.size()) - 1; index >= 0; --index) {
    const DirectionProtocol& proto = kDirectionProtocols[static_cast<size_t>(index)];
    SCOPED_TRACE(std::string(proto.item));
    p.Choose(1, "C_Proto", index);
    const std::pair<const char*, bool> fields[] = {{"E_Tel", proto.tel},   {"L_Tel", proto.tel},
                                                   {"C_SIM", proto.sim},   {"L_SIM", proto.sim},
                                                   {"E_Try", proto.tries}, {"L_Try", proto.tries},
                                                   {"E_Port", proto.port}, {"L_Port", proto.port}};
    for (const auto& [control, shown] : fields) EXPECT_EQ(p.Shown(1, control), shown) << control;
    const QString address = p.Get<QLabel>(1, "L_Tel")->text();
    if (proto.tel) {
      EXPECT_EQ(address.toStdString(), proto.address_label);
    }
    EXPECT_EQ(p.Get(1, "E_Tel")->accessibleName(), address);
  }
}

TEST(DeliveryDirectionsView, LoadedModel_ShownWhole_LeavingTriesAtZeroGivesOne) {
  Page p;
  DirectionFrameModel& f = p.model.frame(5);
  f.C_ProtoChange(4);
  f.SetSim(1);
  f.SetText(Edit::E_Port, "1234567");  // longer than the typing limit
  f.SetText(Edit::E_Try, "0");
  f.SetText(Edit::ME_LocalPeriod, "01:30");
  f.CB_LocalPeriodClick(true);
  p.view.ShowModel();
  EXPECT_EQ(p.Get<QComboBox>(5, "C_Proto")->currentText(), "SIA IP");
  EXPECT_EQ(p.Get<QComboBox>(5, "C_SIM")->currentText(), "Sim 1");
  EXPECT_EQ(p.Get<QLabel>(5, "L_Tel")->text(), "Адрес");
  EXPECT_EQ(p.Get<QLineEdit>(5, "E_Port")->text(), "1234567");
  EXPECT_TRUE(p.Get<QCheckBox>(5, "CB_LocalPeriod")->isChecked());
  EXPECT_EQ(p.Get<TimeFieldEdit>(5, "ME_LocalPeriod")->FieldText(), "01:30");

  auto* tries = p.Get<QLineEdit>(5, "E_Try");
  tries->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(tries->text(), "0");  // the rule waits for the user to leave
  p.Get(5, "E_Port")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.state().E_Try, "1");
  EXPECT_EQ(tries->text(), "1");
  EXPECT_EQ(f.state().E_Port, "1234567");
}

TEST(DeliveryDirectionsView, MoreLink_UnfoldsSecondRow_MovesFramesBelow_ScrollRangeFollows) {
  Page p;
  p.Choose(2, "C_Proto", 3);
  p.Click(2, "L_More");
  EXPECT_EQ(p.Get<QLabel>(2, "L_More")->text(), "Скрыть");
  EXPECT_TRUE(p.Shown(2, "CB_UseCrypto"));
  EXPECT_FALSE(p.Shown(2, "ME_LocalPeriod"));
  p.Click(2, "CB_LocalPeriod");
  EXPECT_TRUE(p.Shown(2, "ME_LocalPeriod"));
  auto* time = p.Get<TimeFieldEdit>(2, "ME_LocalPeriod");
  time->setFocus(Qt::TabFocusReason);
  time->home(false);
  QTest::keyClicks(time, "0215");
  EXPECT_EQ(p.model.frame(2).state().ME_LocalPeriod, "02:15");
  for (int n = 1; n <= kDirectionCount; ++n)
    EXPECT_EQ(p.Frame(n)->y(), (n - 1) * kDirectionFrameStep + (n > 2 ? kDirectionExtraRowHeight : 0)) << n;
  EXPECT_EQ(p.Get(2, "GroupBox1")->height(), kDirectionGroupBoxHeight + kDirectionExtraRowHeight);

  // Space and Enter on the focused link fold and unfold as a click does.
  auto* more = p.Get(2, "L_More");
  more->setFocus(Qt::TabFocusReason);
  QTest::keyClick(more, Qt::Key_Space);
  EXPECT_FALSE(p.Shown(2, "CB_LocalPeriod"));
  for (int n = 1; n <= kDirectionCount; ++n) EXPECT_EQ(p.Frame(n)->y(), (n - 1) * kDirectionFrameStep) << n;
  for (int n = 1; n <= kDirectionCount; ++n) {
    p.Get(n, "L_More")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(p.Get(n, "L_More"), Qt::Key_Return);
  }
  auto* scroll = p.view.findChild<QScrollArea*>();
  const int bottom = p.Frame(6)->geometry().bottom() + 1;
  EXPECT_EQ(bottom, p.model.Layout().content_height);
  EXPECT_EQ(scroll->verticalScrollBar()->maximum() + scroll->viewport()->height(), bottom);
  EXPECT_EQ(scroll->verticalScrollBar()->value(), scroll->verticalScrollBar()->maximum());  // brought into view
  EXPECT_LE(p.Frame(1)->width(), scroll->viewport()->width());  // clear of the scroll bar
}

TEST(DeliveryDirectionsView, EveryField_NamedByItsLabel_InItsDirectionGroup) {
  Page p;
  const std::pair<const char*, const char*> pairs[] = {
      {"L_Proto", "C_Proto"}, {"L_Tel", "E_Tel"}, {"L_SIM", "C_SIM"}, {"L_Try", "E_Try"}, {"L_Port", "E_Port"}};
  for (int n = 1; n <= kDirectionCount; ++n) {
    SCOPED_TRACE(n);
    p.Choose(n, "C_Proto", 3);
    auto* group = p.Get<QGroupBox>(n, "GroupBox1");
    EXPECT_EQ(group->title(), QStringLiteral("Направление %1").arg(n));
    for (const auto& [label_name, field_name] : pairs) {
      auto* label = p.Get<QLabel>(n, label_name);
      QWidget* field = p.Get(n, field_name);
      EXPECT_FALSE(label->text().isEmpty()) << label_name;
      EXPECT_EQ(field->accessibleName(), label->text()) << field_name;
      EXPECT_EQ(label->buddy(), field) << field_name;
      EXPECT_EQ(label->toolTip(), field->toolTip()) << field_name;
      EXPECT_EQ(field->parentWidget(), group) << field_name;
    }
    EXPECT_FALSE(p.Get(n, "E_Port")->toolTip().isEmpty());
    EXPECT_EQ(p.Get(n, "ME_LocalPeriod")->accessibleName(), "Индивидуальный период тестов");
    EXPECT_EQ(p.Get(n, "L_More")->focusPolicy(), Qt::TabFocus);
  }
}

}  // namespace
}  // namespace tamlo
