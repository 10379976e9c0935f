#pragma once

// What a command would otherwise ask the user is decided by the front end
// and passed in: the desktop passes Ask; the command line passes what its
// options say, Ask on a terminal without them, and No or Never where nobody
// can answer. No question is answered ahead and no answer is read back:
// what a command left undone because a decision went against it, it says
// itself (Declined), and the command line names the option from that.

// Whether a command that cannot be undone goes ahead: once the user agrees
// (No is the default), or because he already said so.
enum class Confirm { Ask, Yes };

// What a command left undone because the user answered No, or because the
// decision passed in was No or Never.
enum class Declined {
  Nothing,
  Confirm,     // the delete, the format, or the restore of a page no card can use
  Replace,     // an upload over a file of the same name on the page
  LoneVms,     // the upload of a VMS file that has no VMI beside it
  Defragment,  // moving data files away from the blocks a game needs
  Overwrite,   // a download into a folder over a file of the same name
};

// For callers that want to know (declined given).
inline void NoteDeclined(Declined* declined, Declined what) {
  if (declined != nullptr) *declined = what;
}
