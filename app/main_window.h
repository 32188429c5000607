#pragma once
// TF_Main, the program's main window: a borderless window shaped by its
// painted background, with a column of label buttons (open, save, save as,
// exit), the tree of pages on the left and the pane on the right where the
// chosen page is shown. It owns the pages' contract set, the file commands
// with CurrentFileName, the event code list and the modem connection clock.
//
// Pages and their page set are attached after construction, in start-up
// order, and must all be attached before the first show, which builds the
// tree and resets every page to its defaults. A node whose page is not
// attached shows an empty pane.
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "device/qt/device_page.h"
#include "config/config_files.h"
#include "config/config_page.h"
#include "config/file_system.h"
#include "config/user_interface.h"
#include "device/journal/event_code_list.h"
#include "link/clock.h"

class QFrame;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tamlo {

class WindowDragger;

// The pages the tree can show.
enum class PageSlot {
  GeneralSettings,
  PeriodicTests,
  DeliveryDirections,
  DeliveryOptions,
  RemoteAccess,
  ExtLan,
  InputL1,
  InputL2,
  InputL3,
  InputL4,
  Device,
};
inline constexpr size_t kPageSlotCount = 11;

// One node of the tree of pages, in display order.
struct PageNode {
  const char* caption;
  int level;                      // 0 top, 1 child of the last top node
  std::optional<PageSlot> page;   // nothing: a heading without a page
};
extern const std::array<PageNode, 12> kPageNodes;

// "Длительность соединения: HH:MM:SS"; hours are not limited to two digits.
QString FormatConnectionDuration(uint32_t elapsed_ms);

// What the main window uses of the system; start-up builds them, tests give
// doubles. All must outlive the window.
struct MainWindowSeams {
  UserDialogs& dialogs;                   // file dialogs and message boxes
  FileSystem& files;                      // configuration files
  const link::Clock& clock;               // the connection time
  std::filesystem::path program_folder;   // where the event code list is looked for
};

class TF_Main : public QWidget {
  Q_OBJECT
 public:
  explicit TF_Main(const MainWindowSeams& seams, QWidget* parent = nullptr);
  ~TF_Main() override;

  // A page of the tree. The window takes the page over: it becomes a hidden
  // child at the pane's corner and is destroyed with the window.
  void AttachPage(PageSlot slot, QWidget* page);
  // The settings contracts behind the pages, in the order the configuration
  // is reset, stored and loaded (SettingsPages::Set()); the contracts must
  // outlive the window.
  void UsePageSet(const PageSet& pages);
  // The device window page, which also sees shortcuts first and reports the
  // modem connection.
  void AttachDevicePage(QWidget* page, DevicePage* device);

  ConfigFiles& Files() { return m_files; }
  PageSet& Pages() { return m_pageSet; }
  const journal::EventCodeList& EventCodeList() const { return m_eventCodes; }
  UserDialogs& Dialogs() { return *m_dialogs; }

  // Starts the one-second clock and shows the duration at once; the clock
  // stops and hides by itself when the page reports no modem connection.
  void StartConnectionClock();

  // Appends `suffix` to the window's title and to the title drawn in it (the
  // demo mode's " (демо)").
  void AppendToTitle(const QString& suffix);

  // Opens `name` as Open would, with the same messages, once the first show
  // has reset the pages (at once when the window is already shown): the
  // file named on the command line.
  void OpenAtStart(std::string name);

  // Handlers, public for the actions and for the device window.
  void L_OpenClick();
  void L_SaveClick();
  void L_Save_asClick();
  void L_ExitClick();
  void BitBtn_MinimizeClick();
  void L_VelmoraLogoClick();
  void MainTreeChange(QTreeWidgetItem* node);
  void TMR_OneSecTickTimer();

 signals:
  // The main window was closed: the program ends.
  void Closed();
  // The pages' models changed behind their views (the first show's reset,
  // Open, a store whose warnings corrected a setting): every view shows its
  // model again.
  void PagesChanged();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate(FileSystem& files, const std::filesystem::path& program_folder);
  void FormShow();
  void CreateControls();
  void CreateActions();
  void BuildTree();
  bool FormShortCut(QKeyEvent* key);

  UserDialogs* m_dialogs = nullptr;
  const link::Clock* m_clock = nullptr;

  PageSet m_pageSet;
  ConfigFiles m_files;
  journal::EventCodeList m_eventCodes;
  std::array<QWidget*, kPageSlotCount> m_pages{};
  DevicePage* m_device = nullptr;
  std::optional<std::string> m_openAtStart;
  bool m_shownOnce = false;

  QLabel* m_imageBackground = nullptr;
  QLabel* m_title = nullptr;
  QLabel* m_connectDuration = nullptr;
  QTreeWidget* m_tree = nullptr;
  QFrame* m_pagesPanel = nullptr;
  QTimer m_oneSecTick;
  WindowDragger* m_dragger = nullptr;

  // A key the device page took at its shortcut check; its key press is
  // swallowed so the focused control does not see it either.
  std::optional<std::pair<int, Qt::KeyboardModifiers>> m_keyTakenByDevice;
};

}  // namespace tamlo
