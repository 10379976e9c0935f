#include "UsbChannel.h"

#include <libusb.h>

#include <algorithm>

#include "Messages.h"

namespace {
// The adapter's class request on its vendor interface: wValue 1 connects a
// host program, 0 disconnects it.
constexpr std::uint8_t kConnectRequest = 0x22;
constexpr unsigned kControlTimeoutMs = 1000;
constexpr unsigned kWriteTimeoutMs = 2000;
// Whole 64-byte packets, so that no packet the adapter sends overflows it.
constexpr int kReadBuffer = 64 * 16;

Result TransferFailure(int error) {
  return Result::Failure(Fill(message::kUsbTransferFailed, {libusb_strerror(error)}));
}
}  // namespace

Result CUsbChannel::Open(const std::string& serial, CAdapterClock& clock,
                         std::unique_ptr<CUsbChannel>& channel) {
  std::unique_ptr<CUsbChannel> opened(new CUsbChannel(clock));
  if (Result ready = opened->context_.Open(); !ready) return ready;
  std::vector<UsbAdapter> attached;
  std::vector<libusb_device*> devices;
  Result result = ListUsbAdapters(opened->context_, attached, &devices);
  UsbAdapter chosen;
  if (result) result = ChooseUsbAdapter(attached, serial, chosen);
  if (result) {
    const auto at = std::find_if(attached.begin(), attached.end(), [&chosen](const UsbAdapter& a) {
      return a.serial == chosen.serial;
    });
    const int error =
        libusb_open(devices[static_cast<std::size_t>(at - attached.begin())], &opened->handle_);
    if (error != 0) result = Result::Failure(UsbOpenMessage(error, chosen.serial));
  }
  for (libusb_device* device : devices)
    libusb_unref_device(device);
  if (result) result = opened->Claim(chosen);
  if (result) result = opened->Connect(true);
  if (result) channel = std::move(opened);
  return result;
}

// The lowest-numbered vendor-class interface, with its bulk endpoints.
Result CUsbChannel::Claim(const UsbAdapter& adapter) {
  adapter_ = adapter;
  libusb_config_descriptor* config = nullptr;
  int error = libusb_get_active_config_descriptor(libusb_get_device(handle_), &config);
  if (error != 0) return Result::Failure(UsbOpenMessage(error, adapter_.serial));
  for (std::uint8_t i = 0; i < config->bNumInterfaces; ++i) {
    if (config->interface[i].num_altsetting < 1) continue;
    const libusb_interface_descriptor& setting = config->interface[i].altsetting[0];
    if (setting.bInterfaceClass != LIBUSB_CLASS_VENDOR_SPEC ||
        (interface_ >= 0 && setting.bInterfaceNumber >= interface_))
      continue;
    std::uint8_t out = 0, in = 0;
    for (std::uint8_t e = 0; e < setting.bNumEndpoints; ++e) {
      const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
      if ((endpoint.bmAttributes & 0x3) != LIBUSB_TRANSFER_TYPE_BULK) continue;
      ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0 ? in : out) =
          endpoint.bEndpointAddress;
    }
    if (in == 0 || out == 0) continue;
    interface_ = setting.bInterfaceNumber;
    in_ = in;
    out_ = out;
  }
  libusb_free_config_descriptor(config);
  if (interface_ < 0) {
    return Result::Failure(
        Fill(message::kUsbFirmwareTooOld, {adapter_.serial, FirmwareText(adapter_.firmware)}));
  }
  error = libusb_claim_interface(handle_, interface_);
  if (error != 0) return Result::Failure(UsbOpenMessage(error, adapter_.serial));
  claimed_ = true;
  return Result();
}

Result CUsbChannel::Connect(bool connect) {
  const int error = libusb_control_transfer(
      handle_, LIBUSB_ENDPOINT_OUT | LIBUSB_REQUEST_TYPE_CLASS | LIBUSB_RECIPIENT_INTERFACE,
      kConnectRequest, connect ? 1 : 0, static_cast<std::uint16_t>(interface_), nullptr, 0,
      kControlTimeoutMs);
  if (error < 0) return TransferFailure(error);
  connected_ = connect;
  return Result();
}

CUsbChannel::~CUsbChannel() {
  if (connected_) (void)Connect(false);
  if (claimed_) libusb_release_interface(handle_, interface_);
  if (handle_ != nullptr) libusb_close(handle_);
}

Result CUsbChannel::Write(const std::uint8_t* bytes, std::size_t size) {
  std::vector<std::uint8_t> data(bytes, bytes + size);  // libusb takes no const buffer
  std::size_t sent = 0;
  while (sent < size) {
    int transferred = 0;
    const int error =
        libusb_bulk_transfer(handle_, out_, data.data() + sent, static_cast<int>(size - sent),
                             &transferred, kWriteTimeoutMs);
    sent += static_cast<std::size_t>(std::max(transferred, 0));
    if (error != 0 && !(error == LIBUSB_ERROR_TIMEOUT && transferred > 0))
      return loss_ = TransferFailure(error);
  }
  return Result();
}

// A read that times out with nothing is a quiet adapter, not a failure.
Result CUsbChannel::Read(std::vector<std::uint8_t>& arrived, std::int64_t deadline) {
  const std::int64_t left = deadline - clock_.Now();
  const auto timeoutMs = static_cast<unsigned>(std::max<std::int64_t>(1, left / 1000));
  std::uint8_t buffer[kReadBuffer];
  int transferred = 0;
  const int error =
      libusb_bulk_transfer(handle_, in_, buffer, kReadBuffer, &transferred, timeoutMs);
  arrived.insert(arrived.end(), buffer, buffer + std::max(transferred, 0));
  if (error != 0 && error != LIBUSB_ERROR_TIMEOUT) return loss_ = TransferFailure(error);
  return Result();
}
