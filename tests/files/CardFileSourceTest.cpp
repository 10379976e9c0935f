#include "CardFileSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScratchDirectory.h"

namespace {

// A folder of pairs in either case, a VMI whose VMS has another name, a VMS
// alone and a DCI file; sources are compared as "kind path vms", the paths
// without the folder.
class CardFileSourceTest : public ::testing::Test {
 protected:
  CardFileSourceTest() {
    for (const char* name :
         {"a.vmi", "a.vms", "c.vms", "c.VMI", "d.VMS", "d.vmi", "e.vmi", "lone.vms", "save.dci"})
      WriteBytes(scratch_.File(name), {1});
  }
  std::vector<std::string> Paths(const std::vector<std::string>& names) const {
    std::vector<std::string> paths;
    for (const std::string& name : names)
      paths.push_back(scratch_.File(name));
    return paths;
  }
  std::string Described(const CardFileSource& source) const {
    const char* kinds[] = {"dci", "pair", "alone"};
    const std::size_t folder = scratch_.File("").size();
    return kinds[static_cast<int>(source.kind)] + (" " + source.path.substr(folder)) + " " +
           (source.vms.empty() ? "-" : source.vms.substr(folder));
  }

  CScratchDirectory scratch_;
};

}  // namespace

TEST_F(CardFileSourceTest, EachPathIsADciFileAPairOrAVmsAlone) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"save.dci", "dci save.dci -"},
      {"a.vmi", "pair a.vmi a.vms"},
      {"a.vms", "pair a.vmi a.vms"},
      {"c.vms", "pair c.VMI c.vms"},  // the VMI beside it in the other case
      {"c.VMI", "pair c.VMI c.vms"},
      {"d.VMS", "pair d.vmi d.VMS"},
      {"e.vmi", "pair e.vmi -"},  // no VMS of its name: the one the VMI names
      {"lone.vms", "alone lone.vms -"},
      {"gone.vms", "alone gone.vms -"},  // not there either: its reading fails
  };
  for (const auto& [name, expected] : cases)
    EXPECT_EQ(Described(CardFileSourceOf(scratch_.File(name))), expected) << name;
}

TEST_F(CardFileSourceTest, AVmsNamedWithTheVmiBesideItCountsOnce) {
  std::vector<std::string> described;
  for (const CardFileSource& source : CardFileSourcesOf(
           Paths({"a.vms", "save.dci", "a.vmi", "c.VMI", "c.vms", "d.VMS", "e.vmi", "lone.vms"})))
    described.push_back(Described(source));
  EXPECT_EQ(described,
            (std::vector<std::string>{"dci save.dci -", "pair a.vmi a.vms", "pair c.VMI c.vms",
                                      "pair d.vmi d.VMS", "pair e.vmi -", "alone lone.vms -"}));
}
