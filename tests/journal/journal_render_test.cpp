#include "device/journal/journal_render.h"

#include <gtest/gtest.h>

#include "config/cp1251.h"
#include "journal_test_support.h"
#include "support/temp_dir.h"

namespace tamlo::journal {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::Entry;
using testing::RecordedErrors;
using testing::RecordFields;
using testing::RecordPayload;

const std::string kDataDir = TAMLO_TEST_DATA;

std::string Golden(const std::string& name) { return tamlo::testing::ReadFileBytes(kDataDir + "/" + name); }

Bytes GoldenBytes(const std::string& name) {
  const std::string s = Golden(name);
  return Bytes(s.begin(), s.end());
}

struct Rendered {
  int result = 0;
  std::string text;  // Windows-1251, as written
  std::vector<std::string> errors;
};

Rendered Render(const Bytes& journal, bool html = false, const EventCodeList& codes = {}) {
  StringJournalOutput out;
  RecordedErrors errors;
  Rendered r;
  r.result = RenderJournal(journal, out, html, codes, errors);
  r.text = out.text();
  r.errors = errors.messages;
  return r;
}

// The table rows after the separator row (and before the HTML closing), in
// UTF-8 without their CR LF.
std::vector<std::string> Rows(const Rendered& r) {
  std::vector<std::string> rows;
  const std::string utf8 = Cp1251ToUtf8(r.text);
  bool table = false;
  for (size_t at = 0; at < utf8.size();) {
    const size_t end = utf8.find("\r\n", at);
    const std::string line = utf8.substr(at, end - at);
    at = end == std::string::npos ? utf8.size() : end + 2;
    if (line == "</pre>") break;
    if (table) rows.push_back(line);
    if (line.starts_with("-----------+")) table = true;
  }
  return rows;
}

// The one row of a single record entry; "" when nothing was written.
std::string RenderRow(const RecordFields& fields, const EventCodeList& codes = {}, std::uint8_t kind = 1) {
  const std::vector<std::string> rows = Rows(Render(Entry(kind, RecordPayload(fields)), false, codes));
  return rows.empty() ? "" : rows.front();
}

// The data column of a single record: every column before it has its fixed
// width when no text overflows (100 characters, one byte each in 1251).
std::string DataColumn(const RecordFields& fields, const EventCodeList& codes = {}) {
  const std::string row = Utf8ToCp1251(RenderRow(fields, codes));
  return row.size() < 100 ? "<no row>" : Cp1251ToUtf8(row.substr(100));
}

EventCodeList Codes(std::initializer_list<const char*> utf8_lines) {
  EventCodeList list;
  for (const char* line : utf8_lines) list.push_back(Utf8ToCp1251(line));
  return list;
}

TEST(RenderJournal, ExampleRows_MatchByteForByte) {
  const Bytes journal = GoldenBytes("examples.bin");
  EXPECT_EQ(Render(journal).text, Golden("examples.txt"));
  EXPECT_EQ(Render(journal, false, Codes({"120;Пожар", "130;Тревога;Восстановление"})).text,
            Golden("examples_described.txt"));
  EXPECT_EQ(Render(journal, true).text, Golden("examples.htm"));
  EXPECT_EQ(Render(journal).result, 1);
}

TEST(RenderJournal, EmptyJournal_GivesHeaderRowsOnly) {
  const Rendered text = Render({});
  EXPECT_EQ(text.result, 1);
  EXPECT_TRUE(text.errors.empty());
  const std::string golden = Golden("examples.txt");
  const std::string header = golden.substr(0, golden.find("\r\n", golden.find("\r\n") + 2) + 2);
  EXPECT_EQ(text.text, header);

  const Rendered html = Render({}, true);
  EXPECT_EQ(html.text, "<html>\r\n<head>\r\n <meta charset=\"windows-1251\">\r\n</head>\r\n<body>\r\n<pre>\r\n" +
                           header + "</pre>\r\n</body>\r\n</html>\r\n");
}

TEST(RenderJournal, TruncatedJournal_StopsWithOneMessageAndKeepsEarlierRows) {
  const std::string header_message = "Недостаточно данных для заголовка записи журнала. Вероятно, журнал поврежден.";
  const std::string payload_message = "Недостаточно данных в журнале. Вероятно, журнал поврежден";
  const Bytes good = Entry(3, {});
  struct Case {
    const char* name;
    Bytes tail;
    std::string message;
  };
  const Case cases[] = {
      {"one byte left", {0x01}, header_message},
      {"two bytes left", {0x01, 0x05}, header_message},
      {"three bytes, length not 0", {0x01, 0x01, 0x00}, payload_message},
      {"payload one byte short", {0x00, 0x0D, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, payload_message},
      {"length high byte", {0x01, 0x00, 0x01, 0xAA}, payload_message},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool html : {false, true}) {
      const Rendered r = Render(Concat({good, c.tail}), html);
      EXPECT_EQ(r.result, -1);
      EXPECT_EQ(r.errors, std::vector<std::string>{c.message});
      EXPECT_EQ(Rows(r).front(), "Неверная запись (длина 0)");
      if (html) {
        EXPECT_TRUE(r.text.ends_with("</pre>\r\n</body>\r\n</html>\r\n"));
      }
    }
  }
}

TEST(RenderJournal, NonRecordKinds_GiveOneLineEach) {
  const Bytes journal = Concat({Entry(3, {}), Entry(3, Bytes(20, 0xAA)), Entry(2, Bytes(5, 0)), Entry(4, {}),
                                Entry(255, Bytes(300, 0x11))});
  const Rendered r = Render(journal);
  EXPECT_EQ(r.result, 1);
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(Rows(r), (std::vector<std::string>{"Неверная запись (длина 0)", "Неверная запись (длина 20)",
                                                 "Неизвестная запись (тип 2, длина 5)",
                                                 "Неизвестная запись (тип 4, длина 0)",
                                                 "Неизвестная запись (тип 255, длина 300)"}));
}

TEST(RenderJournal, BadRecordSizes_ReportAndSkipOnlyThatRecord) {
  Bytes overlong = RecordPayload({.data = {1, 2, 3}});
  overlong[11] = 4;  // claims one byte more than the payload holds
  const Bytes journal = Concat({Entry(0, Bytes(11, 0)), Entry(1, {}), Entry(1, overlong),
                                Entry(1, RecordPayload({.format = 0, .data = {0}}))});
  const Rendered r = Render(journal);
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.errors, (std::vector<std::string>{"Data size (11) too small for vaild record",
                                                 "Data size (0) too small for vaild record",
                                                 "Invalid data size in record header"}));
  ASSERT_EQ(Rows(r).size(), 1u);
  EXPECT_TRUE(Rows(r)[0].ends_with("| Включение прибора"));

