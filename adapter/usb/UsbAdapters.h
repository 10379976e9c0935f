#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

// The USB adapters for memory cards attached to the computer, as the USB bus
// describes them: the Pico's board id as serial number, and the firmware's
// version in the device release number.
namespace usb_adapter {
constexpr std::uint16_t kVendor = 0x1209;
constexpr std::uint16_t kProduct = 0x2F07;
// 1.2.1: the first firmware that keeps several requests in flight.
constexpr std::uint16_t kOldestFirmware = 0x0121;
constexpr std::uint8_t kMassStorageClass = 0x08;
}  // namespace usb_adapter

struct UsbAdapter {
  std::string serial;
  std::uint16_t firmware = 0;  // the device release number: 0x0124 is 1.2.4
  bool showsDrive = false;     // its cards are a USB drive to the computer too
};

// "1.2.4" for 0x0124: major in the high byte as two decimal digits, minor in
// bits 7-4, patch in bits 3-0.
std::string FirmwareText(std::uint16_t release);

// Whether interfaces of these classes (those of the adapter's active
// configuration) include mass storage: switched on in the adapter's
// settings, it shows the cards to the computer as files on a USB drive.
bool HasMassStorage(const std::vector<std::uint8_t>& interfaceClasses);

// Every adapter attached (none is no failure). An adapter whose serial number
// cannot be read (no permission to open it) is listed without one.
Result FindUsbAdapters(std::vector<UsbAdapter>& found);

// The adapter to use: the one with the serial given, else the only one
// attached; a clear failure for none, several, the serial not found and
// firmware too old.
Result ChooseUsbAdapter(const std::vector<UsbAdapter>& attached, const std::string& serial,
                        UsbAdapter& chosen);
