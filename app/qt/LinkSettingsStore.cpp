#include "LinkSettingsStore.h"

#include <QSettings>
#include <QVariant>

#include "DecimalNumber.h"

namespace {
constexpr char kGroup[] = "Communications";
constexpr char kPort[] = "Port";
constexpr char kTimeout[] = "Timeout";
constexpr char kDelayFactor[] = "DelayFactor";
constexpr char kUsbAdapter[] = "UsbAdapter";
constexpr char kUsbSlot[] = "UsbSlot";

bool ToUnsigned32(const QVariant& stored, std::uint32_t& value) {
  switch (stored.typeId()) {
    case QMetaType::QString:
      // Read as the command-line tool reads the same file; anything else
      // counts as absent.
      return ParseDecimal(stored.toString().toStdString(), value) == DecimalParse::Number;
    case QMetaType::Int:
      // The Windows registry hands back its 32-bit values as signed numbers;
      // the bits are the stored unsigned value.
      value = static_cast<std::uint32_t>(stored.toInt());
      return true;
    case QMetaType::UInt:
      value = stored.toUInt();
      return true;
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
      bool ok = false;
      const qulonglong number = stored.toULongLong(&ok);
      if (!ok || number > 0xFFFFFFFFull) return false;
      value = static_cast<std::uint32_t>(number);
      return true;
    }
    default:
      return false;
  }
}

void ReadValue(const QSettings& settings, const char* key, std::uint32_t& value) {
  ToUnsigned32(settings.value(key), value);  // keeps the default when unreadable
}
}  // namespace

CLinkSettingsStore::CLinkSettingsStore(QSettings& settings) : settings_(settings) {}

LinkSettings CLinkSettingsStore::Read() const {
  LinkSettings settings;
  settings_.beginGroup(kGroup);
  ReadValue(settings_, kPort, settings.port);
  ReadValue(settings_, kTimeout, settings.timeoutSeconds);
  ReadValue(settings_, kDelayFactor, settings.delayFactor);
  settings_.endGroup();
  return settings;
}

void CLinkSettingsStore::Write(const LinkSettings& settings) {
  settings_.beginGroup(kGroup);
  settings_.setValue(kPort, QVariant::fromValue<quint32>(settings.port));
  settings_.setValue(kTimeout, QVariant::fromValue<quint32>(settings.timeoutSeconds));
  settings_.setValue(kDelayFactor, QVariant::fromValue<quint32>(settings.delayFactor));
  settings_.endGroup();
  settings_.sync();
}

bool CLinkSettingsStore::ReadUsbCard(std::string& serial, std::string& slot) const {
  settings_.beginGroup(kGroup);
  serial = settings_.value(kUsbAdapter).toString().toStdString();
  slot = settings_.value(kUsbSlot).toString().toStdString();
  settings_.endGroup();
  return !serial.empty();
}

void CLinkSettingsStore::WriteUsbCard(const std::string& serial, const std::string& slot) {
  settings_.beginGroup(kGroup);
  if (serial.empty()) {
    settings_.remove(kUsbAdapter);
    settings_.remove(kUsbSlot);
  } else {
    settings_.setValue(kUsbAdapter, QString::fromStdString(serial));
    settings_.setValue(kUsbSlot, QString::fromStdString(slot));
  }
  settings_.endGroup();
  settings_.sync();
}
