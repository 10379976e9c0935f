#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FileCalls.h"
#include "Result.h"

// The one way the program opens a user's file to read it: a DCI or DCM file,
// a card image, the settings file. Only a regular file is taken. A pipe, a
// device, a socket or a folder is refused at once and never waited on, since
// opening or reading one can block for ever or do something of its own.
// A failure's message is the reason alone, in the user's words ("No such
// file or directory", "It is a pipe, not a file"); the caller names the file.

// Whether path leads to a regular file, with the reason when it does not;
// nothing is opened, so a pipe or a device is neither waited on nor woken.
Result CheckRegularFile(const std::string& path);

// Opens path with flags (O_RDONLY or O_RDWR; the call adds O_CLOEXEC and
// O_NOCTTY) and puts the descriptor, which then blocks as usual, in fd.
Result OpenRegularFile(const std::string& path, int flags, int& fd,
                       const FileCalls& calls = RealFileCalls());

// Reads from fd into bytes until size bytes or the end of the file; done
// counts what was read.
Result ReadUpTo(int fd, std::uint8_t* bytes, std::size_t size, std::size_t& done,
                const FileCalls& calls = RealFileCalls());

// The first maxSize bytes of the file at path, or all of a shorter one.
Result ReadRegularFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                       std::size_t maxSize, const FileCalls& calls = RealFileCalls());
