#pragma once

#include <cerrno>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "PortRoad.h"
#include "PortRoadChooser.h"
#include "ScratchDirectory.h"
#include "SystemCalls.h"

// A machine for the port roads' tests: a /proc-like folder of parallel ports
// in a scratch folder, and open/ioctl/close and port-instruction calls that
// lead to roads the test wires up (a simulated card), recording what was done.
// One may exist at a time: the calls are plain functions that find it through
// a file-static pointer.
class CFakePortSystem {
 public:
  CFakePortSystem();
  ~CFakePortSystem();

  // Lists parportN with this base-addr text; its device reaches road.
  void AddPort(unsigned number, const std::string& baseAddrText, CPortRoad& road);
  // Makes opening or claiming parportN fail with an errno value (0: succeed).
  void FailOpen(unsigned number, int error) { devices_[number].openError = error; }
  void FailClaim(unsigned number, int error) { devices_[number].claimError = error; }
  // Makes every register request of this kind fail with error once after
  // more have succeeded, as when the port goes away (request 0: none fails).
  void FailRequests(unsigned long request, int error, int after) {
    failedRequest_ = request;
    requestError_ = error;
    requestsBeforeFailure_ = after;
  }
  // ioperm succeeds (error 0) and the port instructions then reach road, or
  // it fails with error.
  void SetPortInstructions(int error, CPortRoad* road);

  const SystemCalls& Calls() const { return calls_; }
  PortRoadChooser Chooser() const;  // ChoosePortRoad with these calls

  // "open parport1", "claim parport1", "release parport1", "close parport1",
  // "ioperm 632 3 1"; register accesses are counted, not logged.
  const std::vector<std::string>& Log() const { return log_; }
  std::size_t OpenDevices() const { return descriptors_.size(); }
  // Register accesses the kernel would refuse: an unclaimed device, a port
  // outside the ones ioperm allowed.
  int RefusedAccesses() const { return refusedAccesses_; }

 private:
  struct Device {
    CPortRoad* road = nullptr;
    int openError = 0;
    int claimError = 0;
  };
  struct Descriptor {
    unsigned number = 0;
    bool claimed = false;
  };

  static int Open(const char* path, int flags);
  static int Ioctl(int fd, unsigned long request, void* argument);
  static int Close(int fd);
  static int Ioperm(unsigned long from, unsigned long count, int turnOn);
  static int Inb(unsigned short address);
  static void Outb(unsigned char value, unsigned short address);
  static int Fail(int error);
  CPortRoad* AllowedPort(unsigned short address, std::uint16_t& offset);

  CScratchDirectory scratch_;
  SystemCalls calls_;
  std::map<unsigned, Device> devices_;  // by port number
  std::map<int, Descriptor> descriptors_;
  int nextDescriptor_ = 10;
  std::vector<std::string> log_;
  int refusedAccesses_ = 0;
  int iopermError_ = EPERM;
  unsigned long failedRequest_ = 0;
  int requestError_ = 0;
  int requestsBeforeFailure_ = 0;
  CPortRoad* portInstructionRoad_ = nullptr;
  unsigned long allowedFrom_ = 0;
  unsigned long allowedCount_ = 0;
};
