#include "UserPrompts.h"

const FileKind kCardFileKind = {"DCI files (*.dci);;VMS files (*.vms *.vmi);;All Files (*)", "dci"};
const FileKind kIconFileKind = {"PNG images (*.png);;Animated GIF images (*.gif)", "png"};
const FileKind kDcmFileKind = {"DCM Backup (*.dcm);;All Files (*)", "dcm"};
const FileKind kCardImageFileKind = {"Card Image (*.bin *.vmu *.dcm);;All Files (*)", "bin"};
const FileKind kRestoreFileKind = {"DCM Backups and Card Images (*.dcm *.bin *.vmu);;All Files (*)",
                                   "dcm"};
const FileKind kPictureFileKind = {"Pictures (*.png *.gif *.bmp *.jpg *.jpeg);;All Files (*)",
                                   "png"};
