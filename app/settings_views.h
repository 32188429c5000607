#pragma once
// The settings pages of the main window: one set of page models for the
// configuration being edited, the event code picker behind the input pages'
// "Справочник" link, and one view per page docked in the main window's pane.
// The views write every edit into their models at once; after anything that
// changes the models behind the views (the first show's reset, Open, a store
// whose warnings corrected a setting) the main window says PagesChanged and
// every view shows its model again.
#include <QObject>
#include <vector>

#include "config/user_interface.h"
#include "pages/event_code_picker.h"
#include "pages/settings_pages.h"

namespace tamlo {

class PageView;
class TF_Main;

class SettingsViews : public QObject {
  Q_OBJECT
 public:
  // Builds the views and attaches them to `main`, which must not have been
  // shown yet, and becomes a child of `main` itself, the last one, so the
  // models outlive the views that show them. The picker takes the event code
  // list `main` loaded. `dialogs` receives the pages' warnings and the
  // picker's.
  SettingsViews(TF_Main& main, UserDialogs& dialogs);

  SettingsPages& Pages() { return m_pages; }

  // Every view from its model.
  void ShowModels();

 private:
  SettingsPages m_pages;
  EventCodePickerModel m_picker;
  std::vector<PageView*> m_views;  // owned by the main window
};

// The picker's rows from the event code list the main window loaded.
std::vector<EventCodePickerRow> PickerRows(const TF_Main& main);

}  // namespace tamlo
