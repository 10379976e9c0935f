#include "OutputGuard.h"

bool COutputGuard::ChooseFileToSave(const FileKind& kind, std::string& path) {
  std::string chosen = path;
  if (!user_->ChooseFileToSave(kind, chosen)) return false;
  const Result allowed = CheckOutput(chosen);
  if (!allowed) {
    user_->ShowMessage(allowed.Message());
    return false;
  }
  path = chosen;
  return true;
}
