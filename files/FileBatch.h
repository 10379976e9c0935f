#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CommandResult.h"
#include "FileCommands.h"
#include "UserPrompts.h"

class CVmuCard;
class CProgress;
class CUserPrompts;

// Several files in one command, under one progress window: each file as the
// single-file command does it, in order, stopping at the first that fails
// or is cancelled, with a message that says how many were done.

// A file of the name in the folder: replaced once the user agrees, or
// without asking, or never.
enum class Overwrite { Ask, Always, Never };

// The files into folder, each as DownloadFile checks it, named after its card
// file name made safe for the file system, distinct within the batch, with
// .dci (DistinctFileStem), or .vms and .vmi under a stem of at most 8 bytes,
// which the VMI names (DistinctShortStem). A regular file of the name
// is replaced as decided; one kept skips that card file. Anything else of the
// name, and what the user's CheckOutput refuses, skips it too. Every skip is
// named in a message, the other files are still downloaded, and the batch
// then fails. declined, if given, tells whether a file was kept as decided.
CommandResult DownloadFiles(CVmuCard& card, const std::vector<ListedFile>& files,
                            const std::string& folder, CardFileFormat format, CProgress& progress,
                            CUserPrompts& user, Overwrite overwrite = Overwrite::Ask,
                            Declined* declined = nullptr);
// The desktop's Download with several files selected: asks for the folder and
// the format in one choice, DCI offered.
CommandResult DownloadFiles(CVmuCard& card, const std::vector<ListedFile>& files,
                            CProgress& progress, CUserPrompts& user);

// The files at paths, each as UploadFile with its source (CardFileSourcesOf:
// a VMS named beside its own VMI counts once), with the same decisions.
CommandResult UploadFiles(CVmuCard& card, const std::vector<std::string>& paths,
                          CProgress& progress, CUserPrompts& user,
                          const UploadDecisions& decisions = UploadDecisions(),
                          Declined* declined = nullptr);
// The desktop's Upload: asks for one or several files.
CommandResult UploadFiles(CVmuCard& card, CProgress& progress, CUserPrompts& user,
                          const UploadDecisions& decisions = UploadDecisions());
