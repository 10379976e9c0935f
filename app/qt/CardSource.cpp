#include "CardSource.h"

#include "SimulatedPortRoad.h"

Result OpenCardImage(const std::string& path, CardSource& source) {
  auto simulated = std::make_unique<CSimulatedCard>();
  const Result opened = simulated->OpenImage(path, ImageAccess::WriteIfAllowed);
  if (!opened) return opened;
  source.simulated = std::move(simulated);
  source.card = std::make_unique<CVmuCard>(std::make_unique<CSimulatedPortRoad>(*source.simulated));
  source.imagePath = path;
  return Result();
}
