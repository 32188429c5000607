#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>

#include "app/main_artwork.h"
#include "app/main_controls.h"
#include "tamlo_version.h"
#include "widgets/hint_style.h"
#include "widgets/label_button.h"
#include "widgets/page_look.h"
#include "widgets/ui_fonts.h"

namespace tamlo {
namespace {

constexpr const char* kMakerSite = "https://www.velmora.example/";
constexpr std::chrono::milliseconds kClockPeriod{1000};
const QPoint kPagesCorner(419, 42);
constexpr int kSlotRole = Qt::UserRole + 1;

size_t Index(PageSlot slot) { return static_cast<size_t>(slot); }

}  // namespace

const std::array<PageNode, 12> kPageNodes = {{
    {"Общие настройки", 0, PageSlot::GeneralSettings},
    {"Периодические тесты", 1, PageSlot::PeriodicTests},
    {"Направления доставки", 0, PageSlot::DeliveryDirections},
    {"Параметры доставки", 1, PageSlot::DeliveryOptions},
    {"Входы", 0, std::nullopt},
    {"Вход L1", 1, PageSlot::InputL1},
    {"Вход L2", 1, PageSlot::InputL2},
    {"Вход L3", 1, PageSlot::InputL3},
    {"Вход L4 (ретранслятор)", 1, PageSlot::InputL4},
    {"Удаленные подключения", 0, PageSlot::RemoteAccess},
    {"Расширитель LAN", 0, PageSlot::ExtLan},
    {"Работа с прибором", 0, PageSlot::Device},
}};

QString FormatConnectionDuration(uint32_t elapsed_ms) {
  const uint32_t hours = elapsed_ms / 3600000;
  const uint32_t minutes = elapsed_ms / 60000 % 60;
  const uint32_t seconds = elapsed_ms / 1000 % 60;
  return QString::asprintf("Длительность соединения: %02u:%02u:%02u", hours, minutes, seconds);
}

TF_Main::TF_Main(const MainWindowSeams& seams, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_dialogs(&seams.dialogs),
      m_clock(&seams.clock),
      m_files(m_pageSet, seams.dialogs, seams.files) {
  setObjectName(QStringLiteral("F_Main"));
  setWindowTitle(QStringLiteral("Конфигуратор Tamlo"));
  setWindowIcon(ApplicationIcon());
  setFixedSize(kMainWidth, kMainHeight);
  CreateControls();
  CreateActions();
  FormCreate(seams.files, seams.program_folder);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

// FormDestroy: the pages go with their parent; the list and the clock here.
TF_Main::~TF_Main() {
  m_oneSecTick.stop();
  m_eventCodes.clear();
}

void TF_Main::FormCreate(FileSystem& files, const std::filesystem::path& program_folder) {
  InstallHintStyle(*qApp);
  m_title->setText(QString::asprintf("Конфигуратор УОО TK208-2GSM Тамло v%u.%02u", kVersionMajor, kVersionMinor));
  m_title->adjustSize();
  m_eventCodes = journal::LoadProgramEventCodeList(files, program_folder);
  // Every key press of the program passes here first (see eventFilter).
  qApp->installEventFilter(this);
}

void TF_Main::AppendToTitle(const QString& suffix) {
  setWindowTitle(windowTitle() + suffix);
  m_title->setText(m_title->text() + suffix);
  m_title->adjustSize();
}

void TF_Main::CreateControls() {
  const QImage background = PaintMainBackground();
  // The headless platform of the tests has no window shapes and says so on
  // every window; the picture still paints the see-through colour there.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) setMask(ShapeFromArtwork(background));

  m_imageBackground = new QLabel(this);
  m_imageBackground->setObjectName(QStringLiteral("Image_Background"));
  m_imageBackground->setGeometry(0, 0, kMainWidth, kMainHeight);
  m_imageBackground->setPixmap(QPixmap::fromImage(background));

  const QColor label_colour = QApplication::palette().color(QPalette::Base);
  auto style_label = [&](QLabel* label, const char* name, int pixels) {
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(UiFont(pixels, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, label_colour);
    label->setPalette(palette);
  };

  m_title = new QLabel(this);
  style_label(m_title, "L_TitleText", 15);
  m_title->move(21, 12);

  struct LabelButtonDef {
    const char* name;
    const char* text;
    int y;
    const char* hint;
    void (TF_Main::*click)();
  };
  const LabelButtonDef labels[] = {
      {"L_Open", "Открыть ...", 75, "Загрузить конфигурацию из файла [ Ctrl-O ]", &TF_Main::L_OpenClick},
      {"L_Save", "Сохранить", 117, "Записать конфигурацию в текущий файл [ Ctrl-S ]", &TF_Main::L_SaveClick},
      {"L_Save_as", "Сохранить как ...", 157, "Записать конфигурацию в новый файл [ Shift-Ctrl-S ]",
       &TF_Main::L_Save_asClick},
      {"L_Help", "Помощь", 200, nullptr, nullptr},
      {"L_Exit", "Конец  работы", 244, "Выход из программы [ Alt-F4 ]", &TF_Main::L_ExitClick},
  };
  for (const LabelButtonDef& def : labels) {
    auto* label = new LabelButton(QString::fromUtf8(def.text), this);
    style_label(label, def.name, 13);
    label->move(21, def.y);
    label->adjustSize();
    if (def.hint) label->setToolTip(QString::fromUtf8(def.hint));
    if (def.click) connect(label, &LabelButton::clicked, this, def.click);
    else label->hide();  // L_Help: kept in its place, hidden and without action
  }

  auto* logo = new LabelButton(QString(), this);
  logo->setObjectName(QStringLiteral("L_VelmoraLogo"));
  logo->setGeometry(18, 488, 137, 25);
  logo->setToolTip(QStringLiteral("Перейти на сайт компании"));
  logo->setAccessibleName(logo->toolTip());
  connect(logo, &LabelButton::clicked, this, &TF_Main::L_VelmoraLogoClick);

  m_connectDuration = new QLabel(this);
  style_label(m_connectDuration, "L_ConnectDuration", 15);
  m_connectDuration->setGeometry(424, 497, 529, 18);
  m_connectDuration->setAlignment(Qt::AlignCenter);
  m_connectDuration->hide();

  auto* close_button = new CaptionButton(CaptionGlyph::Close, this);
  close_button->setObjectName(QStringLiteral("BitBtn_Close"));
  close_button->setGeometry(920, 11, 21, 24);
  // The glyphs are pictures: screen readers get the buttons' names here.
  close_button->setAccessibleName(QStringLiteral("Закрыть"));
  connect(close_button, &QAbstractButton::clicked, this, &TF_Main::L_ExitClick);

  auto* minimize_button = new CaptionButton(CaptionGlyph::Minimize, this);
  minimize_button->setObjectName(QStringLiteral("BitBtn_Minimize"));
  minimize_button->setGeometry(894, 11, 21, 24);
  minimize_button->setAccessibleName(QStringLiteral("Свернуть"));
  connect(minimize_button, &QAbstractButton::clicked, this, &TF_Main::BitBtn_MinimizeClick);

  m_pagesPanel = new QFrame(this);
  m_pagesPanel->setObjectName(QStringLiteral("PagesPanel"));
  m_pagesPanel->setGeometry(kPagesCorner.x(), kPagesCorner.y(), 536, 441);
  m_pagesPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
  m_pagesPanel->setAutoFillBackground(true);
  QPalette panel_palette = m_pagesPanel->palette();
  panel_palette.setColor(QPalette::Window, kPageTeal);
  panel_palette.setColor(QPalette::WindowText, QColor(0, 64, 64));
  m_pagesPanel->setPalette(panel_palette);

  // The tree: white background, the selected node's text red, others teal.
  m_tree = new QTreeWidget(this);
  m_tree->setObjectName(QStringLiteral("MainTree"));
  m_tree->setGeometry(163, 42, 263, 441);
  m_tree->setAccessibleName(QStringLiteral("Разделы"));
  m_tree->setHeaderHidden(true);
  m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
  m_tree->setFont(UiFont(13, true));
  m_tree->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette tree_palette = m_tree->palette();
  tree_palette.setColor(QPalette::Base, Qt::white);
  tree_palette.setColor(QPalette::Text, kPageTeal);
  tree_palette.setColor(QPalette::Highlight, Qt::white);
  tree_palette.setColor(QPalette::HighlightedText, QColor(255, 0, 0));
  tree_palette.setColor(QPalette::WindowText, kPageTeal);
  m_tree->setPalette(tree_palette);
  connect(m_tree, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { MainTreeChange(current); });
  m_tree->setFocus();

  m_dragger = new WindowDragger(this);
  m_dragger->Watch(m_imageBackground);
  m_dragger->Watch(m_title);
  m_dragger->Watch(m_connectDuration);

  // Parented for lookup only: a member child leaves its parent's list when it
  // is destroyed, before the window deletes its children.
  m_oneSecTick.setParent(this);
  m_oneSecTick.setObjectName(QStringLiteral("TMR_OneSecTick"));
  m_oneSecTick.setInterval(kClockPeriod);
  connect(&m_oneSecTick, &QTimer::timeout, this, &TF_Main::TMR_OneSecTickTimer);
}

void TF_Main::CreateActions() {
  struct ActionDef {
    const char* name;
    QKeySequence keys;
    void (TF_Main::*handler)();
  };
  const ActionDef actions[] = {
      {"Action_Open", QKeySequence(Qt::CTRL | Qt::Key_O), &TF_Main::L_OpenClick},
      {"Action_Save", QKeySequence(Qt::CTRL | Qt::Key_S), &TF_Main::L_SaveClick},
      {"Action_SaveAs", QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S), &TF_Main::L_Save_asClick},
  };
  for (const ActionDef& def : actions) {
    auto* action = new QAction(this);
    action->setObjectName(QString::fromLatin1(def.name));
    action->setShortcut(def.keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, def.handler);
    addAction(action);
  }
}

void TF_Main::AttachPage(PageSlot slot, QWidget* page) {
  m_pages[Index(slot)] = page;
  if (page) {
    page->setParent(this, Qt::Widget);
    page->move(kPagesCorner);
    page->hide();
  }
}

void TF_Main::AttachDevicePage(QWidget* page, DevicePage* device) {
  AttachPage(PageSlot::Device, page);
  m_device = device;
}

// ConfigFiles and the device window keep a reference to m_pageSet, so it is
// refilled in place.
void TF_Main::UsePageSet(const PageSet& pages) { m_pageSet = pages; }

void TF_Main::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TF_Main::FormShow() {
  if (m_shownOnce) return;
  m_shownOnce = true;
  BuildTree();
  ResetAllPages(m_pageSet);
  emit PagesChanged();
  if (m_openAtStart) {
    m_files.OpenNamedConfigFile(*m_openAtStart);
    m_openAtStart.reset();
    emit PagesChanged();
  }
}

void TF_Main::OpenAtStart(std::string name) {
  if (!m_shownOnce) {
    m_openAtStart = std::move(name);
    return;
  }
  m_files.OpenNamedConfigFile(name);
  emit PagesChanged();
}

void TF_Main::BuildTree() {
  QTreeWidgetItem* parent = nullptr;
  for (const PageNode& node : kPageNodes) {
    QTreeWidgetItem* item = node.level == 0 || !parent ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parent);
    item->setText(0, QString::fromUtf8(node.caption));
    item->setData(0, kSlotRole, node.page ? static_cast<int>(*node.page) : -1);
    if (node.level == 0) parent = item;
  }
  m_tree->expandAll();
  // No node is selected by the program: the pane stays empty until the user
  // picks one.
  m_tree->setCurrentItem(nullptr);
  m_tree->clearSelection();
}

void TF_Main::MainTreeChange(QTreeWidgetItem* node) {
  for (QWidget* page : m_pages)
    if (page) page->hide();
  if (!node) return;
  const int slot = node->data(0, kSlotRole).toInt();
  if (slot < 0 || static_cast<size_t>(slot) >= kPageSlotCount) return;
  if (QWidget* page = m_pages[static_cast<size_t>(slot)]) {
    page->move(kPagesCorner);
    page->raise();
    page->show();
  }
}

void TF_Main::L_OpenClick() {
  m_files.OpenConfigFile();
  emit PagesChanged();
}

void TF_Main::L_SaveClick() {
  m_files.Save();
  emit PagesChanged();
}

void TF_Main::L_Save_asClick() {
  m_files.SaveAs();
  emit PagesChanged();
}

// Closing the main window ends the program at once: changes are not
// tracked, so there is nothing to ask.
void TF_Main::L_ExitClick() { close(); }

void TF_Main::BitBtn_MinimizeClick() {
  m_tree->setFocus();
  showMinimized();
}

void TF_Main::L_VelmoraLogoClick() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMakerSite))); }

