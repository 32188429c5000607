// The directions page on its model: the user's keys and clicks reach the
// direction models, the models reach the widgets, unfolding moves the frames
// below and keeps them all within the scroll range, and every field is named
// for screen readers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "pages/delivery_directions.h"
#include "pages/qt/delivery_directions_view.h"
#include "pages/qt/direction_frame_view.h"
#include "widgets/filtered_line_edit.h"
#include "widgets/label_button.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

using Edit = DirectionFrameModel::Edit;

QApplication& App() {
  static int argc = 1;
  static char name[] = "page_delivery_directions_view_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct Page {
  QApplication& app = App();  // before any widget
  Page() {
    view.show();
    view.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
  }
  TFrameDest* Frame(int n) const {
    auto* frame = view.findChild<TFrameDest*>(QStringLiteral("FrameDest%1").arg(n));
    EXPECT_NE(frame, nullptr) << n;
    return frame;
  }
  template <typename T>
  T* Get(int n, const char* control) const {
    T* w = Frame(n)->findChild<T*>(control);
    EXPECT_NE(w, nullptr) << control;
    return w;
  }
  // The protocol the way the user picks it: the list's keys.
  void ChooseProtocol(int n, int index) const {
    auto* list = Get<QComboBox>(n, "C_Proto");
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
  }
  void Retype(int n, const char* control, const char* keys) const {
    auto* edit = Get<QLineEdit>(n, control);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, keys);
  }
  bool Shown(int n, const char* control) const { return Get<QWidget>(n, control)->isVisibleTo(&view); }

  DeliveryDirectionsModel model;
  TF_Napr_Dost view{model};
};

