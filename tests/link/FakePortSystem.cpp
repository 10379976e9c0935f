#include "FakePortSystem.h"

#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

namespace {
CFakePortSystem* active = nullptr;

std::filesystem::path MakeScratchFolder() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "korvantis-roads-XXXXXX").string();
  const char* made = ::mkdtemp(pattern.data());
  EXPECT_NE(made, nullptr) << "cannot make a scratch folder";
  return made ? std::filesystem::path(made) : std::filesystem::path();
}
}  // namespace

CFakePortSystem::CFakePortSystem() : scratch_(MakeScratchFolder()) {
  active = this;
  calls_.open = Open;
  calls_.ioctl = Ioctl;
  calls_.close = Close;
  calls_.ioperm = Ioperm;
  calls_.inb = Inb;
  calls_.outb = Outb;
  calls_.parportProcRoot = (scratch_ / "parport").string();
  calls_.deviceRoot = (scratch_ / "dev").string();
  // The kernel's folder also holds "default", which is not a port.
  std::filesystem::create_directories(scratch_ / "parport" / "default");
  std::filesystem::create_directories(scratch_ / "dev");
}

CFakePortSystem::~CFakePortSystem() {
  active = nullptr;
  std::error_code error;
  std::filesystem::remove_all(scratch_, error);
}

void CFakePortSystem::AddPort(unsigned number, const std::string& baseAddrText, CPortRoad& road) {
  const std::string name = "parport" + std::to_string(number);
  std::filesystem::create_directories(scratch_ / "parport" / name);
  std::ofstream(scratch_ / "parport" / name / "base-addr") << baseAddrText;
  Device& device = devices_[calls_.deviceRoot + "/" + name];
  device.number = number;
  device.road = &road;
}

void CFakePortSystem::FailOpen(unsigned number, int error) {
  devices_[calls_.deviceRoot + "/parport" + std::to_string(number)].openError = error;
}

void CFakePortSystem::FailClaim(unsigned number, int error) {
  devices_[calls_.deviceRoot + "/parport" + std::to_string(number)].claimError = error;
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

std::string CFakePortSystem::Name(const Device& device) const {
  return "parport" + std::to_string(device.number);
}

int CFakePortSystem::Open(const char* path, int) {
  const auto found = active->devices_.find(path);
  if (found == active->devices_.end() || found->second.road == nullptr) {
    return active->Fail(ENOENT);
  }
  active->log_.push_back("open " + active->Name(found->second));
  if (found->second.openError != 0) return active->Fail(found->second.openError);
  const int fd = active->nextDescriptor_++;
  active->descriptors_[fd].device = &found->second;
  return fd;
}

int CFakePortSystem::Ioctl(int fd, unsigned long request, void* argument) {
  const auto found = active->descriptors_.find(fd);
  if (found == active->descriptors_.end()) return active->Fail(EBADF);
  Descriptor& descriptor = found->second;
  Device& device = *descriptor.device;
  auto* byte = static_cast<unsigned char*>(argument);
  if (request == PPCLAIM) {
    active->log_.push_back("claim " + active->Name(device));
    if (device.claimError != 0) return active->Fail(device.claimError);
    descriptor.claimed = true;
    return 0;
  }
  if (request == PPRELEASE) {
    active->log_.push_back("release " + active->Name(device));
    descriptor.claimed = false;
    return 0;
  }
  if (!descriptor.claimed) {
    ++active->refusedAccesses_;
    return active->Fail(EINVAL);
  }
  if (request == PPWDATA) {
    device.road->WriteRegister(kDataRegister, *byte);
  } else if (request == PPWCONTROL) {
    device.road->WriteRegister(kControlRegister, *byte);
  } else if (request == PPRSTATUS) {
    *byte = device.road->ReadRegister(kStatusRegister);
  } else if (request == PPRDATA) {
    *byte = device.road->ReadRegister(kDataRegister);
  } else if (request == PPRCONTROL) {
    *byte = device.road->ReadRegister(kControlRegister);
  } else {
    return active->Fail(ENOTTY);
  }
  return 0;
}

int CFakePortSystem::Close(int fd) {
  const auto found = active->descriptors_.find(fd);
  if (found == active->descriptors_.end()) return active->Fail(EBADF);
  active->log_.push_back("close " + active->Name(*found->second.device));
  active->descriptors_.erase(found);
  return 0;
}

int CFakePortSystem::Ioperm(unsigned long from, unsigned long count, int turnOn) {
  active->log_.push_back("ioperm " + std::to_string(from) + " " + std::to_string(count) + " " +
                         std::to_string(turnOn));
  if (active->iopermError_ != 0) return active->Fail(active->iopermError_);
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
