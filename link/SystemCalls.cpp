#include "SystemCalls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

// The port instructions exist only on the x86 family; elsewhere the direct road
// is refused the way a kernel without them refuses it.
#if defined(__linux__) && (defined(__i386__) || defined(__x86_64__))
#include <sys/io.h>
#define KORVANTIS_HAS_PORT_INSTRUCTIONS 1
#else
#define KORVANTIS_HAS_PORT_INSTRUCTIONS 0
#endif

namespace {
int OpenFile(const char* path, int flags) {
  return ::open(path, flags);
}

int ControlDevice(int fd, unsigned long request, void* argument) {
  return ::ioctl(fd, request, argument);
}

int CloseFile(int fd) {
  return ::close(fd);
}

#if KORVANTIS_HAS_PORT_INSTRUCTIONS
int AllowPorts(unsigned long from, unsigned long count, int turnOn) {
  return ::ioperm(from, count, turnOn);
}

int ReadPortByte(unsigned short address) {
  return ::inb(address);
}

void WritePortByte(unsigned char value, unsigned short address) {
  ::outb(value, address);
}
#else
int AllowPorts(unsigned long, unsigned long, int) {
  errno = ENOSYS;
  return -1;
}

int ReadPortByte(unsigned short) {
  return 0xFF;
}

void WritePortByte(unsigned char, unsigned short) {}
#endif

SystemCalls MakeRealSystemCalls() {
  SystemCalls calls;
  calls.open = OpenFile;
  calls.ioctl = ControlDevice;
  calls.close = CloseFile;
  calls.ioperm = AllowPorts;
  calls.inb = ReadPortByte;
  calls.outb = WritePortByte;
  return calls;
}
}  // namespace

const SystemCalls& RealSystemCalls() {
  static const SystemCalls calls = MakeRealSystemCalls();
  return calls;
}