TEST(DeliveryDirectionsView, UserEdits_ReachTheirDirectionOnly) {
  Page p;
  p.ChooseProtocol(3, 3);  // Kam-Net shows every first-row field
  ASSERT_EQ(p.model.frame(3).state().C_Proto, 3);
  struct Case {
    const char* control;
    Edit edit;
    const char* keys;
    const char* expected;
  } cases[] = {
      {"E_Tel", Edit::E_Tel, "10.0.0.7", "10.0.0.7"},
      {"E_Try", Edit::E_Try, "1x23", "12"},  // digits only, two at most
      {"E_Port", Edit::E_Port, "24a3339", "24333"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    p.Retype(3, c.control, c.keys);
    DirectionFrameModel::State s = p.model.frame(3).state();
    const std::string& text = c.edit == Edit::E_Tel ? s.E_Tel : c.edit == Edit::E_Try ? s.E_Try : s.E_Port;
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(p.Get<QLineEdit>(3, c.control)->text().toStdString(), c.expected);
  }
  auto* sim = p.Get<QComboBox>(3, "C_SIM");
  sim->setFocus(Qt::TabFocusReason);
  QTest::keyClick(sim, Qt::Key_End);
  EXPECT_EQ(p.model.frame(3).state().C_SIM, 2);
  EXPECT_EQ(p.model.frame(2).state(), DirectionFrameModel(2).state());
  EXPECT_EQ(p.model.frame(4).state(), DirectionFrameModel(4).state());
}

TEST(DeliveryDirectionsView, ProtocolChoice_ShowsTheFirstRowOfEachProtocol) {
  Page p;
  for (int index = static_cast<int>(kDirectionProtocols.size()) - 1; index >= 0; --index) {
    const DirectionProtocol& proto = kDirectionProtocols[static_cast<size_t>(index)];
    SCOPED_TRACE(std::string(proto.item));
    p.ChooseProtocol(1, index);
    EXPECT_EQ(p.model.frame(1).state().C_Proto, index);
    const struct {
      const char* label;
      const char* field;
      bool shown;
    } rows[] = {{"L_Tel", "E_Tel", proto.tel}, {"L_SIM", "C_SIM", proto.sim},
                {"L_Try", "E_Try", proto.tries}, {"L_Port", "E_Port", proto.port}};
    for (const auto& row : rows) {
      EXPECT_EQ(p.Shown(1, row.field), row.shown) << row.field;
      EXPECT_EQ(p.Shown(1, row.label), row.shown) << row.label;
    }
    auto* tel_label = p.Get<QLabel>(1, "L_Tel");
    if (!proto.address_label.empty()) EXPECT_EQ(tel_label->text().toStdString(), proto.address_label);
    EXPECT_EQ(p.Get<QLineEdit>(1, "E_Tel")->accessibleName(), tel_label->text());
    EXPECT_TRUE(p.Shown(1, "C_Proto"));
    EXPECT_TRUE(p.Shown(1, "L_More"));
  }
}

TEST(DeliveryDirectionsView, LoadedModel_ShowsWhole_AndLeavingTriesEmptyGivesOne) {
  Page p;
  DirectionFrameModel& f = p.model.frame(5);
  f.C_ProtoChange(4);
  f.SetSim(1);
  f.SetText(Edit::E_Tel, "receiver.example.net");
  f.SetText(Edit::E_Port, "1234567");  // longer than the typing limit: shown whole
  f.SetText(Edit::E_Try, "0");
  f.CB_LocalPeriodClick(true);
  f.SetText(Edit::ME_LocalPeriod, "01:30");
  p.view.ShowModel();

  EXPECT_EQ(p.Get<QComboBox>(5, "C_Proto")->currentText(), "SIA IP");
  EXPECT_EQ(p.Get<QComboBox>(5, "C_SIM")->currentText(), "Sim 1");
  EXPECT_EQ(p.Get<QLineEdit>(5, "E_Tel")->text(), "receiver.example.net");
  EXPECT_EQ(p.Get<QLineEdit>(5, "E_Port")->text(), "1234567");
  EXPECT_EQ(p.Get<QLabel>(5, "L_Tel")->text(), "Адрес");
  EXPECT_TRUE(p.Get<QCheckBox>(5, "CB_LocalPeriod")->isChecked());
  EXPECT_EQ(p.Get<TimeFieldEdit>(5, "ME_LocalPeriod")->FieldText(), "01:30");

  // "0" stays while the user is in the edit and turns to "1" on leaving it.
  auto* tries = p.Get<QLineEdit>(5, "E_Try");
  tries->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(tries->text(), "0");
  p.Get<QLineEdit>(5, "E_Port")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.state().E_Try, "1");
  EXPECT_EQ(tries->text(), "1");
  EXPECT_EQ(f.state().E_Port, "1234567");  // no leaving rule of its own
}

TEST(DeliveryDirectionsView, MoreLink_UnfoldsTheSecondRowAndMovesTheFramesBelow) {
  Page p;
  p.ChooseProtocol(2, 3);
  auto* more = p.Get<LabelButton>(2, "L_More");
  QTest::mouseClick(more, Qt::LeftButton);
  EXPECT_TRUE(p.model.frame(2).state().Expanded);
  EXPECT_EQ(more->text(), "Скрыть");
  EXPECT_TRUE(p.Shown(2, "CB_LocalPeriod"));
  EXPECT_TRUE(p.Shown(2, "CB_UseCrypto"));
  EXPECT_FALSE(p.Shown(2, "ME_LocalPeriod"));
  QTest::mouseClick(p.Get<QCheckBox>(2, "CB_LocalPeriod"), Qt::LeftButton);
  EXPECT_TRUE(p.model.frame(2).state().CB_LocalPeriod);
  EXPECT_TRUE(p.Shown(2, "ME_LocalPeriod"));
  auto* time = p.Get<TimeFieldEdit>(2, "ME_LocalPeriod");
  time->setFocus(Qt::TabFocusReason);
  time->home(false);
  QTest::keyClicks(time, "0215");
  EXPECT_EQ(p.model.frame(2).state().ME_LocalPeriod, "02:15");

  // Frame 1 stays, frames 3 to 6 go down by the second row.
  const int row = kDirectionExtraRowHeight;
  for (int n = 1; n <= kDirectionCount; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(p.Frame(n)->y(), (n - 1) * kDirectionFrameStep + (n > 2 ? row : 0));
  }
  EXPECT_EQ(p.Frame(2)->height(), kDirectionFrameHeight + row);
  EXPECT_EQ(p.Get<QGroupBox>(2, "GroupBox1")->height(), kDirectionGroupBoxHeight + row);

  // Space on the focused link folds the row again; the layout is back.
  more->setFocus(Qt::TabFocusReason);
  QTest::keyClick(more, Qt::Key_Space);
  EXPECT_EQ(more->text(), "Ещё...");
  EXPECT_FALSE(p.Shown(2, "CB_LocalPeriod"));
  EXPECT_TRUE(p.model.frame(2).state().CB_LocalPeriod);  // folding keeps the tick
  for (int n = 1; n <= kDirectionCount; ++n) EXPECT_EQ(p.Frame(n)->y(), (n - 1) * kDirectionFrameStep) << n;
}

