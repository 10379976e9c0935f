#include "UserPrompts.h"

const FileKind kDciFileKind = {"DCI File (*.dci);;All Files (*)", "dci"};
const FileKind kDcmFileKind = {"DCM Backup (*.dcm);;All Files (*)", "dcm"};
