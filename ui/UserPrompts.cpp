#include "UserPrompts.h"

#include <string>

const FileKind kCardFileKind = {"DCI files (*.dci);;VMS files (*.vms *.vmi);;All Files (*)", "dci"};
const FileKind kIconFileKind = {"PNG images (*.png);;Animated GIF images (*.gif)", "png"};
const FileKind kDcmFileKind = {"DCM Backup (*.dcm);;All Files (*)", "dcm"};
const FileKind kCardImageFileKind = {"Card Image (*.bin *.vmu *.vmd *.dcm);;All Files (*)", "bin"};
const FileKind kRestoreFileKind = {
    "DCM Backups and Card Images (*.dcm *.bin *.vmu *.vmd);;All Files (*)", "dcm"};
const FileKind kPictureFileKind = {"Pictures (*.png *.gif *.bmp *.jpg *.jpeg);;All Files (*)",
                                   "png"};

std::string FilterInEitherCase(const std::string& filter) {
  std::string shown;
  std::size_t at = 0;
  for (std::size_t open; (open = filter.find('(', at)) != std::string::npos;) {
    const std::size_t close = filter.find(')', open);
    if (close == std::string::npos) break;
    shown.append(filter, at, close - at);
    // Every "*.ext" between the parentheses, once more in upper case.
    for (std::size_t star = filter.find("*.", open); star < close;
         star = filter.find("*.", star + 1)) {
      std::string pattern = filter.substr(star, filter.find_first_of(" )", star) - star);
      bool lower = false;
      for (char& c : pattern) {
        lower = lower || (c >= 'a' && c <= 'z');
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
      if (lower) shown += " " + pattern;
    }
    at = close;
  }
  return shown + filter.substr(at);
}
