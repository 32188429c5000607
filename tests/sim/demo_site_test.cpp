// The demo device's sample site must load into the pages without a fault and
// show a device in real use: every page the site uses has settings away from
// the defaults.
#include <gtest/gtest.h>

#include <set>

#include "config/byte_order.h"
#include "config/config_image.h"
#include "link/clock.h"
#include "pages/settings_pages.h"
#include "sim/demo_site.h"
#include "sim/sim_port.h"
#include "sim/stored_image.h"

namespace tamlo::sim {
namespace {

class SilentDialogs final : public UserDialogs {
 public:
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
  MessageResult ShowMessage(std::string_view text, std::string_view, MessageIcon, MessageButtons,
                            MessageResult default_button) override {
    shown.emplace_back(text);
    return default_button;
  }
  std::vector<std::string> shown;
};

TEST(DemoSite, LoadsCleanly_AndEveryPartOfTheSiteDiffersFromTheDefaults) {
  const std::vector<uint8_t> image = DemoSiteImage(kDefaultDeviceTime);
  SilentDialogs dialogs;
  SettingsPages pages(dialogs);
  const ConfigImageHeader header = ConfigImageHeader::Parse(image.data());
  EXPECT_TRUE(header.MagicOk());
  EXPECT_EQ(header.device_number, kDemoSiteConfigNumber);
  EXPECT_EQ(header.device_time, kDefaultDeviceTime - kDemoSiteStoredAgo);
  ASSERT_NO_THROW(LoadConfigData(pages.Set(), image.data() + ConfigImageHeader::kSize,
                                 image.size() - ConfigImageHeader::kSize, header));
  EXPECT_TRUE(dialogs.shown.empty());

  std::set<std::string> changed;
  for (const SettingValue& v : pages.ListChangedSettings()) changed.insert(v.name);
  const char* expected[] = {
      "general.E_Account", "general.CB_OwnMessages", "general.E_Apn1", "general.E_Apn2", "general.E_Pin1",
      "inputs.1.GrpBx_LoopType", "inputs.2.GrpBx_LoopType", "inputs.3.GrpBx_LoopType", "directions.1.C_Proto",
      "directions.2.C_Proto", "directions.3.C_Proto", "remote.CB_EnableAcs", "remote.LIST_Phones.3",
  };
  for (const char* name : expected) EXPECT_TRUE(changed.count(name)) << name;
  EXPECT_EQ(pages.General().state().E_Account, "2B17");
  EXPECT_EQ(pages.Remote().state().LIST_Phones.size(), 3u);
  EXPECT_EQ(pages.Directions().frame(4).state().C_Proto, 0);
}

TEST(DemoSite, DemoSettingsStoreTheSiteStampedBeforeTheDeviceClock) {
  link::ManualClock clock;
  clock.SetLocal({2025, 3, 14, 15, 9, 26});
  const DeviceSettings settings = DemoDeviceSettings(clock);
  EXPECT_EQ(settings.image, DemoSiteImage(settings.device_time));
  // Near the start of the device calendar the stored time does not wrap.
  EXPECT_EQ(ReadLe32(&DemoSiteImage(100)[kImageTimeOffset]), 0u);
}

}  // namespace
}  // namespace tamlo::sim
