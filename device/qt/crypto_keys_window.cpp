#include "device/qt/crypto_keys_window.h"

#include <QLabel>
#include <QPushButton>

#include "device/qt/window_placement.h"
#include "widgets/label_button.h"
#include "widgets/page_look.h"

namespace tamlo {
namespace {

constexpr int kWidth = 420;
constexpr int kMargin = 12;
constexpr int kRowHeight = 18;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;
constexpr char kKeyCaption[] = "Ключ №1:";

QColor StatusColour(device::KeyStatusColour colour) {
  switch (colour) {
    case device::KeyStatusColour::Red: return Qt::red;
    case device::KeyStatusColour::Yellow: return Qt::yellow;
    case device::KeyStatusColour::White: break;
  }
  return Qt::white;
}

LabelButton* NewLink(const char* name, const char* caption, QWidget* parent) {
  auto* link = new LabelButton(QString::fromUtf8(caption), parent);
  link->setObjectName(QString::fromLatin1(name));
  return link;
}

}  // namespace

TF_CryptoKeys::TF_CryptoKeys(device::CryptoKeysModel& model, QWidget* main_window)
    : m_model(model), m_main_window(main_window) {
  setObjectName(QStringLiteral("TF_CryptoKeys"));
  setWindowTitle(QString::fromUtf8(kCryptoKeysCaption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ApplyPageLook(*this);
  QPalette look = palette();
  look.setColor(QPalette::ButtonText, Qt::white);
  setPalette(look);

  int y = kMargin;
  m_update = NewLink("L_UpdateKeys", "Обновить информацию о ключах", this);
  m_update->setAlignment(Qt::AlignCenter);
  m_update->setGeometry(kMargin, y, kWidth - 2 * kMargin, kRowHeight);
  y += kRowHeight + 2 * kMargin;

  auto* key_label = new QLabel(QString::fromUtf8(kKeyCaption), this);
  key_label->setObjectName(QStringLiteral("Label1"));
  key_label->setGeometry(kMargin, y, 60, kRowHeight);
  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("L_KeyStatus"));
  m_status->setGeometry(kMargin + 64, y, 200, kRowHeight);
  m_write = NewLink("L_KeyWrite", "Записать", this);
  m_write->setGeometry(kWidth - kMargin - 140, y, 66, kRowHeight);
  m_delete = NewLink("L_KeyDelete", "Удалить", this);
  m_delete->setGeometry(kWidth - kMargin - 66, y, 66, kRowHeight);
  y += kRowHeight + 2 * kMargin;

  m_close = new QPushButton(QStringLiteral("Закрыть"), this);
  m_close->setObjectName(QStringLiteral("B_Close"));
  m_close->setFlat(true);
  m_close->setAutoDefault(false);
  m_close->setGeometry((kWidth - kButtonWidth) / 2, y, kButtonWidth, kButtonHeight);
  y += kButtonHeight + kMargin;
  setFixedSize(kWidth, y);

  connect(m_update, &LabelButton::clicked, this, [this] { m_model.L_UpdateKeysClick(); });
  connect(m_write, &LabelButton::clicked, this, [this] { m_model.L_KeyWriteClick(); });
  connect(m_delete, &LabelButton::clicked, this, [this] { m_model.L_KeyDeleteClick(); });
  connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
  m_model.SetChangeListener([this] { ShowModel(); });
  StayAbove(*this, m_main_window);
  ShowModel();
}

TF_CryptoKeys::~TF_CryptoKeys() { m_model.SetChangeListener(nullptr); }

void TF_CryptoKeys::ShowModel() {
  const device::KeyStatusView& status = m_model.status();
  m_status->setText(QString::fromStdString(status.text));
  // A screen reader reads the status with the key it belongs to.
  m_status->setAccessibleName(QString::fromUtf8(kKeyCaption) + QLatin1Char(' ') + m_status->text());
  QPalette palette = m_status->palette();
  palette.setColor(QPalette::WindowText, StatusColour(status.colour));
  m_status->setPalette(palette);
}

void TF_CryptoKeys::Open() {
  CentreOn(*this, m_main_window);
  exec();
}

}  // namespace tamlo
