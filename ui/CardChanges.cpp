#include "CardChanges.h"

#include <algorithm>
#include <iterator>

#include "CommandIds.h"

namespace {
// Those that rewrite more than the files the user names keep a copy of the
// page as it was.
constexpr int kWithCopy[] = {command::kRestore, command::kFormat, command::kDefragment,
                             command::kRepair};
constexpr int kWithoutCopy[] = {command::kUpload, command::kDelete, command::kSetIcon};

bool Holds(const int* begin, const int* end, int id) {
  return std::find(begin, end, id) != end;
}
}  // namespace

bool TakesSafetyCopy(int id) {
  return Holds(std::begin(kWithCopy), std::end(kWithCopy), id);
}

bool ChangesCard(int id) {
  return TakesSafetyCopy(id) || Holds(std::begin(kWithoutCopy), std::end(kWithoutCopy), id);
}