void TF_Main::StartConnectionClock() {
  m_oneSecTick.start();
  TMR_OneSecTickTimer();
}

void TF_Main::TMR_OneSecTickTimer() {
  if (m_device && m_device->ConnectedViaModem()) {
    m_connectDuration->setText(FormatConnectionDuration(m_clock->NowMs() - m_device->ConnectionStartTick()));
    m_connectDuration->show();
    return;
  }
  m_connectDuration->hide();
  m_oneSecTick.stop();
}

void TF_Main::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) emit Closed();
}

bool TF_Main::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && FormShortCut(static_cast<QKeyEvent*>(event))) return true;
  return QWidget::event(event);
}

bool TF_Main::eventFilter(QObject* watched, QEvent* event) {
  // The key press of a stroke the device page took is swallowed before the
  // focused control sees it.
  if (event->type() != QEvent::KeyPress || !m_keyTakenByDevice) return false;
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (m_keyTakenByDevice != std::pair<int, Qt::KeyboardModifiers>{key->key(), key->modifiers()}) return false;
  m_keyTakenByDevice.reset();
  return true;
}

// Before a key becomes one of this window's shortcuts, the shortcut check
// travels from the focused control up to the window; arriving here, it is
// offered to the device page while that page is shown. The page may take it,
// and then no action of this window runs.
bool TF_Main::FormShortCut(QKeyEvent* key) {
  QWidget* device_page = m_pages[Index(PageSlot::Device)];
  if (!m_device || !device_page || !device_page->isVisible()) return false;
  if (!m_device->FormShortCut(*key)) return false;
  m_keyTakenByDevice = std::pair<int, Qt::KeyboardModifiers>{key->key(), key->modifiers()};
  key->accept();
  return true;
}

}  // namespace tamlo
