#include "PortRoadChooser.h"

#include <cerrno>
#include <utility>

#include "DirectPortRoad.h"
#include "NoPortRoad.h"
#include "PpdevPortRoad.h"

namespace {
// Without root the kernel always refuses the port instructions, and on some
// machines they do not exist or not at every address; saying so would only
// hide the ppdev reason, which tells the user what to do.
bool IsOrdinaryRefusal(int error) {
  return error == EPERM || error == EACCES || error == ENOSYS || error == EINVAL;
}
}  // namespace

PortRoadChoice ChoosePortRoad(std::uint16_t base, const SystemCalls& calls) {
  Result problem;
  if (auto road = CPpdevPortRoad::Open(base, calls, problem)) {
    return PortRoadChoice{std::move(road), Result()};
  }
  // A port the kernel drives but would not hand over (held by another
  // program, or no permission) is not taken behind the kernel's back.
  if (CPpdevPortRoad::IsKnownAddress(base, calls)) {
    return PortRoadChoice{std::make_unique<CNoPortRoad>(), std::move(problem)};
  }
  Result direct;
  if (auto road = CDirectPortRoad::Open(base, calls, direct)) {
    return PortRoadChoice{std::move(road), Result()};
  }
  // Allowed but not answering: that the address holds no port comes first.
  if (direct.Code() == 0) {
    problem = Result::Failure(direct.Message() + " " + problem.Message(), problem.Code());
  } else if (!IsOrdinaryRefusal(static_cast<int>(direct.Code()))) {
    problem = Result::Failure(problem.Message() + " " + direct.Message(), problem.Code());
  }
  return PortRoadChoice{std::make_unique<CNoPortRoad>(), std::move(problem)};
}

PortRoadChooser SystemPortRoadChooser() {
  return [](std::uint16_t base) { return ChoosePortRoad(base, RealSystemCalls()); };
}