  // Exactly 12 bytes with L = 0 is a record.
  EXPECT_EQ(Render(Entry(1, RecordPayload({.format = 7}))).errors.size(), 0u);
}

TEST(RenderJournal, ColumnsOfUnusualValues_KeepTheirWidths) {
  struct Case {
    RecordFields fields;
    std::uint8_t kind;
    std::string row;
  };
  const Case cases[] = {
      {{.received = 0, .sent = 0xFFFFFFFF, .direction = 0x9F, .source = 4, .format = 2},
       0,
       "В очереди  | 01.01.12 00:00:00 | Тип 4        |         -         | 16 (Kam-SMS)     |  Автотест  | "},
      {{.received = 0xFFFFFFFF, .sent = 0, .direction = 0xA0, .source = 17, .format = 9, .data = {0xAB}},
       1,
       "Обработано |         -         | Ретрансляция | 01.01.12 00:00:00 | 1 (тип 10)       | Тип 9      |  AB"},
      {{.direction = 0xFE, .source = 3, .format = 200},
       1,
       "Обработано | 01.01.12 00:00:00 |    Вход 4    | 01.01.12 00:00:00 | Удалено          | Тип 200    | "},
      {{.direction = 0x4F, .source = 255, .format = 2},
       1,
       "Обработано | 01.01.12 00:00:00 | Тип 255      | 01.01.12 00:00:00 | 16 (Ademco TЛ)   |  Автотест  | "},
      {{.direction = 0x5B, .source = 16, .format = 2},
       1,
       "Обработано | 01.01.12 00:00:00 |    Прибор    | 01.01.12 00:00:00 | 12 (Контакт-CSD) |  Автотест  | "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(RenderRow(c.fields, {}, c.kind), c.row);
  }
  // A text longer than its column is not cut.
  EXPECT_EQ(DirectionText(0x81), "2 (Kam-M (CSD))");
  EXPECT_EQ(Cp1251ToUtf8(DirectionText(0xF0)), "1 (тип 15)");
}

TEST(ContactId, DescriptionByQualifierFromTheFirstMatchingLine) {
  const EventCodeList codes = Codes({
      "Код;Описание;Восстановление",
      "130;Тревога;Восстановление",
      "130;Второе;Не используется",
      "131;\"Периметр; внешний\"",
      "13a;Строчные буквы",
      "13A;Прописные",
      "1B0;",
      "1B0;Не первая",
      "3  ;Пробелы",
  });
  StringJournalOutput out;
  RecordedErrors errors;
  const JournalRenderer renderer(codes, out, errors, false);
  auto lookup = [&](unsigned q, unsigned code) {
    auto text = renderer.LookupContactIdEvent(q, code);
    return text ? Cp1251ToUtf8(*text) : std::string("<none>");
  };
  EXPECT_EQ(lookup(1, 0x130), "Тревога");
  EXPECT_EQ(lookup(3, 0x130), "Восстановление");
  EXPECT_EQ(lookup(3, 0x131), "Периметр; внешний");  // no field 3: field 2
  EXPECT_EQ(lookup(6, 0x130), "<none>");
  EXPECT_EQ(lookup(0, 0x130), "<none>");
  EXPECT_EQ(lookup(1, 0x13A), "Прописные");
  EXPECT_EQ(lookup(1, 0x1B0), "<none>");  // first line has no field 2
  EXPECT_EQ(lookup(1, 0x300), "<none>");
  EXPECT_EQ(lookup(1, 0x999), "<none>");

  // In the data column, after " | ".
  const Bytes restore = {0x12, 0x34, 0x31, 0x30, 0x01, 0x00, 0x50};
  EXPECT_EQ(DataColumn({.data = restore}, codes), "1234 3 130 01 005 | Восстановление");
  EXPECT_EQ(DataColumn({.data = {0x12, 0x34, 0x61, 0x30, 0x01, 0x00, 0x50}}, codes), "1234 6 130 01 005");
  EXPECT_EQ(DataColumn({.data = {0xAB, 0xCD, 0x1F, 0xFF, 0xEE, 0xDD, 0xCC}}), "ABCD 1 FFF EE DDC");
}

TEST(ContactId, ShortDataAndTrailingBytes) {
  EXPECT_EQ(DataColumn({.data = {1, 2, 3, 4, 5, 6}}), "Неверная длина данных (6)");
  EXPECT_EQ(DataColumn({.data = {}}), "Неверная длина данных (0)");
  // Bytes past 7 and past L are not shown for Contact ID.
  EXPECT_EQ(DataColumn({.data = {0x12, 0x34, 0x11, 0x30, 0x01, 0x00, 0x5F, 0x99}, .trailing = {0x77}}),
            "1234 1 130 01 005");
}

TEST(InternalEvents, EveryRowAndItsCorners) {
  struct Case {
    Bytes data;
    Bytes trailing;
    std::string text;
  };
  const Case cases[] = {
      {{0}, {}, "Включение прибора"},
      {{0, 0}, {}, " 00 00"},  // wrong L: hex dump
      {{1, 0x48, 0xAA, 0xF8, 0x05}, {}, "Установка времени: 05.03.15 12:30:00"},
      {{1, 0xFF, 0xFF, 0xFF, 0xFF}, {}, "Установка времени:         -        "},
      {{1}, {}, "Сбой при установке времени"},
      {{1, 2, 3}, {0xEE}, " 01 02 03 EE"},  // no row for L = 3; the dump runs past L
      {{2}, {}, "Записана новая конфигурация"},
      {{3}, {}, "Очищена очередь извещений"},
      {{4, 0x81}, {}, "Подключение к прибору (удаленно)"},
      {{4, 0x00, 0x55}, {}, "Отключение от прибора (локально)"},
      {{4}, {}, " 04"},
      {{5, 0x01, 0x12}, {}, "Выбрано направление 3 (Argus-CT) на SIM2"},
      {{5, 0xFF, 0x30}, {}, "Выбрано направление 1 (Sia IP)"},
      {{5, 0xFF, 0xFE}, {}, "Выбрано направление 15 (тип 15)"},
      {{6, 0x77, 0x00, 0x00, 0x00}, {}, "Отказ всех НД, пауза 1 мин."},
      {{6, 0xFF, 0xFF, 0xFF, 0xFF}, {}, "Отказ всех НД, пауза 71582788 мин."},
      {{7, 0x81, '+', '7', '9', '0', '1'}, {}, "Звонок с тел.управления (данные) \"+7901\""},
      {{7, 0x00}, {}, "Звонок с неизв.номера (голос) \"\""},
      {{7, 0x00, '1', '2', 0, '3'}, {}, "Звонок с неизв.номера (голос) \"12\""},
      {{7, 0x00, '5'}, {'6', '7'}, "Звонок с неизв.номера (голос) \"5\""},  // stops at L
      {{8, 0x80}, {}, "Записан ключ шифрования 1"},
      {{8, 0x7F}, {}, "Удален ключ шифрования 128"},
      {{16, 0}, {}, "Отказ SIM1"},
      {{17, 1}, {}, "Переход на SIM2"},
      {{18}, {}, "Отказ обеих SIM, останов GSM"},
      {{9}, {}, " 09"},
      {{}, {0x42}, " 42"},  // L = 0: nothing to choose a row by
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DataColumn({.format = 0, .data = c.data, .trailing = c.trailing}), c.text);
  }
}

