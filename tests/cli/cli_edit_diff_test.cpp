// tamlocfg-cli edit and diff as an installer's scripts run them: settings
// listed by `settings`, changed in a text file, applied with `edit --from`,
// and configurations compared with `diff`.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/config_tree.h"
#include "support/temp_dir.h"
#include "tests/cli/cli_run.h"
#include "tests/pages/every_parameter.h"

namespace tamlo {
namespace {

using testing::CliRun;
using testing::EveryParameterFile;
using testing::ImageBytes;
using testing::ReadFileBytes;
using testing::RunCli;
using testing::TempDir;
using testing::WriteFileBytes;

std::string Quoted(const TempDir& dir, const std::string& name) { return "'" + (dir / name).string() + "'"; }

// settings -> edit --from rebuilds a file with every setting changed, byte
// for byte, from defaults; and a file's listing applied onto the file
// itself changes nothing.
TEST(CliEdit, SettingsListingRoundTripsByteForByte) {
  TempDir dir;
  const std::vector<uint8_t> every = EveryParameterFile();
  WriteFileBytes(dir / "every.tamlo", std::string(every.begin(), every.end()));
  // Input 3's event code "12345" is longer than its edit lets anyone type,
  // so the site for the round trip from defaults gets one that fits.
  CliRun r = RunCli(dir, "edit " + Quoted(dir, "every.tamlo") + " " + Quoted(dir, "site.tamlo") +
                             " --set inputs.3.E_Event=F45");
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli(dir, "settings " + Quoted(dir, "site.tamlo"));
  ASSERT_EQ(r.status, 0);
  WriteFileBytes(dir / "site.txt", r.out);

  r = RunCli(dir, "edit - " + Quoted(dir, "out.tamlo") + " --from " + Quoted(dir, "site.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFileBytes(dir / "out.tamlo"), ReadFileBytes(dir / "site.tamlo"));

  // The same through a pipe, "--from -" reading standard input to its end.
  r = RunCli(dir, "edit - " + Quoted(dir, "piped.tamlo") + " --from -",
             testing::BinDir() + "/tamlocfg-cli settings " + Quoted(dir, "site.tamlo") + " |");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileBytes(dir / "piped.tamlo"), ReadFileBytes(dir / "site.tamlo"));

  r = RunCli(dir, "settings " + Quoted(dir, "every.tamlo"));
  WriteFileBytes(dir / "every.txt", r.out);
  r = RunCli(dir, "edit " + Quoted(dir, "every.tamlo") + " " + Quoted(dir, "same.tamlo") + " --from " +
                      Quoted(dir, "every.txt"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileBytes(dir / "same.tamlo"), ReadFileBytes(dir / "every.tamlo"));
}

// Hand-made files: a spreadsheet's byte order mark and CR LF, comments,
// blank lines, "name=value" without blanks, escapes as `settings` writes them.
TEST(CliEdit, TextFileLinesAsEditorsAndSpreadsheetsWriteThem) {
  TempDir dir;
  WriteFileBytes(dir / "site.txt",
                 "\xEF\xBB\xBF# site 17\r\n"
                 "general.E_Account = 0017\r\n"
                 "\r\n"
                 "remote.LIST_Phones.1 = 812 | дом\\tсторож\r\n"
                 "general.E_Login_Apn1 = x\\x41\r\n"  // an escape ending the value
                 "directions.1.C_Proto=Kam-Net\r\n"
                 "directions.1.E_Tel = 10.0.0.17");
  // A --set splits at its first "=": the value may hold more.
  const CliRun r = RunCli(dir, "edit - " + Quoted(dir, "out.tamlo") + " --from " + Quoted(dir, "site.txt") +
                                   " --set general.E_Apn1=a=b");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(RunCli(dir, "settings " + Quoted(dir, "out.tamlo")).out,
            "general.E_Account = 0017\n"
            "general.E_Apn1 = a=b\n"
            "general.E_Login_Apn1 = xA\n"
            "directions.1.C_Proto = Kam-Net\n"
            "directions.1.E_Tel = 10.0.0.17\n"
            "remote.LIST_Phones.1 = 812 | дом\\tсторож\n");
}

// Every refused line is named with its file and line number (or its --set),
// and nothing is written: OUT keeps what it held.
TEST(CliEdit, RefusedLinesAreNamedAndNothingIsWritten) {
  TempDir dir;
  WriteFileBytes(dir / "site.txt",
                 "general.E_Account = 0017\n"
                 "general.E_Acount = 0017\n"            // line 2: misspelt name
                 "directions.2.C_Proto = Kam-Net LAN\n"  // line 3: no such item
                 "general.E_Pin1 = 12ab\n"               // line 4: letters in a digits-only edit
                 "just a remark\n"                       // line 5: no setting
                 "general.E_Apn1 = a\\qb\n");            // line 6: no such escape
  WriteFileBytes(dir / "out.tamlo", "previous");
  const CliRun r = RunCli(dir, "edit - " + Quoted(dir, "out.tamlo") + " --from " + Quoted(dir, "site.txt") +
                                   " --set lan.ip=300.1.1.1");
  EXPECT_EQ(r.status, 1);
  const std::string file = (dir / "site.txt").string();
  for (const std::string& part :
       {file + ":2: unknown setting general.E_Acount", file + ":3: directions.2.C_Proto: 'Kam-Net LAN'",
        file + ":4: general.E_Pin1: 'a' cannot be typed", file + ":5: ", file + ":6: ",
        std::string("--set lan.ip=300.1.1.1: '300.1.1.1' is not an address")}) {
    EXPECT_NE(r.err.find(part), std::string::npos) << part << "\n" << r.err;
  }
  EXPECT_EQ(r.err.find(":1:"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFileBytes(dir / "out.tamlo"), "previous");
}

TEST(CliEdit, StoreWarningsAndUsage) {
  TempDir dir;
  // The store's own correction: no account, so replacing it is switched off.
  CliRun r = RunCli(dir, "edit - " + Quoted(dir, "out.tamlo") + " --set general.CB_ReplaceAcc=on");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("Опция будет выключена."), std::string::npos) << r.err;
  EXPECT_EQ(ReadFileBytes(dir / "out.tamlo"), ImageBytes(ConfigTree()));

  struct Case {
    std::string args;
    int status;
  };
  const Case cases[] = {
      {"edit - ", 2},                                              // OUT missing
      {"edit - " + Quoted(dir, "x.tamlo") + " --set general.E_Account", 2},  // no "="
      {"edit - " + Quoted(dir, "x.tamlo") + " --from", 2},
      {"edit - " + Quoted(dir, "x.tamlo") + " --from " + Quoted(dir, "none.txt"), 1},
      {"edit " + Quoted(dir, "none.tamlo") + " " + Quoted(dir, "x.tamlo"), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(RunCli(dir, c.args).status, c.status);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "x.tamlo"));
  // Unrecognised data in IN: OUT is written all the same, with exit 2.
  WriteFileBytes(dir / "unknown.tamlo", ImageBytes(ConfigTree(), {0xC4, 0x25, 0x02, 0xAB, 0x01}));
  EXPECT_EQ(RunCli(dir, "edit " + Quoted(dir, "unknown.tamlo") + " " + Quoted(dir, "known.tamlo") +
                            " --set general.E_Account=0012")
                .status,
            2);
  EXPECT_EQ(RunCli(dir, "settings " + Quoted(dir, "known.tamlo")).out, "general.E_Account = 0012\n");
}

TEST(CliDiff, DifferencesOnePerLineAndExitStatus) {
  TempDir dir;
  WriteFileBytes(dir / "a.tamlo", ImageBytes(ConfigTree()));
  ASSERT_EQ(RunCli(dir, "edit - " + Quoted(dir, "b.tamlo") + " --set general.E_Account=0013" +
                            " --set 'remote.LIST_Phones.1=333 | сторож'")
                .status,
            0);
  ConfigTree account;
  account.PutInt(257, 0x13);
  WriteFileBytes(dir / "c.tamlo", ImageBytes(account, {0xC4, 0x25, 0x02, 0xAB, 0x01}));  // id 300, bytes AB 01

  CliRun r = RunCli(dir, "diff " + Quoted(dir, "a.tamlo") + " " + Quoted(dir, "b.tamlo"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "general.E_Account:  -> 0013\nremote.LIST_Phones.1: (none) -> 333 | сторож\n");
  r = RunCli(dir, "diff " + Quoted(dir, "b.tamlo") + " " + Quoted(dir, "c.tamlo"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "remote.LIST_Phones.1: 333 | сторож -> (none)\ndata.300.1: (none) -> bytes AB 01\n");
  r = RunCli(dir, "diff " + Quoted(dir, "b.tamlo") + " " + Quoted(dir, "b.tamlo"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  // A " | " inside a phone or a note stays in its cell: these two rows differ.
  const char* const rows[2][2] = {{"+7900 | 111", "дежурный"}, {"+7900", "111 | дежурный"}};
  for (size_t i = 0; i < 2; ++i) {
    ConfigTree group, tree;
    group.PutString(3, rows[i][0]);
    group.PutString(4, rows[i][1]);
    tree.PutGroup(3, std::move(group));
    WriteFileBytes(dir / ("row" + std::to_string(i) + ".tamlo"), ImageBytes(tree));
  }
  r = RunCli(dir, "diff " + Quoted(dir, "row0.tamlo") + " " + Quoted(dir, "row1.tamlo"));
  EXPECT_EQ(r.out, "remote.LIST_Phones.1: +7900 || 111 | дежурный -> +7900 | 111 || дежурный\n");

  // Errors name the file at fault.
  ConfigTree empty;
  WriteFileBytes(dir / "bad.tamlo", ImageBytes(empty, {0x35, 0x7F}));
  r = RunCli(dir, "diff " + Quoted(dir, "a.tamlo") + " " + Quoted(dir, "bad.tamlo"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad.tamlo: "), std::string::npos) << r.err;
  r = RunCli(dir, "diff " + Quoted(dir, "none.tamlo") + " " + Quoted(dir, "a.tamlo"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("none.tamlo"), std::string::npos) << r.err;
  EXPECT_EQ(RunCli(dir, "diff " + Quoted(dir, "a.tamlo")).status, 2);
}

// The device side: the demo device's sample site read as config-read reads it.
TEST(CliDiff, DeviceAgainstAFile) {
  TempDir dir;
  ASSERT_EQ(RunCli(dir, "--demo config-read " + Quoted(dir, "site.tamlo")).status, 0);
  CliRun r = RunCli(dir, "--demo diff device " + Quoted(dir, "site.tamlo"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");

  ASSERT_EQ(RunCli(dir, "edit " + Quoted(dir, "site.tamlo") + " " + Quoted(dir, "next.tamlo") +
                            " --set general.E_Account=2B18 --set directions.6.C_Proto=Kam-SMS")
                .status,
            0);
  r = RunCli(dir, "--demo diff " + Quoted(dir, "next.tamlo") + " device");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "general.E_Account: 2B18 -> 2B17\ndirections.6.C_Proto: Kam-SMS -> Нет\n");

  EXPECT_EQ(RunCli(dir, "diff device " + Quoted(dir, "site.tamlo")).status, 2);  // no device chosen
  EXPECT_EQ(RunCli(dir, "--demo diff device device").status, 2);
}

}  // namespace
}  // namespace tamlo
