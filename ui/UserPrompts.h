#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Result.h"

// A kind of file the user is asked to choose: its filter and default suffix.
struct FileKind {
  const char* filter;         // "DCI File (*.dci);;All Files (*)"
  const char* defaultSuffix;  // "dci"
};

// A card file to download or upload: DCI, or a VMS/VMI pair.
extern const FileKind kCardFileKind;
extern const FileKind kDcmFileKind;
extern const FileKind kIconFileKind;       // .png or .gif
extern const FileKind kCardImageFileKind;  // .bin, .vmu, .vmd or .dcm
extern const FileKind kRestoreFileKind;    // a DCM backup or a card image
extern const FileKind kPictureFileKind;    // a picture the card's icon is made from

// How a card file is saved: one DCI file, or a VMS file with its VMI beside it.
enum class CardFileFormat { Dci, Vms };

// A file chooser's filter that also shows names in upper case: each pattern
// "*.dci" gains "*.DCI", since file choosers match names case by case and
// saves copied from consoles' tools are named in upper case.
std::string FilterInEitherCase(const std::string& filter);

// What the commands ask of the person using the program. Messages have an OK
// button only; a file choice the user dismisses returns false; a question is
// answered yes or no, and dismissing it is the answer it offers first.
class CUserPrompts {
 public:
  virtual ~CUserPrompts() = default;

  virtual void ShowMessage(const std::string& text) = 0;
  virtual bool ChooseFileToOpen(const FileKind& kind, std::string& path) = 0;
  // The chooser asks before an existing file is replaced. A path given is the
  // name the command suggests, which the chooser offers first.
  virtual bool ChooseFileToSave(const FileKind& kind, std::string& path) = 0;
  // Several existing files at once; by default one, as ChooseFileToOpen.
  virtual bool ChooseFilesToOpen(const FileKind& kind, std::vector<std::string>& paths) {
    std::string path;
    if (!ChooseFileToOpen(kind, path)) return false;
    paths = {path};
    return true;
  }
  // An existing folder; front ends without a folder chooser have none.
  virtual bool ChooseFolder(std::string& /*path*/) { return false; }
  // The folder several card files go into and the format they are saved in;
  // format comes in as the one to offer. By default only the folder is asked
  // and the format stays as offered.
  virtual bool ChooseFolderAndFormat(std::string& folder, CardFileFormat& /*format*/) {
    return ChooseFolder(folder);
  }
  // True for yes. defaultYes: the answer Return gives and dismissing gives.
  virtual bool AskYesNo(const std::string& question, bool defaultYes) = 0;
  // One of the pages (1 to pages) of the file, which holds several; false when
  // none is chosen. A front end that cannot ask chooses none, since any page
  // it picked could be the wrong one.
  virtual bool ChoosePage(const std::string& /*file*/, std::uint16_t /*pages*/,
                          std::uint16_t& /*page*/) {
    return false;
  }

  // Whether a command may write the file path, which it named itself (a
  // download into a folder): never what the command is reading or writing
  // besides, such as the card image or the wire trace, by whatever name or
  // link. The failure is the message for the user. The front end knows what
  // is in use; by default nothing is.
  virtual Result CheckOutput(const std::string& /*path*/) { return Result(); }

  // The link is about to work outside the progress window (the reads before
  // it opens, the writes after it closed), during which the program cannot
  // answer; the front end may show that it is busy until the matching
  // EndBusy. Calls nest. A message or question shown meanwhile is no longer
  // busy.
  virtual void BeginBusy() {}
  virtual void EndBusy() {}
};

// Busy for the life of the scope.
class CBusyScope {
 public:
  explicit CBusyScope(CUserPrompts& user) : user_(user) { user_.BeginBusy(); }
  ~CBusyScope() { user_.EndBusy(); }
  CBusyScope(const CBusyScope&) = delete;
  CBusyScope& operator=(const CBusyScope&) = delete;

 private:
  CUserPrompts& user_;
};
