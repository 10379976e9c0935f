#include "UsbContext.h"

#include <libusb.h>

#include "Messages.h"

CUsbContext::~CUsbContext() {
  if (context_ != nullptr) libusb_exit(context_);
}

Result CUsbContext::Open() {
  if (context_ != nullptr) return Result();
  const int error = libusb_init(&context_);
  if (error == 0) return Result();
  context_ = nullptr;
  return Result::Failure(Fill(message::kUsbNotAvailable, {libusb_strerror(error)}));
}

std::string ReadSerialNumber(libusb_device* device, const libusb_device_descriptor& descriptor) {
  if (descriptor.iSerialNumber == 0) return std::string();
  libusb_device_handle* handle = nullptr;
  if (libusb_open(device, &handle) != 0) return std::string();
  unsigned char text[128] = {};
  const int length = libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text,
                                                        static_cast<int>(sizeof text));
  libusb_close(handle);
  if (length <= 0) return std::string();
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

std::string UsbOpenMessage(int error, const std::string& serial) {
  switch (error) {
    case LIBUSB_ERROR_ACCESS:
      return Fill(message::kUsbNoPermission, {serial});
    case LIBUSB_ERROR_BUSY:
      return Fill(message::kUsbAdapterBusy, {serial});
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
      return Fill(message::kUsbAdapterNotFound, {serial});
    default:
      return Fill(message::kUsbUnusable, {serial, libusb_strerror(error)});
  }
}
