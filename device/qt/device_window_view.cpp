#include "device/qt/device_window_view.h"

#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include "widgets/label_button.h"
#include "widgets/page_look.h"

namespace tamlo {
namespace {

using device::DeviceControl;

constexpr int kWidth = 537;
constexpr int kHeight = 441;

QString Text(const std::string& text) { return QString::fromStdString(text); }

QGroupBox* AddGroup(QWidget& page, const char* name, const char* caption, const QRect& geometry) {
  auto* box = new QGroupBox(QString::fromUtf8(caption), &page);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(geometry);
  return box;
}

// The link labels, each in its group at its place.
struct LinkPlace {
  DeviceControl id;
  const char* name;
  int group;  // index into the groups built below
  QRect geometry;
};

enum Group { kConnection, kConfig, kJournal, kGsm, kFirmware };

constexpr LinkPlace kLinks[] = {
    {DeviceControl::L_PortChk, "L_PortChk", kConnection, {300, 56, 100, 16}},
    {DeviceControl::L_ConfigRead, "L_ConfigRead", kConfig, {16, 22, 90, 16}},
    {DeviceControl::L_ConfigWrite, "L_ConfigWrite", kConfig, {130, 22, 90, 16}},
    {DeviceControl::L_OtherActions, "L_OtherActions", kConfig, {244, 22, 90, 16}},
    {DeviceControl::L_ReadJournal, "L_ReadJournal", kJournal, {16, 22, 130, 16}},
    {DeviceControl::L_ViewJournal, "L_ViewJournal", kJournal, {170, 22, 100, 16}},
    {DeviceControl::L_Show_GSM_Status, "L_Show_GSM_Status", kGsm, {16, 22, 100, 16}},
    {DeviceControl::L_FW_ShowVer, "L_FW_ShowVer", kFirmware, {16, 22, 230, 16}},
    {DeviceControl::L_FW_Update, "L_FW_Update", kFirmware, {260, 22, 80, 16}},
};

// The entries of "Прочее", top to bottom: the key window, then the service
// actions, then the safe-write ones.
struct MenuRow {
  DeviceControl id;
  const char* name;
  void (device::DeviceWindowModel::*click)();         // null: the key window (N_KeysClick)
  bool (device::DeviceWindowModel::*ticked)() const;  // null: not a tick
  bool separator_after;
};

constexpr MenuRow kMenuRows[] = {
    {DeviceControl::N_Keys, "N_Keys", nullptr, nullptr, true},
    {DeviceControl::N_SetTime, "N_SetTime", &device::DeviceWindowModel::N_SetTimeClick, nullptr, false},
    {DeviceControl::N_Reboot, "N_Reboot", &device::DeviceWindowModel::N_RebootClick, nullptr, true},
    {DeviceControl::N_Backup, "N_Backup", &device::DeviceWindowModel::N_BackupClick,
     &device::DeviceWindowModel::backup_enabled, false},
    {DeviceControl::N_VerifyWrite, "N_VerifyWrite", &device::DeviceWindowModel::N_VerifyWriteClick, nullptr, false},
    {DeviceControl::N_Compare, "N_Compare", &device::DeviceWindowModel::N_CompareClick, nullptr, false},
};

size_t Index(DeviceControl id) { return static_cast<size_t>(id); }

}  // namespace

std::string LocalLogTime() {
  const QLocale locale = QLocale::system();
  const QDateTime now = QDateTime::currentDateTime();
  return (locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
          locale.toString(now.time(), QLocale::LongFormat))
      .toStdString();
}

TF_TamloDev::TF_TamloDev(device::DeviceWindowModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
  setObjectName(QStringLiteral("F_TamloDev"));
  setFixedSize(kWidth, kHeight);
  ApplyPageLook(*this);
  BuildControls();
  BuildMenu();
  Connect();
  m_model.SetChangeListener([this](device::DeviceWindowChange change) {
    if (change == device::DeviceWindowChange::Log) ShowNewLogLines();
    else ShowControls();
  });
  ShowModel();
}

TF_TamloDev::~TF_TamloDev() { m_model.SetChangeListener(nullptr); }

void TF_TamloDev::BuildControls() {
  QGroupBox* const groups[] = {
      AddGroup(*this, "GrpBx_PortSelect", "Подключение к устройству", {8, 4, 521, 86}),
      AddGroup(*this, "GrpBx_Config", "Конфигурация", {8, 96, 521, 50}),
      AddGroup(*this, "GrpBx_Journal", "Журнал", {8, 152, 521, 50}),
      AddGroup(*this, "GroupBx_GSMStat", "Уровень GSM", {8, 208, 150, 50}),
      AddGroup(*this, "GrpBxFW", "Внутреннее ПО прибора (прошивка)", {166, 208, 363, 50}),
  };
  QGroupBox* connection = groups[kConnection];

  m_local = new QRadioButton(Text(m_model.control(DeviceControl::RB_Local).caption), connection);
  m_local->setObjectName(QStringLiteral("RB_Local"));
  m_local->setGeometry(16, 22, 120, 20);
  m_remote = new QRadioButton(Text(m_model.control(DeviceControl::RB_Remote).caption), connection);
  m_remote->setObjectName(QStringLiteral("RB_Remote"));
  m_remote->setGeometry(150, 22, 300, 20);

  m_port_label = new QLabel(connection);
  m_port_label->setObjectName(QStringLiteral("L_PortList"));
  m_port_label->setGeometry(16, 56, 130, 16);
  m_ports = new QComboBox(connection);
  m_ports->setObjectName(QStringLiteral("CmbBx_PortList"));
  m_ports->setGeometry(150, 52, 130, 22);
  m_port_label->setBuddy(m_ports);

  for (const LinkPlace& place : kLinks) {
    auto* link = new LabelButton(QString(), groups[place.group]);
    link->setObjectName(QString::fromLatin1(place.name));
    link->setGeometry(place.geometry);
    m_links[Index(place.id)] = link;
  }

  auto* info_box = AddGroup(*this, "GrpBx_Info", "Служебная информация", {8, 264, 521, 169});
  m_info = new QPlainTextEdit(info_box);
  m_info->setObjectName(QStringLiteral("Mm_Info"));
  m_info->setGeometry(8, 18, 505, 143);
  m_info->setReadOnly(true);
  m_info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_info->setAccessibleName(info_box->title());
  // The memo's own colours: dark text on white, as a log reads best.
  QPalette palette = m_info->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  m_info->setPalette(palette);
}

void TF_TamloDev::BuildMenu() {
  m_menu = new QMenu(this);
  m_menu->setObjectName(QStringLiteral("MNU_OtherActions"));
  static_assert(std::size(kMenuRows) == std::tuple_size_v<decltype(m_menu_items)>);
  for (size_t i = 0; i < std::size(kMenuRows); ++i) {
    const MenuRow& row = kMenuRows[i];
    QAction* item = m_menu->addAction(Text(m_model.control(row.id).caption));
    item->setObjectName(QString::fromLatin1(row.name));
    item->setCheckable(row.ticked != nullptr);
    if (row.click)
      connect(item, &QAction::triggered, this, [this, click = row.click] { (m_model.*click)(); });
    else
      connect(item, &QAction::triggered, this, &TF_TamloDev::N_KeysClick);
    if (row.separator_after) m_menu->addSeparator();
    m_menu_items[i] = item;
  }
}

void TF_TamloDev::Connect() {
  connect(m_local, &QRadioButton::clicked, this, [this] { m_model.RB_LocalClick(false); });
  connect(m_remote, &QRadioButton::clicked, this, [this] { m_model.RB_LocalClick(true); });
  // Only the user's choice counts: the index the page sets itself is not a
  // change of the remembered port.
  connect(m_ports, &QComboBox::activated, this, [this](int index) { m_model.CmbBx_PortListChange(index); });

  const std::pair<DeviceControl, void (device::DeviceWindowModel::*)()> handlers[] = {
      {DeviceControl::L_PortChk, &device::DeviceWindowModel::L_PortChkClick},
      {DeviceControl::L_ReadJournal, &device::DeviceWindowModel::L_ReadJournalClick},
      {DeviceControl::L_ViewJournal, &device::DeviceWindowModel::L_ViewJournalClick},
      {DeviceControl::L_Show_GSM_Status, &device::DeviceWindowModel::L_Show_GSM_StatusClick},
      {DeviceControl::L_FW_ShowVer, &device::DeviceWindowModel::L_FW_ShowVerClick},
      {DeviceControl::L_FW_Update, &device::DeviceWindowModel::L_FW_UpdateClick},
  };
  for (const auto& entry : handlers) {
    const auto handler = entry.second;
    connect(Link(entry.first), &LabelButton::clicked, this, [this, handler] { (m_model.*handler)(); });
  }
  connect(Link(DeviceControl::L_ConfigRead), &LabelButton::clicked, this, [this] {
    m_model.L_ConfigReadClick();
    emit PagesChanged();
  });
  connect(Link(DeviceControl::L_ConfigWrite), &LabelButton::clicked, this, [this] {
    m_model.L_ConfigWriteClick();
    emit PagesChanged();
  });
  connect(Link(DeviceControl::L_OtherActions), &LabelButton::clicked, this, [this] { L_OtherActionsClick(); });
}

LabelButton* TF_TamloDev::Link(DeviceControl id) const { return m_links[Index(id)]; }

void TF_TamloDev::L_OtherActionsClick() {
  // The menu opens at the label's top left corner.
  m_menu->popup(Link(DeviceControl::L_OtherActions)->mapToGlobal(QPoint(0, 0)));
}

void TF_TamloDev::ShowModel() {
  ShowControls();
  ShowNewLogLines();
}

void TF_TamloDev::ShowControls() {
  const auto apply = [this](QWidget& widget, DeviceControl id) {
    const device::ControlState& state = m_model.control(id);
    widget.setEnabled(state.enabled);
    widget.setVisible(state.visible);
  };
  {
    const QSignalBlocker block_local(m_local), block_remote(m_remote);
    m_local->setChecked(!m_model.remote_selected());
    m_remote->setChecked(m_model.remote_selected());
  }
  apply(*m_local, DeviceControl::RB_Local);
  apply(*m_remote, DeviceControl::RB_Remote);
  m_port_label->setText(Text(m_model.control(DeviceControl::L_PortList).caption));
  apply(*m_port_label, DeviceControl::L_PortList);
  // The list is named after its label for screen readers.
  m_ports->setAccessibleName(m_port_label->text());
  apply(*m_ports, DeviceControl::CmbBx_PortList);
  ShowPorts();
  for (const LinkPlace& place : kLinks) {
    LabelButton& link = *Link(place.id);
    const QString caption = Text(m_model.control(place.id).caption);
    if (link.text() != caption) link.setText(caption);
    apply(link, place.id);
  }
  for (size_t i = 0; i < std::size(kMenuRows); ++i) {
    const MenuRow& row = kMenuRows[i];
    m_menu_items[i]->setText(Text(m_model.control(row.id).caption));
    m_menu_items[i]->setEnabled(m_model.control(row.id).enabled);
    if (row.ticked) m_menu_items[i]->setChecked((m_model.*row.ticked)());
  }
}

void TF_TamloDev::ShowPorts() {
  const QSignalBlocker block(m_ports);
  const std::vector<std::string>& ports = m_model.ports();
  bool same = m_ports->count() == static_cast<int>(ports.size());
  for (int i = 0; same && i < m_ports->count(); ++i) same = m_ports->itemText(i) == Text(ports[size_t(i)]);
  if (!same) {
    m_ports->clear();
    for (const std::string& port : ports) m_ports->addItem(Text(port));
  }
  if (m_ports->currentIndex() != m_model.selected_port()) m_ports->setCurrentIndex(m_model.selected_port());
}

void TF_TamloDev::ShowNewLogLines() {
  const std::vector<std::string>& lines = m_model.log_lines();
  if (lines.size() < m_log_shown) {  // never shrinks; start over if it ever does
    m_info->clear();
    m_log_shown = 0;
  }
  for (; m_log_shown < lines.size(); ++m_log_shown) m_info->appendPlainText(Text(lines[m_log_shown]));
}

void TF_TamloDev::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  m_model.FormShow();
  ShowControls();
}

bool TF_TamloDev::FormShortCut(const QKeyEvent& key) {
  if (key.key() < Qt::Key_A || key.key() > Qt::Key_Z) return false;
  const Qt::KeyboardModifiers mods = key.modifiers();
  return m_model.FormShortCut(static_cast<char>('A' + (key.key() - Qt::Key_A)), mods & Qt::ControlModifier,
                              mods & Qt::AltModifier, mods & Qt::ShiftModifier);
}

}  // namespace tamlo
