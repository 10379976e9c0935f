#include "WireTrace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <streambuf>
#include <system_error>
#include <utility>

#include "FileWriter.h"
#include "Messages.h"

// The trace's file: lines gather in a buffer and go to the file descriptor in
// one write when it is full or flushed. The first failure is kept, and the
// stream that writes through it then goes bad and stays so.
class CWireTrace::CFileSink : public std::streambuf {
 public:
  explicit CFileSink(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  ~CFileSink() override { ::close(fd_); }

  CFileSink(const CFileSink&) = delete;
  CFileSink& operator=(const CFileSink&) = delete;

  int GetError() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    const char* next = pbase();
    while (error_ == 0 && next < pptr()) {
      const ssize_t written = ::write(fd_, next, static_cast<std::size_t>(pptr() - next));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        error_ = written < 0 ? errno : EIO;
        break;
      }
      next += written;
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return error_ == 0;
  }

  int fd_;
  int error_ = 0;
  char buffer_[8192];
};

CWireTrace::CWireTrace(std::unique_ptr<std::ostream> out) : out_(std::move(out)) {}

CWireTrace::~CWireTrace() {
  Flush();
  out_.reset();  // the stream goes before the buffer it writes to
}

Result CWireTrace::OpenFile(const std::string& path, bool replace,
                            std::unique_ptr<CWireTrace>& out) {
  auto failure = [&path](const std::string& reason) {
    return Result::Failure(Fill(message::kCannotWriteTrace, {path, reason}));
  };
  if (!replace && NameIsTaken(path)) {
    return Result::Failure(Fill(message::kWouldReplace, {path}));
  }
  // O_EXCL also refuses a name that appears meanwhile, and a link to nothing.
  // A pipe nobody reads is refused (ENXIO) rather than waited for.
  const int flags =
      O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (replace ? O_TRUNC : O_EXCL);
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == EEXIST) return Result::Failure(Fill(message::kWouldReplace, {path}));
    return failure(std::generic_category().message(error));
  }
  const int mode = ::fcntl(fd, F_GETFL);
  if (mode < 0 || ::fcntl(fd, F_SETFL, mode & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    return failure(std::generic_category().message(error));
  }
  auto sink = std::make_unique<CFileSink>(fd);
  auto trace = std::make_unique<CWireTrace>(std::make_unique<std::ostream>(sink.get()));
  trace->sink_ = std::move(sink);
  trace->path_ = path;
  out = std::move(trace);
  return Result();
}

Result CWireTrace::CheckOutput(const std::string& tracePath, const std::string& path) {
  struct stat trace {};
  struct stat output {};
  // A trace on a terminal or a pipe has no content to lose.
  if (tracePath.empty() || ::stat(tracePath.c_str(), &trace) != 0 || !S_ISREG(trace.st_mode) ||
      ::stat(path.c_str(), &output) != 0 || trace.st_dev != output.st_dev ||
      trace.st_ino != output.st_ino) {
    return Result();
  }
  return Result::Failure(Fill(message::kTraceIsOutput, {path}));
}

void CWireTrace::Record(char kind, std::uint16_t offset, std::uint8_t value) {
  static const char kHex[] = "0123456789abcdef";
  const char line[] = {
      kind, ' ', static_cast<char>('0' + offset % 10), ' ', kHex[value >> 4], kHex[value & 0x0F],
      '\n'};
  out_->write(line, sizeof line);
}

void CWireTrace::Flush() {
  if (out_) out_->flush();
}

Result CWireTrace::GetResult() const {
  if (out_->good()) return Result();
  const int error = sink_ ? sink_->GetError() : 0;
  return Result::Failure(Fill(message::kTraceNotWritten,
                              {path_, error != 0 ? std::generic_category().message(error)
                                                 : std::string(message::kTraceWriteFailed.text)}));
}
