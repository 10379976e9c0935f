#include "LinkOptions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "CommandLine.h"
#include "LinkCheckCommandLine.h"
#include "NoPortRoad.h"
#include "VmuLink.h"

namespace {

using Arguments = std::vector<std::string>;

// What each program would make of the arguments: the exit status of a
// refused command line, or 0 and the link's port, timeout and delay.
using Reading = std::tuple<int, std::uint16_t, std::uint32_t, std::uint32_t>;

Reading ApplyTo(const LinkOptions& options) {
  CVmuLink link([](std::uint16_t) {
    return PortRoadChoice{std::make_unique<CNoPortRoad>(), Result()};
  });
  if (options.port) link.SetPort(*options.port);
  ApplyLinkOptions(options, link);
  return Reading{0, link.GetPort(), link.GetTimeout(), link.GetDelayFactor()};
}

Reading AsCli(Arguments arguments) {
  arguments.push_back("list");
  CliRequest request;
  int status = 0;
  std::ostringstream out, err;
  if (!ParseCommandLine(arguments, request, status, out, err)) return Reading{status, 0, 0, 0};
  return ApplyTo(request.link);
}

Reading AsLinkCheck(const Arguments& arguments) {
  LinkOptions options;
  int status = 0;
  std::ostringstream out, err;
  if (!ParseLinkCheckCommandLine(arguments, options, status, out, err))
    return Reading{status, 0, 0, 0};
  return ApplyTo(options);
}

// A leading zero is no octal, and a timeout too long for the link's 32 bits
// of microseconds is its longest, not a short one.
TEST(LinkOptions, BothCommandLineProgramsReadThemAlike) {
  const std::pair<Arguments, Reading> cases[] = {
      {{"--port", "010", "--timeout", "5000", "--delay", "007"}, {0, 10, 4294967295u, 7}},
      {{"--port", "0x3bc", "--timeout", "4294", "--delay", "0"}, {0, 0x3BC, 4294000000u, 0}},
      {{"--port", "0x10000"}, {2, 0, 0, 0}},
      {{"--port", "65536"}, {2, 0, 0, 0}},
      {{"--timeout", "-1"}, {2, 0, 0, 0}},
      {{"--delay", "0x10"}, {2, 0, 0, 0}},
      {{"--timeout", "4294967296"}, {2, 0, 0, 0}},
  };
  for (const auto& [arguments, expected] : cases) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    EXPECT_EQ(AsCli(arguments), expected);
    EXPECT_EQ(AsLinkCheck(arguments), expected);
  }
}

}  // namespace
