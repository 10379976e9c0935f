#include "PpdevPortRoad.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "Messages.h"

namespace {
struct KnownPort {
  unsigned number;     // N of parportN
  unsigned long base;  // the first number of its base-addr
};

std::string Address(unsigned long base) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lX (%lu)", base, base);
  return text;
}

std::string PortName(unsigned number) {
  return "parport" + std::to_string(number);
}

// "parportN" with N decimal; the folder also holds "default", which is no port.
bool ParsePortName(const std::string& name, unsigned& number) {
  const std::string prefix = "parport";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string digits = name.substr(prefix.size());
  if (digits.size() > 6) return false;
  for (const char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  number = static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 10));
  return true;
}

// base-addr holds the base in decimal, then the port's second range (or 0):
// "888\t1912\n". Only the first number is the port the link means.
bool ReadBaseAddress(const std::filesystem::path& file, unsigned long& base) {
  std::ifstream in(file);
  return static_cast<bool>(in >> base);
}

std::vector<KnownPort> ListKnownPorts(const std::string& procRoot) {
  std::vector<KnownPort> ports;
  std::error_code error;
  std::filesystem::directory_iterator entry(procRoot, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    KnownPort port{};
    if (ParsePortName(entry->path().filename().string(), port.number) &&
        ReadBaseAddress(entry->path() / "base-addr", port.base)) {
      ports.push_back(port);
    }
  }
  std::sort(ports.begin(), ports.end(),
            [](const KnownPort& a, const KnownPort& b) { return a.number < b.number; });
  return ports;
}

std::string NoDeviceProblem(std::uint16_t base, const std::vector<KnownPort>& ports) {
  if (ports.empty()) return Fill(message::kNoPortKnown, {Address(base)});
  std::string known;
  for (const KnownPort& port : ports) {
    known += (known.empty() ? "" : ", ") +
             Fill(message::kKnownPort, {PortName(port.number), Address(port.base)});
  }
  return Fill(message::kNoPortAtAddress, {Address(base), known});
}

std::string OpenProblem(const std::string& devicePath, std::uint16_t base, int error) {
  if (error == EACCES || error == EPERM) return Fill(message::kPortPermission, {devicePath});
  if (error == ENOENT || error == ENODEV || error == ENXIO) {
    return Fill(message::kPortNoDevice, {Address(base), devicePath, std::strerror(error)});
  }
  return Fill(message::kPortCannotOpen, {devicePath, std::strerror(error)});
}

bool RegisterRequest(std::uint16_t offset, bool write, unsigned long& request) {
  switch (offset) {
    case kDataRegister:
      request = write ? PPWDATA : PPRDATA;
      return true;
    case kStatusRegister:
      // The status register is read-only; writing it is not a request ppdev knows.
      request = PPRSTATUS;
      return !write;
    case kControlRegister:
      request = write ? PPWCONTROL : PPRCONTROL;
      return true;
  }
  return false;
}
}  // namespace

bool CPpdevPortRoad::IsKnownAddress(std::uint16_t base, const SystemCalls& calls) {
  const std::vector<KnownPort> ports = ListKnownPorts(calls.parportProcRoot);
  return std::any_of(ports.begin(), ports.end(),
                     [base](const KnownPort& known) { return known.base == base; });
}

std::unique_ptr<CPpdevPortRoad> CPpdevPortRoad::Open(std::uint16_t base, const SystemCalls& calls,
                                                     Result& problem) {
  const std::vector<KnownPort> ports = ListKnownPorts(calls.parportProcRoot);
  const auto port = std::find_if(ports.begin(), ports.end(),
                                 [base](const KnownPort& known) { return known.base == base; });
  if (port == ports.end()) {
    problem = Result::Failure(NoDeviceProblem(base, ports));
    return nullptr;
  }

  const std::string devicePath = calls.deviceRoot + "/" + PortName(port->number);
  const int fd = calls.open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    problem =
        Result::Failure(OpenProblem(devicePath, base, error), static_cast<std::uint32_t>(error));
    return nullptr;
  }
  if (calls.ioctl(fd, PPCLAIM, nullptr) != 0) {
    const int error = errno;
    calls.close(fd);
    problem = Result::Failure(Fill(message::kPortCannotClaim, {devicePath, std::strerror(error)}),
                              static_cast<std::uint32_t>(error));
    return nullptr;
  }
  problem = Result();
  return std::make_unique<CPpdevPortRoad>(Key(), calls, fd, devicePath);
}

CPpdevPortRoad::CPpdevPortRoad(Key, const SystemCalls& calls, int fd, std::string device)
    : calls_(calls), fd_(fd), device_(std::move(device)) {}

CPpdevPortRoad::~CPpdevPortRoad() {
  calls_.ioctl(fd_, PPRELEASE, nullptr);
  calls_.close(fd_);
}

void CPpdevPortRoad::NoteFailure(int error) {
  if (failure_) {
    failure_ = Result::Failure(Fill(message::kPortRequestFailed, {device_, std::strerror(error)}),
                               static_cast<std::uint32_t>(error));
  }
}

Result CPpdevPortRoad::TakeFailure() {
  return std::exchange(failure_, Result());
}

// A failed request reads as 0, like a port that is not there, and is noted
// for the link, which then fails the transaction with the system's reason.
std::uint8_t CPpdevPortRoad::ReadRegister(std::uint16_t offset) {
  unsigned long request = 0;
  unsigned char value = 0;
  if (!RegisterRequest(offset, false, request)) return 0;
  if (calls_.ioctl(fd_, request, &value) != 0) {
    NoteFailure(errno);
    return 0;
  }
  return value;
}

void CPpdevPortRoad::WriteRegister(std::uint16_t offset, std::uint8_t value) {
  unsigned long request = 0;
  unsigned char byte = value;
  if (RegisterRequest(offset, true, request) && calls_.ioctl(fd_, request, &byte) != 0) {
    NoteFailure(errno);
  }
}
