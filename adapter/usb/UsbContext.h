#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_descriptor;
struct libusb_config_descriptor;

// A libusb session of our own, so that no other user of the library in the
// process shares its state; ended with the object.
class CUsbContext {
 public:
  CUsbContext() = default;
  ~CUsbContext();
  CUsbContext(const CUsbContext&) = delete;
  CUsbContext& operator=(const CUsbContext&) = delete;

  Result Open();
  libusb_context* Get() const { return context_; }

 private:
  libusb_context* context_ = nullptr;
};

struct UsbAdapter;

// Every adapter on the bus of context; with devices, each adapter's device
// too, referenced (the caller unreferences them).
Result ListUsbAdapters(CUsbContext& context, std::vector<UsbAdapter>& found,
                       std::vector<libusb_device*>* devices);

// The class of each interface of a configuration (its first setting's).
std::vector<std::uint8_t> InterfaceClasses(const libusb_config_descriptor& config);

// The device's serial number, or "" where it cannot be opened to ask.
std::string ReadSerialNumber(libusb_device* device, const libusb_device_descriptor& descriptor);

// The message for a libusb error code met while opening or claiming the
// adapter with that serial: permission, another program, or libusb's words.
std::string UsbOpenMessage(int error, const std::string& serial);
