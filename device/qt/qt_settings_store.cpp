#include "device/qt/qt_settings_store.h"

#include <limits>

namespace tamlo {
namespace {

constexpr qsizetype kMaxTextBytes = 63;

QString Key(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<uint32_t> InRange(qlonglong value) {
  if (value < 0 || value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace

std::unique_ptr<QSettings> ProgramSettings() {
  return std::make_unique<QSettings>(QStringLiteral("Velmora"), QStringLiteral("TamloCfg"));
}

std::optional<std::string> QtSettingsStore::ReadText(std::string_view name) {
  const QVariant value = m_settings->value(Key(name));
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  const QByteArray bytes = value.toString().toUtf8();
  if (bytes.isEmpty() || bytes.size() > kMaxTextBytes) return std::nullopt;
  return bytes.toStdString();
}

std::optional<uint32_t> QtSettingsStore::ReadNumber(std::string_view name) {
  const QVariant value = m_settings->value(Key(name));
  switch (value.typeId()) {
    case QMetaType::Int:
      // A registry DWORD comes back as a signed int: its bits are the number.
      return static_cast<uint32_t>(value.toInt());
    case QMetaType::UInt: return value.toUInt();
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return InRange(value.toLongLong());
    case QMetaType::QString: {
      const QString text = value.toString();
      for (const QChar ch : text)
        if (ch < u'0' || ch > u'9') return std::nullopt;
      bool ok = false;
      const qulonglong number = text.toULongLong(&ok);
      if (!ok || number > std::numeric_limits<uint32_t>::max()) return std::nullopt;
      return static_cast<uint32_t>(number);
    }
    default: return std::nullopt;
  }
}

void QtSettingsStore::WriteText(std::string_view name, const std::string& value) {
  m_settings->setValue(Key(name), QString::fromStdString(value));
  m_settings->sync();
}

void QtSettingsStore::WriteNumber(std::string_view name, uint32_t value) {
  m_settings->setValue(Key(name), value);
  m_settings->sync();
}

}  // namespace tamlo