TEST(RenderJournal, HtmlEscapesDeviceDataButTextKeepsIt) {
  const Bytes journal = Entry(1, RecordPayload({.format = 0, .data = {7, 0, '<', 'b', '>', '&'}}));
  const Bytes alarm = Entry(1, RecordPayload({.data = {0x12, 0x34, 0x11, 0x30, 0x01, 0x00, 0x50}}));
  const EventCodeList codes = Codes({"130;<script>"});

  const Rendered text = Render(Concat({journal, alarm}), false, codes);
  EXPECT_TRUE(Rows(text)[0].ends_with("\"<b>&\""));
  EXPECT_TRUE(Rows(text)[1].ends_with(" | <script>"));

  const Rendered html = Render(Concat({journal, alarm}), true, codes);
  EXPECT_TRUE(Rows(html)[0].ends_with("\"&lt;b&gt;&amp;\""));
  EXPECT_TRUE(Rows(html)[1].ends_with(" | &lt;script&gt;"));
  EXPECT_EQ(html.text.find("<b>"), std::string::npos);
  EXPECT_TRUE(html.text.starts_with("<html>\r\n<head>\r\n"));
}

TEST(RenderJournal, LineFeedFromTheDevice_BecomesCrLfLikeEveryLineEnd) {
  const Rendered r = Render(Entry(1, RecordPayload({.format = 0, .data = {7, 0, 'a', '\n', 'b'}})));
  EXPECT_TRUE(r.text.ends_with("\"a\r\nb\"\r\n"));
  EXPECT_EQ(r.text.find("\n\n"), std::string::npos);
}

}  // namespace
}  // namespace tamlo::journal
