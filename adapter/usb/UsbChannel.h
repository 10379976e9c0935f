#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AdapterClock.h"
#include "ByteChannel.h"
#include "Result.h"
#include "UsbAdapters.h"
#include "UsbContext.h"

struct libusb_device_handle;

// The adapter's vendor interface for host programs, as a byte channel. Open
// claims the lowest-numbered vendor-class interface (7 on the firmware we
// know) and sends the connect request; the channel's end sends the
// disconnect request and releases the interface. Only those two control
// requests are ever sent: never the adapter's reboot, reset or settings ones.
class CUsbChannel : public CByteChannel {
 public:
  // The adapter chosen as ChooseUsbAdapter chooses; clock gives Read's
  // deadlines their meaning and must outlive the channel.
  static Result Open(const std::string& serial, CAdapterClock& clock,
                     std::unique_ptr<CUsbChannel>& channel);
  ~CUsbChannel() override;

  const UsbAdapter& GetAdapter() const { return adapter_; }
  Result Write(const std::uint8_t* bytes, std::size_t size) override;
  Result Read(std::vector<std::uint8_t>& arrived, std::int64_t deadline) override;
  bool ShowsCardsAsDrive() const override { return adapter_.showsDrive; }
  const Result& GetLoss() const override { return loss_; }

 private:
  explicit CUsbChannel(CAdapterClock& clock) : clock_(clock) {}
  Result Claim(const UsbAdapter& adapter);
  Result Connect(bool connect);

  CAdapterClock& clock_;
  CUsbContext context_;
  UsbAdapter adapter_;
  libusb_device_handle* handle_ = nullptr;
  int interface_ = -1;
  bool claimed_ = false;
  bool connected_ = false;
  Result loss_;           // the failed transfer that ended the connection
  std::uint8_t out_ = 0;  // bulk OUT endpoint
  std::uint8_t in_ = 0;   // bulk IN endpoint
};
