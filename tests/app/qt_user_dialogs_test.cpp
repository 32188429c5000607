// The Qt side of the dialog seam: file filters in Qt's form, the default
// button of a message box and the caption of a file dialog.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/qt_user_dialogs.h"
#include "app_test_support.h"
#include "config/config_files.h"

namespace tamlo {
namespace {

// Runs `answer` on the next modal dialog once it is open (from inside its
// own event loop), so exec() returns.
void AnswerNextModal(std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(1);
  QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    poll->stop();
    poll->deleteLater();
    answer(modal);
  });
  poll->start();
}

TEST(QtUserDialogsTest, FileFilters_PatternsReplaceTheDescriptionsOwnParentheses) {
  EXPECT_EQ(ToQtFileFilters(kConfigFileFilter), (QStringList{"Файлы конфигурации (*.tamlo)", "Все файлы (*)"}));
  EXPECT_EQ(ToQtFileFilters("Прошивки|*.fmw;*.bin"), QStringList{"Прошивки (*.fmw *.bin)"});
  EXPECT_TRUE(ToQtFileFilters("").isEmpty());
}

TEST(QtUserDialogsTest, Enter_PressesTheDefaultButton_OrTheFirstWhenTheBoxLacksIt) {
  struct Case {
    MessageButtons buttons;
    MessageResult default_button;
    MessageResult answer;
  } cases[] = {
      {MessageButtons::Ok, MessageResult::Ok, MessageResult::Ok},
      {MessageButtons::OkCancel, MessageResult::Ok, MessageResult::Ok},
      {MessageButtons::OkCancel, MessageResult::Cancel, MessageResult::Cancel},
      {MessageButtons::YesNo, MessageResult::Yes, MessageResult::Yes},
      {MessageButtons::YesNo, MessageResult::No, MessageResult::No},
      {MessageButtons::YesNo, MessageResult::Ok, MessageResult::Yes},
  };
  QtUserDialogs dialogs;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.buttons) * 10 + static_cast<int>(c.default_button));
    QString caption;
    AnswerNextModal([&caption](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      caption = box->windowTitle();
      ASSERT_NE(box->defaultButton(), nullptr);
      box->defaultButton()->click();
    });
    EXPECT_EQ(dialogs.ShowMessage("Перезагрузить прибор?", "Вопрос", MessageIcon::Question, c.buttons,
                                  c.default_button),
              c.answer);
    EXPECT_EQ(caption, "Вопрос");
  }
}

TEST(QtUserDialogsTest, FileDialog_ShowsTheRequestedTitle) {
  QtUserDialogs dialogs;
  FileDialogRequest request;
  request.filter = kConfigFileFilter;
  request.title = "Выберите файл прошивки";
  QString title;
  AnswerNextModal([&title](QWidget* modal) {
    title = modal->windowTitle();
    static_cast<QDialog*>(modal)->reject();
  });
  EXPECT_EQ(dialogs.ChooseFile(request), std::nullopt);
  EXPECT_EQ(title, "Выберите файл прошивки");
}

}  // namespace
}  // namespace tamlo
