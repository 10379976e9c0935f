#include "ListAdapters.h"

#include <gtest/gtest.h>

#include <sstream>

#include "Messages.h"

// One line per adapter: its cards, or why it could not be asked; an adapter
// too old is never opened.
TEST(ListAdapters, NamesEachAdaptersCardsOrWhyNot) {
  std::ostringstream out, err;
  EXPECT_EQ(ListAdapters({}, nullptr, out, err), 1);
  EXPECT_EQ(err.str(), std::string(message::kUsbNoAdapter.text) + "\n");

  std::vector<std::string> asked;
  const FindAdapterCards find = [&asked](const UsbAdapter& adapter, std::vector<CardSlot>& cards) {
    asked.push_back(adapter.serial);
    if (adapter.serial == "BUSY") return Result::Failure(Fill(message::kUsbAdapterBusy, {"BUSY"}));
    if (adapter.serial == "TWO") cards = {CardSlot{0, 1}, CardSlot{3, 2}};
    return Result();
  };
  out.str("");
  EXPECT_EQ(
      ListAdapters({{"TWO", 0x0124}, {"NONE", 0x0121, true}, {"BUSY", 0x0124}, {"OLD", 0x0110}},
                   find, out, err),
      1);
  EXPECT_EQ(out.str(),
            "TWO  firmware 1.2.4  cards: A1 D2\n"
            "NONE  firmware 1.2.1  also a USB drive  cards: none\n"
            "BUSY  firmware 1.2.4  " +
                Fill(message::kUsbAdapterBusy, {"BUSY"}) +
                "\n"
                "OLD  firmware 1.1.0  " +
                Fill(message::kUsbFirmwareTooOld, {"OLD", "1.1.0"}) + "\n");
  EXPECT_EQ(asked, (std::vector<std::string>{"TWO", "NONE", "BUSY"}));
}
