#pragma once
// The ten settings page models of one configuration, wired the way the
// configuration is stored and loaded:
//   reset  general, periodic tests, directions, options, remote, LAN, L1..L4
//   store  general (with both SIM groups and the four input groups), periodic
//          tests, directions, options, remote, LAN
//   load   each top-level field offered in the store order, first taker wins;
//          the input groups reach L1..L4 through the general page
// The GUI's views and the console tool share one instance per configuration.
#include <array>
#include <memory>
#include <vector>

#include "config/config_page.h"
#include "config/user_interface.h"
#include "pages/delivery_directions.h"
#include "pages/delivery_options.h"
#include "pages/general_settings.h"
#include "pages/lan_extender.h"
#include "pages/loop_input.h"
#include "pages/page_model.h"
#include "pages/periodic_tests.h"
#include "pages/remote_access.h"

namespace tamlo {

// Dialogs for pages that only load and list (a comparison, the defaults of
// ListChangedSettings): loading shows nothing, and such pages never store.
UserDialogs& SilentPageDialogs();

class SettingsPages {
 public:
  // `dialogs` receives the store-time warnings of every page.
  explicit SettingsPages(UserDialogs& dialogs);
  SettingsPages(const SettingsPages&) = delete;
  SettingsPages& operator=(const SettingsPages&) = delete;

  // The order BuildConfigImage, LoadConfigData and ResetAllPages use.
  PageSet& Set() { return m_set; }

  GeneralSettingsModel& General() { return m_general; }
  PeriodicTestsModel& Tests() { return m_tests; }
  DeliveryDirectionsModel& Directions() { return m_directions; }
  DeliveryOptionsModel& Options() { return m_options; }
  RemoteAccessModel& Remote() { return m_remote; }
  LanExtenderModel& Lan() { return m_lan; }
  LoopInputModel& Input(size_t index) { return m_inputs.at(index); }

  // Every setting of every page in the page order of the tree (general, the
  // inputs L1..L4, periodic tests, directions, options, remote, LAN).
  std::vector<SettingValue> ListSettings() const;

  // The settings whose value differs from that of freshly reset pages, in
  // the same order (list rows that a reset page does not have count as
  // differing).
  std::vector<SettingValue> ListChangedSettings() const;

  // Sets one setting by the name ListSettings gives it, as the user would
  // (PageModel::ApplySetting): UnknownName when no page has it.
  SettingApply ApplySetting(std::string_view name, std::string_view value);

 private:
  std::array<LoopInputModel, 4> m_inputs;
  GeneralSettingsModel m_general;
  DeliveryDirectionsModel m_directions;  // before m_tests, which reads it
  PeriodicTestsModel m_tests;
  DeliveryOptionsModel m_options;
  RemoteAccessModel m_remote;
  LanExtenderModel m_lan;
  PageSet m_set;
};

}  // namespace tamlo
