// The device window's one port: the demo entry reaches the simulated device
// (on the cable or behind its modem), every other name the system's port;
// the demo device keeps what was written to it from one exchange to the next.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/port_router.h"
#include "link/exchange_dispatcher.h"
#include "link/fake_port.h"
#include "link/recording_callback.h"
#include "sim/demo_site.h"
#include "sim/stored_image.h"

namespace tamlo {
namespace {

using link::testing::FakePort;
using link::testing::RecordingCallback;

class RouterLink : public ::testing::Test {
 protected:
  explicit RouterLink(bool with_demo = true) {
    auto serial = std::make_unique<FakePort>(clock);
    system_port = serial.get();
    std::unique_ptr<sim::SimPort> demo;
    if (with_demo) {
      auto device = std::make_shared<sim::SimDevice>(sim::DemoDeviceSettings(clock));
      demo = std::make_unique<sim::SimPort>(device, clock);
    }
    router = std::make_unique<PortRouter>(std::move(serial), std::move(demo));
    router->SetRemoteMode([this] { return remote; });
    link = std::make_unique<link::ExchangeDispatcher>(*router, clock, pump);
  }
  int Run(const std::optional<std::string>& name, unsigned action, const link::ActionInput& input = {}) {
    cb = RecordingCallback{};
    return link->serial_process(name, action, input, cb);
  }
  std::string FirstError() const { return cb.errors.empty() ? "" : cb.errors[0]; }

  link::ManualClock clock{1000};
  link::ManualPump pump{clock};
  FakePort* system_port = nullptr;
  std::unique_ptr<PortRouter> router;
  std::unique_ptr<link::ExchangeDispatcher> link;
  RecordingCallback cb;
  bool remote = false;
};

TEST_F(RouterLink, DemoEntryReadsTheSampleSite_OtherNamesOpenTheSystemPort) {
  ASSERT_EQ(Run(std::string(kDemoPortName), link::CONFIG_READ), 0) << FirstError();
  // The same site, whatever the device's clock stamped into the header.
  const std::vector<uint8_t> site = sim::DemoSiteImage(0);
  ASSERT_GT(cb.data_bytes.size(), 32u);
  EXPECT_EQ(std::vector<uint8_t>(cb.data_bytes.begin() + 32, cb.data_bytes.end()),
            std::vector<uint8_t>(site.begin() + 32, site.end()));
  EXPECT_TRUE(system_port->opened_name.empty());

  system_port->refuse_open = true;
  EXPECT_EQ(Run(std::string("/dev/pts/7"), link::CONFIG_READ), -1);
  EXPECT_EQ(system_port->opened_name, "/dev/pts/7");
  EXPECT_FALSE(router->demo()->IsOpen());
}

TEST_F(RouterLink, WrittenConfigurationIsReadBack_AlsoThroughTheModemAfterADial) {
  std::vector<uint8_t> image = sim::DemoSiteImage(0);
  image.push_back(0x7E);  // bytes past the data are kept as sent
  ASSERT_EQ(Run(std::string(kDemoPortName), link::CONFIG_WRITE, {image.data(), image.size(), nullptr}), 0)
      << FirstError();

  remote = true;
  link::ActionInput dial;
  dial.text = "+79001234567";
  ASSERT_EQ(Run(std::string(kDemoPortName), link::MODEM_DIAL, dial), 0) << FirstError();
  ASSERT_NE(router->demo()->device().modem(), nullptr);
  ASSERT_EQ(Run(std::nullopt, link::CONFIG_READ), 0) << FirstError();
  EXPECT_EQ(std::vector<uint8_t>(cb.data_bytes.begin() + 32, cb.data_bytes.end()),
            std::vector<uint8_t>(image.begin() + 32, image.end()));
  EXPECT_EQ(Run(std::nullopt, link::MODEM_HANGUP), 0) << FirstError();

  // Back on the cable: no modem answers in front of the device any more.
  remote = false;
  ASSERT_EQ(Run(std::string(kDemoPortName), link::CONFIG_READ), 0) << FirstError();
  EXPECT_EQ(router->demo()->device().modem(), nullptr);
}

class RouterWithoutDemo : public RouterLink {
 protected:
  RouterWithoutDemo() : RouterLink(false) {}
};

TEST_F(RouterWithoutDemo, DemoNameOpensNothing) {
  EXPECT_FALSE(router->Open(kDemoPortName));
  EXPECT_EQ(router->LastErrorCode(), 2u);
  EXPECT_EQ(system_port->open_count, 0);
  EXPECT_EQ(Run(std::string(kDemoPortName), link::CONFIG_READ), -1);
  EXPECT_FALSE(cb.errors.empty());
}

}  // namespace
}  // namespace tamlo
