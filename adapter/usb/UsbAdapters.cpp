#include "UsbAdapters.h"

#include <libusb.h>

#include "Messages.h"
#include "UsbContext.h"

std::string FirmwareText(std::uint16_t release) {
  const unsigned major = (release >> 12 & 0xF) * 10 + (release >> 8 & 0xF);
  return std::to_string(major) + "." + std::to_string(release >> 4 & 0xF) + "." +
         std::to_string(release & 0xF);
}

bool HasMassStorage(const std::vector<std::uint8_t>& interfaceClasses) {
  for (const std::uint8_t kind : interfaceClasses)
    if (kind == usb_adapter::kMassStorageClass) return true;
  return false;
}

std::vector<std::uint8_t> InterfaceClasses(const libusb_config_descriptor& config) {
  std::vector<std::uint8_t> classes;
  for (std::uint8_t i = 0; i < config.bNumInterfaces; ++i)
    if (config.interface[i].num_altsetting > 0)
      classes.push_back(config.interface[i].altsetting[0].bInterfaceClass);
  return classes;
}

Result ListUsbAdapters(CUsbContext& context, std::vector<UsbAdapter>& found,
                       std::vector<libusb_device*>* devices) {
  found.clear();
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context.Get(), &list);
  if (count < 0) {
    return Result::Failure(
        Fill(message::kUsbNotAvailable, {libusb_strerror(static_cast<int>(count))}));
  }
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(list[i], &descriptor) != 0 ||
        descriptor.idVendor != usb_adapter::kVendor ||
        descriptor.idProduct != usb_adapter::kProduct)
      continue;
    UsbAdapter adapter;
    adapter.firmware = descriptor.bcdDevice;
    adapter.serial = ReadSerialNumber(list[i], descriptor);
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(list[i], &config) == 0) {
      adapter.showsDrive = HasMassStorage(InterfaceClasses(*config));
      libusb_free_config_descriptor(config);
    }
    found.push_back(adapter);
    if (devices != nullptr) devices->push_back(libusb_ref_device(list[i]));
  }
  libusb_free_device_list(list, 1);
  return Result();
}

Result FindUsbAdapters(std::vector<UsbAdapter>& found) {
  found.clear();
  CUsbContext context;
  if (Result opened = context.Open(); !opened) return opened;
  return ListUsbAdapters(context, found, nullptr);
}

Result ChooseUsbAdapter(const std::vector<UsbAdapter>& attached, const std::string& serial,
                        UsbAdapter& chosen) {
  if (attached.empty()) return Result::Failure(message::kUsbNoAdapter.text);
  const UsbAdapter* match = nullptr;
  if (serial.empty()) {
    if (attached.size() > 1) {
      std::string serials;
      for (const UsbAdapter& adapter : attached)
        serials += (serials.empty() ? "" : ", ") + adapter.serial;
      return Result::Failure(Fill(message::kUsbSeveralAdapters, {serials}));
    }
    match = &attached.front();
  } else {
    for (const UsbAdapter& adapter : attached)
      if (adapter.serial == serial) match = &adapter;
    if (match == nullptr) return Result::Failure(Fill(message::kUsbAdapterNotFound, {serial}));
  }
  if (match->firmware < usb_adapter::kOldestFirmware) {
    return Result::Failure(
        Fill(message::kUsbFirmwareTooOld, {match->serial, FirmwareText(match->firmware)}));
  }
  chosen = *match;
  return Result();
}
