#pragma once

#include <string>

// The operating-system calls that the hardware port roads make, gathered in one
// table so that tests can run the roads' real code against a simulated card.
// Each call follows the POSIX convention: -1 and errno on failure.
struct SystemCalls {
  int (*open)(const char* path, int flags);
  int (*ioctl)(int fd, unsigned long request, void* argument);
  int (*close)(int fd);
  int (*ioperm)(unsigned long from, unsigned long count, int turnOn);
  int (*inb)(unsigned short address);  // returns the byte read
  void (*outb)(unsigned char value, unsigned short address);

  std::string parportProcRoot = "/proc/sys/dev/parport";  // holds parportN/base-addr
  std::string deviceRoot = "/dev";                        // holds parportN
};

// The calls of this machine.
const SystemCalls& RealSystemCalls();
