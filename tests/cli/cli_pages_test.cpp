// tamlocfg-cli resave and settings: the GUI's Open and Save As through the
// settings pages, and the pages' view of a file, without a window.
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "support/temp_dir.h"
#include "tests/cli/cli_run.h"
#include "tests/pages/every_parameter.h"

namespace tamlo {
namespace {

using testing::CliRun;
using testing::EveryParameterFile;
using testing::ImageBytes;
using testing::RunCli;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

TEST(CliResave, EveryParameterComesOutByteIdentical) {
  TempDir dir;
  const std::string in = (dir / "in.tamlo").string(), out = (dir / "out.tamlo").string();
  WriteFileBytes(in, Bytes(EveryParameterFile()));
  const CliRun r = RunCli(dir, "resave '" + in + "' '" + out + "'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadFileBytes(out), Bytes(EveryParameterFile()));
}

// Exit status by load result; 2 and 3 still write what was loaded, a refused
// file leaves OUT as it was.
TEST(CliResave, LoadResultsGiveExitStatusAndMessages) {
  ConfigTree account;
  account.PutInt(257, 0x12);
  const std::string clean = ImageBytes(account);
  const std::string unknown = ImageBytes(account, {0xC4, 0x25, 0x02, 0xAB, 0x01});  // id 300, raw bytes
  const std::string malformed = ImageBytes(account, {0x35, 0x7F});                  // group longer than the data
  struct Case {
    const char* name;
    std::string in;
    int status;
    const char* message_part;  // in stderr; nullptr: stderr empty
    bool written;
  };
  const Case cases[] = {
      {"clean", clean, 0, nullptr, true},
      {"unrecognised data", unknown, 2, "1.13", true},
      {"malformed", malformed, 3, ":", true},
      {"not a configuration", "TAMX" + clean.substr(4), 1, ":", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string in = (dir / "in.tamlo").string(), out = (dir / "out.tamlo").string();
    WriteFileBytes(in, c.in);
    WriteFileBytes(out, "previous");
    const CliRun r = RunCli(dir, "resave '" + in + "' '" + out + "'");
    EXPECT_EQ(r.status, c.status);
    if (c.message_part) {
      EXPECT_NE(r.err.find(c.message_part), std::string::npos) << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    } else {
      EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(ReadFileBytes(out), c.written ? clean : "previous");
  }
}

TEST(CliSettings, ChangedControlsByPageName_TextAndJson) {
  TempDir dir;
  ConfigTree tree;
  tree.PutInt(257, 0x12);
  ConfigTree remote;
  remote.PutString(3, "812");
  remote.PutString(4, "дом\tсторож");
  tree.PutGroup(3, std::move(remote));
  const std::string file = (dir / "a.tamlo").string();
  WriteFileBytes(file, ImageBytes(tree));

  CliRun r = RunCli(dir, "settings '" + file + "'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "general.E_Account = 0012\nremote.LIST_Phones.1 = 812 | дом\\tсторож\n");
  r = RunCli(dir, "settings '" + file + "' --json");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "{\"general.E_Account\":\"0012\",\"remote.LIST_Phones.1\":\"812 | дом\\u0009сторож\"}\n");

  // A file of defaults lists nothing; a missing file is an error.
  WriteFileBytes(file, ImageBytes(ConfigTree()));
  EXPECT_EQ(RunCli(dir, "settings '" + file + "' --json").out, "{}\n");
  r = RunCli(dir, "settings '" + (dir / "none.tamlo").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err, "");
}

}  // namespace
}  // namespace tamlo
