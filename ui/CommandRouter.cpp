#include "CommandRouter.h"

bool CCommandTable::Run(int id) const {
  const auto handler = handlers_.find(id);
  if (handler == handlers_.end()) return false;
  handler->second();
  return true;
}

bool CCommandTable::IsEnabled(int id) const {
  if (!Handles(id)) return false;
  const auto update = updates_.find(id);
  return update == updates_.end() || update->second();
}

const CCommandTable* CCommandRouter::Find(int id) const {
  for (const CCommandTable& table : tables_) {
    if (table.Handles(id)) return &table;
  }
  return nullptr;
}

bool CCommandRouter::Route(int id) const {
  const CCommandTable* table = Find(id);
  return table != nullptr && table->IsEnabled(id) && table->Run(id);
}

bool CCommandRouter::IsEnabled(int id) const {
  const CCommandTable* table = Find(id);
  return table != nullptr && table->IsEnabled(id);
}
