#include "FakePortSystem.h"

#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <fstream>

namespace {
CFakePortSystem* active = nullptr;
}  // namespace

CFakePortSystem::CFakePortSystem() {
  active = this;
  calls_ = {Open, Ioctl, Close, Ioperm, Inb, Outb, scratch_.File("parport"), scratch_.File("dev")};
  // The kernel's folder also holds "default", which is not a port.
  std::filesystem::create_directories(scratch_.Path() / "parport" / "default");
}

CFakePortSystem::~CFakePortSystem() {
  active = nullptr;
}

void CFakePortSystem::AddPort(unsigned number, const std::string& baseAddrText, CPortRoad& road) {
  const auto folder = scratch_.Path() / "parport" / ("parport" + std::to_string(number));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "base-addr") << baseAddrText;
  devices_[number].road = &road;
}

void CFakePortSystem::SetPortInstructions(int error, CPortRoad* road) {
  iopermError_ = error;
  portInstructionRoad_ = road;
}

PortRoadChooser CFakePortSystem::Chooser() const {
  const SystemCalls calls = calls_;
  return [calls](std::uint16_t base) { return ChoosePortRoad(base, calls); };
}

int CFakePortSystem::Fail(int error) {
  errno = error;
  return -1;
}

int CFakePortSystem::Open(const char* path, int) {
  for (auto& [number, device] : active->devices_) {
    if (device.road == nullptr ||
        path != active->calls_.deviceRoot + "/parport" + std::to_string(number)) {
      continue;
    }
    active->log_.push_back("open parport" + std::to_string(number));
    if (device.openError != 0) return Fail(device.openError);
    active->descriptors_[active->nextDescriptor_] = {number, false};
    return active->nextDescriptor_++;
  }
  return Fail(ENOENT);
}

int CFakePortSystem::Ioctl(int fd, unsigned long request, void* argument) {
  const auto found = active->descriptors_.find(fd);
  if (found == active->descriptors_.end()) return Fail(EBADF);
  Descriptor& descriptor = found->second;
  const Device& device = active->devices_[descriptor.number];
  const std::string name = "parport" + std::to_string(descriptor.number);
  auto* byte = static_cast<unsigned char*>(argument);
  if (request == PPCLAIM || request == PPRELEASE) {
    active->log_.push_back((request == PPCLAIM ? "claim " : "release ") + name);
    if (request == PPCLAIM && device.claimError != 0) return Fail(device.claimError);
    descriptor.claimed = request == PPCLAIM;
    return 0;
  }
  if (!descriptor.claimed) {
    ++active->refusedAccesses_;
    return Fail(EINVAL);
  }
  if (request == active->failedRequest_ && active->requestsBeforeFailure_-- <= 0) {
    return Fail(active->requestError_);
  }
  if (request == PPWDATA) {
    device.road->WriteRegister(kDataRegister, *byte);
  } else if (request == PPWCONTROL) {
    device.road->WriteRegister(kControlRegister, *byte);
  } else if (request == PPRDATA) {
    *byte = device.road->ReadRegister(kDataRegister);
  } else if (request == PPRSTATUS) {
    *byte = device.road->ReadRegister(kStatusRegister);
  } else if (request == PPRCONTROL) {
    *byte = device.road->ReadRegister(kControlRegister);
  } else {
    return Fail(ENOTTY);
  }
  return 0;
}

int CFakePortSystem::Close(int fd) {
  const auto found = active->descriptors_.find(fd);
  if (found == active->descriptors_.end()) return Fail(EBADF);
  active->log_.push_back("close parport" + std::to_string(found->second.number));
  active->descriptors_.erase(found);
  return 0;
}

int CFakePortSystem::Ioperm(unsigned long from, unsigned long count, int turnOn) {
  active->log_.push_back("ioperm " + std::to_string(from) + " " + std::to_string(count) + " " +
                         std::to_string(turnOn));
  if (active->iopermError_ != 0) return Fail(active->iopermError_);
  active->allowedFrom_ = from;
  active->allowedCount_ = turnOn ? count : 0;
  return 0;
}

CPortRoad* CFakePortSystem::AllowedPort(unsigned short address, std::uint16_t& offset) {
  if (address < allowedFrom_ || address >= allowedFrom_ + allowedCount_) {
    ++refusedAccesses_;
    return nullptr;
  }
  offset = static_cast<std::uint16_t>(address - allowedFrom_);
  return portInstructionRoad_;
}

int CFakePortSystem::Inb(unsigned short address) {
  std::uint16_t offset = 0;
  CPortRoad* road = active->AllowedPort(address, offset);
  return road ? road->ReadRegister(offset) : 0xFF;
}

void CFakePortSystem::Outb(unsigned char value, unsigned short address) {
  std::uint16_t offset = 0;
  if (CPortRoad* road = active->AllowedPort(address, offset)) road->WriteRegister(offset, value);
}