TEST(DeliveryDirectionsView, EveryFrameUnfolded_ScrollRangeReachesTheLowestFrame) {
  Page p;
  auto* scroll = p.view.findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  for (int n = 1; n <= kDirectionCount; ++n) {
    auto* more = p.Get<LabelButton>(n, "L_More");
    more->setFocus(Qt::TabFocusReason);
    QTest::keyClick(more, Qt::Key_Return);
  }
  const DirectionsLayout layout = p.model.Layout();
  EXPECT_EQ(scroll->widget()->height(), layout.content_height);
  EXPECT_EQ(scroll->verticalScrollBar()->maximum() + scroll->viewport()->height(), layout.content_height);
  EXPECT_EQ(p.Frame(6)->geometry().bottom() + 1, layout.content_height);
  // The lowest frame's unfolded row was brought into view.
  EXPECT_EQ(scroll->verticalScrollBar()->value(), scroll->verticalScrollBar()->maximum());
  // Frames stay clear of the scroll bar.
  EXPECT_LE(p.Frame(1)->width(), scroll->viewport()->width());
}

TEST(DeliveryDirectionsView, EveryField_NamedByItsLabel_InItsDirectionGroup) {
  Page p;
  const struct {
    const char* label;
    const char* field;
    bool hint;
  } pairs[] = {{"L_Proto", "C_Proto", false}, {"L_Tel", "E_Tel", true}, {"L_SIM", "C_SIM", false},
               {"L_Try", "E_Try", true},      {"L_Port", "E_Port", true}};
  for (int n = 1; n <= kDirectionCount; ++n) {
    SCOPED_TRACE(n);
    p.ChooseProtocol(n, 3);
    auto* group = p.Get<QGroupBox>(n, "GroupBox1");
    EXPECT_EQ(group->title(), QStringLiteral("Направление %1").arg(n));
    for (const auto& pair : pairs) {
      SCOPED_TRACE(pair.field);
      auto* label = p.Get<QLabel>(n, pair.label);
      auto* field = p.Get<QWidget>(n, pair.field);
      EXPECT_FALSE(label->text().isEmpty());
      EXPECT_EQ(field->accessibleName(), label->text());
      EXPECT_EQ(label->buddy(), field);
      EXPECT_EQ(field->parentWidget(), group);
      if (pair.hint) {
        EXPECT_FALSE(field->toolTip().isEmpty());
        EXPECT_EQ(label->toolTip(), field->toolTip());
      }
    }
    EXPECT_EQ(p.Get<QWidget>(n, "ME_LocalPeriod")->accessibleName(), "Индивидуальный период тестов");
    EXPECT_EQ(p.Get<QWidget>(n, "L_More")->focusPolicy(), Qt::TabFocus);
  }
}

}  // namespace
}  // namespace tamlo
