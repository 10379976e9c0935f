#include "PortRoadChooser.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "DirectPortRoad.h"
#include "Messages.h"
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
  std::string problem;
  if (auto road = CPpdevPortRoad::Open(base, calls, problem)) {
    return PortRoadChoice{std::move(road), std::string()};
  }
  // A port the kernel drives but would not hand over (held by another
  // program, or no permission) is not taken behind the kernel's back.
  if (CPpdevPortRoad::IsKnownAddress(base, calls)) {
    return PortRoadChoice{std::make_unique<CNoPortRoad>(), std::move(problem)};
  }
  int error = 0;
  std::string probeProblem;
  if (auto road = CDirectPortRoad::Open(base, calls, error, probeProblem)) {
    return PortRoadChoice{std::move(road), std::string()};
  }
  // Allowed but not answering: that the address holds no port comes first.
  if (!probeProblem.empty()) {
    problem = probeProblem + " " + problem;
  } else if (!IsOrdinaryRefusal(error)) {
    problem += " " + Fill(message::kDirectAccessRefused, {std::strerror(error)});
  }
  return PortRoadChoice{std::make_unique<CNoPortRoad>(), std::move(problem)};
}

PortRoadChooser SystemPortRoadChooser() {
  return [](std::uint16_t base) { return ChoosePortRoad(base, RealSystemCalls()); };
}
