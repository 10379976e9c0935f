#pragma once

// What the user is shown when a file of theirs cannot be read or written.
// A failed write adds the system's reason in parentheses.
inline constexpr char kCannotReadFile[] = "File could not be read.";
inline constexpr char kCannotWriteFile[] = "File could not be created, or could not be written to.";
