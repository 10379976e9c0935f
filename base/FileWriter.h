#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FileCalls.h"
#include "Result.h"

// The one way the program writes a user's file. The bytes go to a new file
// beside the target, reach the disk, and only then take the target's name, so
// the name holds either its old content or all of the new one, whatever
// happens in between; a failure removes the temporary file and nothing else.
// A failure's message is message::kCannotWrite with the system's reason in
// parentheses, "(No space left on device)".

// Writes bytes as the whole content of path. An existing regular file that the
// user may write is replaced and keeps its permissions (and owner, where the
// system lets us); other hard links to it keep the old content. A symbolic
// link to one stays a link and its file is replaced. A character device or a
// pipe (a terminal, /dev/null, a shell's process substitution) is written
// straight through, since it has no content to keep, and is never removed. A
// folder, a block device, a socket or a link to nothing is refused.
Result WriteFileReplacing(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                          const FileCalls& calls = RealFileCalls());

// One file of several written together.
struct FileContent {
  std::string path;
  const std::uint8_t* bytes;
  std::size_t size;
};

// Writes each file as WriteFileReplacing does, all or none: every file's
// bytes are in a temporary file beside it before any takes its name, so a
// file that cannot be written (a VMI beside its VMS) leaves all of them as
// they were. A device or pipe among them is written after the others' bytes
// are safe and before the renames.
Result WriteFilesReplacing(const std::vector<FileContent>& files,
                           const FileCalls& calls = RealFileCalls());

// Writes bytes as a new file, and refuses, leaving it as it is, anything that
// already has the name, even when it appears while the bytes are written:
// "<path> already exists; it is left as it is."
Result WriteNewFile(const std::string& path, const std::uint8_t* bytes, std::size_t size,
                    const FileCalls& calls = RealFileCalls());

// Whether anything has the name path, a symbolic link to nothing included: an
// output there is kept unless the user says to replace it.
bool NameIsTaken(const std::string& path);
