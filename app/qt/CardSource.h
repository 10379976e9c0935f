#pragma once

#include <memory>
#include <string>

#include "Result.h"
#include "SimulatedCard.h"
#include "VmuCard.h"

// How a card image is reached: read and written as a file, or through the
// simulated parallel wire, which a wire trace needs.
enum class ImageRoad { File, Wire };

// The card the desktop program works on: a card object over the parallel
// port, or over a simulated card whose memory is a card image file.
struct CardSource {
  std::unique_ptr<CSimulatedCard> simulated;  // the image's card; must outlive the card object
  std::unique_ptr<CVmuCard> card;
  std::string imagePath;  // empty on the port
};

// Fills an empty source with a card object over the card image at path
// (.dcm, .bin, .vmu or .vmd), reached by road. A file that cannot be a card
// image changes nothing.
Result OpenCardImage(const std::string& path, CardSource& source, ImageRoad road = ImageRoad::File);
