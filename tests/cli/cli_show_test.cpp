// tamlocfg-cli show, run as the scripts that consume its JSON run it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "config/config_image.h"
#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "support/temp_dir.h"
#include "config/test_pages.h"
#include "tests/cli/cli_run.h"

namespace tamlo {
namespace {

using testing::Hex;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

testing::CliRun Show(const TempDir& dir, const std::string& file, bool json) {
  return testing::RunCli(dir, "show '" + file + "'" + (json ? " --json" : ""));
}

std::string Image(const std::vector<uint8_t>& data) {
  const auto h = ConfigImageHeader::For(data.data(), data.size()).Serialize();
  return std::string(h.begin(), h.end()) + std::string(data.begin(), data.end());
}

TEST(CliShow, Json_StableShapeWithNestedGroupsTextsAndBytes) {
  TempDir dir;
  ConfigTree tree;
  tree.PutGroup(1, ConfigTree());
  ConfigTree sim;
  sim.PutString(1, "in\"t");
  sim.PutString(4, "Дом");
  tree.PutGroup(1, std::move(sim));
  tree.PutInt(257, -5);
  auto data = EncodeConfig(tree);
  const std::string path = (dir / "a.tamlo").string();
  WriteFileBytes(path, Image(data));
  testing::CliRun r = Show(dir, path, true);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "{\"header\":{\"version\":\"1.13\",\"length\":20,\"length2\":20,\"checksum\":" +
                std::to_string(ConfigImageHeader::For(data.data(), data.size()).checksum) +
                ",\"checksum_ok\":true,\"device_number\":0,\"device_time\":0},\"result\":1,\"fields\":["
                "{\"id\":1,\"repeat\":0,\"kind\":\"group\",\"fields\":[]},"
                "{\"id\":1,\"repeat\":1,\"kind\":\"group\",\"fields\":["
                "{\"id\":1,\"repeat\":0,\"kind\":\"text\",\"value\":\"in\\\"t\"},"
                "{\"id\":4,\"repeat\":0,\"kind\":\"text\",\"value\":\"Дом\"}]},"
                "{\"id\":257,\"repeat\":0,\"kind\":\"int\",\"value\":-5}]}\n");
  EXPECT_EQ(r.err, "");

  // Raw bytes and an unknown id: listed, result 0, exit 2, the warning on stderr.
  data.insert(data.end(), {0xC4, 0x25, 0x02, 0xAB, 0x01});
  auto image = Image(data);
  image[12] ^= 1;  // and a wrong checksum
  WriteFileBytes(path, image);
  r = Show(dir, path, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("\"checksum_ok\":false"), std::string::npos);
  EXPECT_NE(r.out.find("\"result\":0,"), std::string::npos);
  EXPECT_NE(r.out.find("{\"id\":300,\"repeat\":0,\"kind\":\"bytes\",\"value\":\"ab01\"}]}"), std::string::npos);
  EXPECT_EQ(r.err.rfind("Внимание: В конфигурации обнаружены неизвестные данные.", 0), 0u);
}

TEST(CliShow, ExitStatusByWalkResultAndRefusedFiles) {
  TempDir dir;
  const std::string path = (dir / "b.tamlo").string();
  // Malformed after one good field: that field is still listed.
  WriteFileBytes(path, Image(Hex({0x90, 0x20, 0x05, 0x80})));
  testing::CliRun r = Show(dir, path, false);
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.out.find("257[0] int 5"), std::string::npos);
  EXPECT_NE(r.out.find("account number"), std::string::npos);
  EXPECT_EQ(r.err, "Ошибка при разборе конфигурации. Возможно, она повреждена.\n");

  WriteFileBytes(path, Image(Hex({0x18})));
  EXPECT_EQ(Show(dir, path, true).status, 3);

  WriteFileBytes(path, Image(Hex({0x90, 0x20, 0x05})).substr(0, 34));
  r = Show(dir, path, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Некорректный заголовок файла. Возможно, файл поврежден.\n");

  r = Show(dir, (dir / "none.tamlo").string(), false);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Невозможно открыть файл \"" + (dir / "none.tamlo").string() + "\"\n");
}

}  // namespace
}  // namespace tamlo
