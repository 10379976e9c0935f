#include "UserPrompts.h"

const FileKind kDciFileKind = {"DCI File (*.dci);;All Files (*)", "dci"};
const FileKind kDcmFileKind = {"DCM Backup (*.dcm);;All Files (*)", "dcm"};
const FileKind kCardImageFileKind = {"Card Image (*.bin *.vmu *.dcm);;All Files (*)", "bin"};
