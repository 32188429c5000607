#include "device/journal/event_code_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "config/cp1251.h"
#include "config/system_file_system.h"
#include "support/temp_dir.h"
#include "tamlo_version.h"

namespace tamlo::journal {
namespace {

using Fields = std::vector<std::string>;

TEST(EventCodeFields, SeparatorsQuotesAndTheLastField) {
  struct Case {
    const char* line;
    Fields fields;
  };
  const Case cases[] = {
      {"130;a;b", {"130", "a", "b"}},
      {"130;a;", {"130", "a"}},              // nothing after the last ';': no field 3
      {"130;;x", {"130", "", "x"}},          // adjacent separators: empty field
      {"130;\"a;b\";c", {"130", "a;b", "c"}},  // quoted ';' stays, quotes go
      {"130;a\"b;c\"d", {"130", "ab;cd"}},   // quoting switches mid-field
      {"130;a;\"\"", {"130", "a", ""}},      // explicit empty field 3
      {"130;a\\;b", {"130", "a\\", "b"}},    // backslash escapes nothing
      {"130;\"open", {"130", "open"}},       // unterminated quote runs to the end
      {"130", {"130"}},
      {";", {""}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitEventCodeFields(c.line), c.fields);
  }
}

TEST(EventCodeLines, AnyLineEndIsStrippedAndInnerBlankLinesStay) {
  EXPECT_EQ(SplitEventCodeLines("a\r\nb\nc\rd"), (EventCodeList{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitEventCodeLines("a\r\n\r\nb\r\n"), (EventCodeList{"a", "", "b"}));
  EXPECT_EQ(SplitEventCodeLines(""), EventCodeList{});
}

TEST(EventCodeRows, PickerRowsFollowTheFileAndSkipNonEntries) {
  const EventCodeList list = {
      Utf8ToCp1251("Код;Описание"),              // header: not a code
      Utf8ToCp1251("130;Тревога;Восстановление"),
      Utf8ToCp1251("130;Тревога;"),               // no field 3: nothing appended
      "130;;x",                                   // empty description
      "131;   ",                                  // blank description
      "0130;x", "13;x", "A30;x", " 130;x", "",    // not three digits
      Utf8ToCp1251("132;\"Вход; сработка\""),     // quoted ';'
      "133; padded ",                             // description kept untrimmed
      "134",                                      // no field 2
  };
  const std::vector<EventCodeRow> rows = EventCodeRows(list);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].code, "130");
  EXPECT_EQ(rows[0].value, "Тревога ; Восстановление");
  EXPECT_EQ(rows[1].code, "130");
  EXPECT_EQ(rows[1].value, "Тревога");
  EXPECT_EQ(rows[2].code, "132");
  EXPECT_EQ(rows[2].value, "Вход; сработка");
  EXPECT_EQ(rows[3].value, " padded ");
}

TEST(EventCodeListLoad, FindsTheFileWhateverItsLetterCase) {
  testing::TempDir dir;
  EXPECT_TRUE(LoadEventCodeList(SystemFileSystem(), dir.path()).empty());  // missing: empty, no error
  EXPECT_TRUE(LoadEventCodeList(SystemFileSystem(), dir / "no-such-folder").empty());

  testing::WriteFileBytes(dir / "Ademco.TXT", "130;x\r\n131;y\r\n");
  EXPECT_EQ(LoadEventCodeList(SystemFileSystem(), dir.path()), (EventCodeList{"130;x", "131;y"}));

  testing::WriteFileBytes(dir / "ademco.txt", "140;z");  // the exact name wins
  EXPECT_EQ(LoadEventCodeList(SystemFileSystem(), dir.path()), EventCodeList{"140;z"});
}

TEST(EventCodeListLoad, ProgramList_BesideTheProgramFirst_ThenTheInstalledDataFolder) {
  testing::TempDir dir;
  const std::filesystem::path program = dir.path() / u8"Тамло" / "bin";  // UTF-8 on Windows too
  const std::filesystem::path data = program / kDataFolderFromProgram;
  std::filesystem::create_directories(program);  // Windows resolves "bin/.." without making bin
  std::filesystem::create_directories(data);
  EXPECT_TRUE(LoadProgramEventCodeList(SystemFileSystem(), program).empty());

  testing::WriteFileBytes(data / "ademco.txt", "150;installed\r\n");
  EXPECT_EQ(LoadProgramEventCodeList(SystemFileSystem(), program), EventCodeList{"150;installed"});

  testing::WriteFileBytes(program / "ademco.txt", "160;beside\r\n");
  EXPECT_EQ(LoadProgramEventCodeList(SystemFileSystem(), program), EventCodeList{"160;beside"});
}

TEST(EventCodeListLoad, FolderNamedLikeTheFile_GivesEmptyList) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir / "ADEMCO.TXT");
  EXPECT_TRUE(LoadEventCodeList(SystemFileSystem(), dir.path()).empty());
}

// The list the build puts beside the executables: every line an entry with a
// restoral text, each code once, the Contact ID codes installers meet most.
TEST(ShippedEventCodeList, EveryLineIsAnEntry) {
  const char* bin = std::getenv("TAMLO_BIN_DIR");
  ASSERT_NE(bin, nullptr);
  const EventCodeList list = LoadEventCodeList(SystemFileSystem(), bin);
  ASSERT_GT(list.size(), 200u);
  EXPECT_EQ(EventCodeRows(list).size(), list.size());

  std::set<std::string> codes;
  for (const std::string& line : list) {
    SCOPED_TRACE(Cp1251ToUtf8(line));
    const std::vector<std::string> fields = SplitEventCodeFields(line);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_TRUE(codes.insert(fields[0]).second) << "code listed twice";
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(line)), line);  // nothing outside 1251
  }
  for (const char* code : {"110", "120", "121", "130", "137", "301", "302", "401", "570", "602"})
    EXPECT_TRUE(codes.count(code)) << code;

  const std::string raw = testing::ReadFileBytes(std::filesystem::path(bin) / "ademco.txt");
  EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), static_cast<long>(list.size()));
  EXPECT_EQ(raw.find("\n\n"), std::string::npos);
  EXPECT_EQ(std::count(raw.begin(), raw.end(), '\r'), static_cast<long>(list.size()));  // CR LF only
}

}  // namespace
}  // namespace tamlo::journal
