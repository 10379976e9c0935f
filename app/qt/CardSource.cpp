#include "CardSource.h"

#include "ImageTransport.h"
#include "SimulatedPortRoad.h"

Result OpenCardImage(const std::string& path, CardSource& source, ImageRoad road) {
  auto simulated = std::make_unique<CSimulatedCard>();
  const Result opened = simulated->OpenImage(path, ImageAccess::WriteIfAllowed);
  if (!opened) return opened;
  source.simulated = std::move(simulated);
  if (road == ImageRoad::Wire) {
    source.card =
        std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(*source.simulated));
  } else {
    source.card = std::make_unique<CVmuCard>(std::make_unique<CImageTransport>(*source.simulated));
  }
  source.imagePath = path;
  return Result();
}
