#include "app/settings_views.h"

#include <array>

#include "app/main_window.h"
#include "device/journal/event_code_list.h"
#include "pages/qt/delivery_directions_view.h"
#include "pages/qt/delivery_options_view.h"
#include "pages/qt/general_settings_view.h"
#include "pages/qt/lan_extender_view.h"
#include "pages/qt/loop_input_view.h"
#include "pages/qt/periodic_tests_view.h"
#include "pages/qt/remote_access_view.h"

namespace tamlo {

std::vector<EventCodePickerRow> PickerRows(const TF_Main& main) {
  std::vector<EventCodePickerRow> rows;
  for (journal::EventCodeRow& row : journal::EventCodeRows(main.EventCodeList()))
    rows.push_back({std::move(row.code), std::move(row.value)});
  return rows;
}

SettingsViews::SettingsViews(TF_Main& main, UserDialogs& dialogs)
    : m_pages(dialogs), m_picker(dialogs, PickerRows(main)) {
  auto attach = [&](PageSlot slot, PageView* view) {
    m_views.push_back(view);
    main.AttachPage(slot, view);
  };
  attach(PageSlot::GeneralSettings, new TF_Obsh_Nastr(m_pages.General()));
  attach(PageSlot::PeriodicTests, new TF_Autotests(m_pages.Tests()));
  attach(PageSlot::DeliveryDirections, new TF_Napr_Dost(m_pages.Directions()));
  attach(PageSlot::DeliveryOptions, new TF_DelivOptions(m_pages.Options()));
  attach(PageSlot::RemoteAccess, new TF_RemoteAccess(m_pages.Remote()));
  attach(PageSlot::ExtLan, new TF_ExtLan(m_pages.Lan()));
  constexpr std::array<PageSlot, 4> kInputSlots = {PageSlot::InputL1, PageSlot::InputL2, PageSlot::InputL3,
                                                   PageSlot::InputL4};
  for (size_t i = 0; i < kInputSlots.size(); ++i)
    attach(kInputSlots[i], new TF_TamloLoop(m_pages.Input(i), m_picker));
  main.UsePageSet(m_pages.Set());
  connect(&main, &TF_Main::PagesChanged, this, &SettingsViews::ShowModels);
  setParent(&main);
}

void SettingsViews::ShowModels() {
  for (PageView* view : m_views) view->ShowModel();
}

}  // namespace tamlo
