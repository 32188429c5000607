// The phone book window's rules: which rows can be called, the number and
// bearer chosen, and the rows written back however the window closes.
#include "device/phone_book_model.h"

#include <gtest/gtest.h>

#include "config/system_file_system.h"
#include "config/test_pages.h"
#include "support/temp_dir.h"
#include "tamlo_version.h"

namespace tamlo::device {
namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::TempDir;
using tamlo::testing::WriteFileBytes;

struct Book {
  TempDir dir;
  std::string path = (dir / link::kPhoneBookFileName).string();
  testing::ScriptedDialogs dialogs;
};

TEST(PhoneBookModel, CallableRowsAndTheNumberDialled) {
  Book book;
  WriteFileBytes(book.path, "+7 (1) 2=first\r\nshop=letters only\r\n8 (1) 2=\r\n");
  PhoneBookModel model(book.path, SystemFileSystem(), book.dialogs);
  ASSERT_EQ(model.Rows().size(), 3u);
  EXPECT_TRUE(model.CanCall(0));
  EXPECT_FALSE(model.CanCall(1));
  EXPECT_FALSE(model.CanCall(3));  // past the end

  model.FormShow();
  EXPECT_FALSE(model.Call(1));
  EXPECT_EQ(model.Result(), std::nullopt);
  EXPECT_TRUE(model.Call(0));
  EXPECT_EQ(model.Result(), (DialTarget{"+712", true}));

  // The check box keeps its state; a new showing clears the number.
  model.SetFastConnect(false);
  model.FormShow();
  EXPECT_EQ(model.Result(), std::nullopt);
  EXPECT_TRUE(model.Call(2));
  EXPECT_EQ(model.Result(), (DialTarget{"812", false}));
}

TEST(PhoneBookModel, EditsAreSavedOnCloseWithoutACall) {
  Book book;  // no file yet: one blank row to type into
  PhoneBookModel model(book.path, SystemFileSystem(), book.dialogs);
  ASSERT_EQ(model.Rows().size(), 1u);
  EXPECT_FALSE(model.CanCall(0));
  model.SetPhone(0, "812");
  model.InsertRow(5);  // past the end: appended
  model.SetPhone(1, "8=1=2");
  model.SetComment(1, "склад = ворота");
  model.InsertRow(0);  // stays blank: not written
  model.FormClose();
  EXPECT_TRUE(book.dialogs.messages.empty());
  EXPECT_EQ(model.Rows()[2].phone, "812");
  // "=" would split the phone on the next load; the comment may keep one.
  EXPECT_EQ(ReadFileBytes(book.path), "812=\r\n812=\xF1\xEA\xEB\xE0\xE4 = \xE2\xEE\xF0\xEE\xF2\xE0\r\n");

  PhoneBookModel reloaded(book.path, SystemFileSystem(), book.dialogs);
  EXPECT_EQ(reloaded.Rows(), (std::vector<link::PhoneBookRow>{{"812", ""}, {"812", "склад = ворота"}}));
}

TEST(PhoneBookModel, UnreadBookIsNeverWrittenBack_TheUserIsToldWhy) {
  Book book;
  const std::string large = "812=" + std::string(size_t{1} << 20, 'x') + "\r\n";
  WriteFileBytes(book.path, large);
  PhoneBookModel model(book.path, SystemFileSystem(), book.dialogs);
  model.FormShow();
  ASSERT_EQ(book.dialogs.messages.size(), 1u);
  EXPECT_NE(book.dialogs.messages[0].text.find("больше 1 МБ"), std::string::npos) << book.dialogs.messages[0].text;
  model.SetPhone(0, "555");
  model.FormClose();  // "Отмена" or a call alike
  EXPECT_EQ(ReadFileBytes(book.path), large);
}

TEST(PhoneBookModel, FailedSaveIsShownWithItsText) {
  Book book;
  const std::string path = (book.dir / "missing-folder" / link::kPhoneBookFileName).string();
  PhoneBookModel model(path, SystemFileSystem(), book.dialogs);
  model.SetPhone(0, "812");
  model.FormClose();
  ASSERT_EQ(book.dialogs.messages.size(), 1u);
  EXPECT_NE(book.dialogs.messages[0].text.find(path), std::string::npos);
  EXPECT_EQ(book.dialogs.messages[0].caption, kApplicationTitle);
  EXPECT_EQ(book.dialogs.messages[0].icon, MessageIcon::Error);
}

}  // namespace
}  // namespace tamlo::device
