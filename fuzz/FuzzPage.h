#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "CardFormat.h"
#include "FuzzCheck.h"
#include "PageImage.h"
#include "SimulatedCard.h"

// How the targets whose input is a card page take it.

// The input as a page in storage order, the order of .bin, .vmu and .vmd images, so
// real images serve as seeds unchanged. A shorter input is the end of a page:
// the root block, the allocation table and the directory lie at the top, so
// even a few kilobytes reach them. The missing low bytes are 0x00.
inline CPageImage PageFromInput(const std::uint8_t* data, std::size_t size) {
  size = std::min<std::size_t>(size, card_format::kPageSize);
  CPageImage page;
  std::memcpy(page.GetData() + card_format::kPageSize - size, data, size);
  return page;
}

// The simulated card keeps its pages in wire order.
inline void PutPage(CSimulatedCard& sim, CPageImage page) {
  card_format::ReverseGroups(page.GetData(), card_format::kPageSize);
  std::memcpy(sim.GetPage(0), page.GetData(), card_format::kPageSize);
}
inline CPageImage PageOf(CSimulatedCard& sim) {
  CPageImage page;
  std::memcpy(page.GetData(), sim.GetPage(0), card_format::kPageSize);
  card_format::ReverseGroups(page.GetData(), card_format::kPageSize);
  return page;
}
