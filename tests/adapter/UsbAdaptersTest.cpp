#include "UsbAdapters.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include "Messages.h"
#include "UsbContext.h"

TEST(UsbAdapters, FirmwareVersionsReadAsTheReleaseNumberGivesThem) {
  EXPECT_EQ(FirmwareText(0x0124), "1.2.4");
  EXPECT_EQ(FirmwareText(0x1231), "12.3.1");
  EXPECT_EQ(FirmwareText(usb_adapter::kOldestFirmware), "1.2.1");
}

// The one adapter attached is used; a serial chooses among several; each way
// to fail says which adapters there are or what is wrong with the one named.
TEST(UsbAdapters, ChoosingOneNamesWhatIsMissingOrTooOld) {
  const UsbAdapter a{"E6614103E73F8D2A", 0x0124}, b{"E66141040B4F2C21", 0x0121};
  UsbAdapter chosen;
  ASSERT_TRUE(ChooseUsbAdapter({a}, "", chosen));
  EXPECT_EQ(chosen.serial, a.serial);
  ASSERT_TRUE(ChooseUsbAdapter({a, b}, b.serial, chosen));
  EXPECT_EQ(chosen.serial, b.serial);

  EXPECT_EQ(ChooseUsbAdapter({}, "", chosen).Message(), message::kUsbNoAdapter.text);
  EXPECT_EQ(ChooseUsbAdapter({a, b}, "", chosen).Message(),
            Fill(message::kUsbSeveralAdapters, {a.serial + ", " + b.serial}));
  EXPECT_EQ(ChooseUsbAdapter({a}, "ABC", chosen).Message(),
            Fill(message::kUsbAdapterNotFound, {"ABC"}));
  EXPECT_EQ(ChooseUsbAdapter({UsbAdapter{"OLD", 0x0120}}, "", chosen).Message(),
            Fill(message::kUsbFirmwareTooOld, {"OLD", "1.2.0"}));
  EXPECT_EQ(chosen.serial, b.serial);  // left as it was by every refusal
}

TEST(UsbAdapters, OpeningFailuresSayWhatTheUserCanDo) {
  EXPECT_EQ(UsbOpenMessage(LIBUSB_ERROR_ACCESS, "S"), Fill(message::kUsbNoPermission, {"S"}));
  EXPECT_EQ(UsbOpenMessage(LIBUSB_ERROR_BUSY, "S"), Fill(message::kUsbAdapterBusy, {"S"}));
  EXPECT_EQ(UsbOpenMessage(LIBUSB_ERROR_NO_DEVICE, "S"), Fill(message::kUsbAdapterNotFound, {"S"}));
}

// Mass storage (interface 4, off by default) among the gamepads, serial ports
// and vendor interfaces: the cards are a USB drive to the computer too.
TEST(UsbAdapters, MassStorageAmongTheInterfacesShowsTheCardsAsADrive) {
  EXPECT_FALSE(HasMassStorage({0x03, 0x03, 0x02, 0x0A, 0xFF, 0xFF}));
  EXPECT_TRUE(HasMassStorage({0x03, usb_adapter::kMassStorageClass, 0x02, 0x0A, 0xFF}));
  EXPECT_FALSE(HasMassStorage({}));
}
