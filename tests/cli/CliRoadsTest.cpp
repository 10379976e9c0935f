// Every command that reaches a card, on a copy of a real card image, by each
// road korvantis-cli has to an image: read as a file, through the simulated
// parallel wire, and in a slot of the simulated USB adapter. Each road says
// and prints the same, ends the same and leaves the same bytes in the image
// and in every file it writes; only the adapter's card names itself a
// memory card, not an image, when it refuses a second page.

#include <algorithm>
#include <regex>

#include "CliFixture.h"
#include "ManualClock.h"
#include "Messages.h"
#include "RealData.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

// The options before the command, with I for the image.
const std::vector<std::vector<std::string>> kRoads = {
    {"--image", "I"}, {"--image", "I", "--simulate-wire"}, {"--usb", "sim:I", "--slot", "C2"}};

// The commands in turn, with the exit status each ends with; in a path, R/
// is the road's own folder and D/ the real data.
struct Step {
  std::vector<std::string> arguments;
  int status;
};
const std::vector<Step> kScript = {
    {{"list"}, 0},
    {{"list", "--json"}, 0},
    {{"info", "0"}, 0},
    {{"download", "0", "R/first.dci"}, 0},
    {{"download", "--all", "R/all"}, 0},
    {{"upload", "D/dci/project-justice.882.dci"}, 0},
    {{"upload", "R/first.dci"}, 1},  // already there, and no one to ask
    {{"upload", "--replace", "R/first.dci"}, 0},
    {{"delete", "6"}, 1},
    {{"delete", "6", "--yes"}, 0},
    {{"defrag"}, 0},
    {{"check"}, 0},
    {{"check", "--repair"}, 0},
    {{"backup", "R/page.dcm"}, 0},
    {{"restore", "D/images/PACit.bin"}, 0},
    {{"list", "--tsv"}, 0},
    {{"restore", "R/page.dcm"}, 0},
    {{"--page", "2", "list"}, 1},  // the image holds one page
    {{"page", "3"}, 1},
    {{"page", "1"}, 0},
};

struct Outcome {
  int status;
  std::string out, err;
  Bytes image;
};

// The road's folder as R, and the time in a safety copy's name as T.
std::string Seen(const std::string& text, const std::string& folder) {
  static const std::regex copy("korvantis-[-_.0-9]+\\.dcm");
  std::string seen = text;
  for (std::size_t at = 0; (at = seen.find(folder, at)) != std::string::npos; ++at)
    seen.replace(at, folder.size(), "R");
  return std::regex_replace(seen, copy, "korvantis-T.dcm");
}

class ImageRoads : public CommandLine {
 protected:
  // The road's folder, which holds its image and every file the script writes.
  std::string Folder(std::size_t road) { return scratch_.File("road" + std::to_string(road)); }

  std::vector<Outcome> RunScript(std::size_t road) {
    const std::string folder = Folder(road), image = folder + "/card.vmu";
    std::filesystem::create_directories(folder + "/all");
    WriteBytes(image, ReadBytes(RealData("images/ReadFiles_01.vmu")));
    environment_.safetyCopies = folder + "/copies";
    std::vector<Outcome> outcomes;
    CManualClock clock;  // the adapter's pauses between write frames pass at once
    environment_.adapterClock = &clock;
    for (const Step& step : kScript) {
      std::vector<std::string> arguments;
      for (std::string argument : kRoads[road]) {
        if (const auto at = argument.find('I');
            at != std::string::npos && argument.size() - at == 1)
          argument.replace(at, 1, image);
        arguments.push_back(argument);
      }
      for (const std::string& argument : step.arguments) {
        const std::string place = argument.substr(0, 2);
        arguments.push_back(place == "R/"   ? folder + argument.substr(1)
                            : place == "D/" ? RealData(argument.substr(2))
                                            : argument);
      }
      const int status = Run(arguments);
      std::string said = Seen(err_.str(), folder);
      if (const auto at = said.find(message::kCardOnePage.text); at != std::string::npos)
        said.replace(at, std::string(message::kCardOnePage.text).size(),
                     message::kImageOnePage.text);
      outcomes.push_back({status, Seen(out_.str(), folder), said, ReadBytes(image)});
    }
    return outcomes;
  }

  // Every file in the road's folder by its name there; the safety copies,
  // whose names carry the time, by their order.
  std::vector<std::pair<std::string, Bytes>> Files(std::size_t road) {
    std::vector<std::pair<std::string, Bytes>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Folder(road))) {
      if (!entry.is_regular_file()) continue;
      const std::string name = entry.path().lexically_relative(Folder(road)).string();
      files.emplace_back(name, ReadBytes(entry.path().string()));
    }
    std::sort(files.begin(), files.end());
    std::size_t copy = 0;
    for (auto& file : files)
      if (file.first.rfind("copies/", 0) == 0) file.first = "copies/" + std::to_string(copy++);
    return files;
  }
};

TEST_F(ImageRoads, GiveTheSameCardsAndOutputs) {
  KORVANTIS_NEED_REALDATA("images/ReadFiles_01.vmu");
  const std::vector<Outcome> first = RunScript(0);
  for (std::size_t i = 0; i < kScript.size(); ++i)
    EXPECT_EQ(first[i].status, kScript[i].status)
        << kScript[i].arguments[0] << " " << i << ": " << first[i].err;
  for (std::size_t road = 1; road < kRoads.size(); ++road) {
    const std::vector<Outcome> other = RunScript(road);
    for (std::size_t i = 0; i < kScript.size(); ++i) {
      SCOPED_TRACE("road " + std::to_string(road) + ", step " + std::to_string(i));
      EXPECT_EQ(other[i].status, first[i].status);
      EXPECT_EQ(other[i].out, first[i].out);
      EXPECT_EQ(other[i].err, first[i].err);
      EXPECT_TRUE(other[i].image == first[i].image) << "the images differ";
    }
    EXPECT_TRUE(Files(road) == Files(0)) << "the files written differ";
  }
  EXPECT_EQ(Files(0).size(), 13u);  // the image, 1 + 7 downloads, a backup, 3 safety copies
}

}  // namespace

namespace {
// The simulated adapter's card holds one page: a four-page image is refused
// before any command, not cut down to its first page.
TEST_F(CommandLine, TheSimulatedAdapterRefusesAnImageOfFourPages) {
  const std::string four = scratch_.File("four.bin");
  ASSERT_EQ(Run({"new-image", four, "--pages", "4"}), 0);
  const Bytes before = ReadBytes(four);
  EXPECT_EQ(Run({"--usb", "sim:" + four, "list"}), 1);
  EXPECT_EQ(err_.str(), Fill(message::kAdapterImageFourPages, {four}) + "\n");
  EXPECT_TRUE(ReadBytes(four) == before);
}

// The simulated adapter goes on writing its image: nothing is saved over it.
TEST_F(CommandLine, NothingIsSavedOverTheSimulatedAdaptersImage) {
  const std::string image = scratch_.File("card.bin");
  ASSERT_EQ(Run({"new-image", image}), 0);
  const Bytes before = ReadBytes(image);
  EXPECT_EQ(Run({"--usb", "sim:" + image, "backup", image, "--force"}), 1);
  EXPECT_THAT(err_.str(), ::testing::HasSubstr(Fill(message::kImageIsOutput, {image})));
  EXPECT_TRUE(ReadBytes(image) == before);
}
}  // namespace

namespace {
// A card the adapter also shows as a USB drive is written only after a yes,
// which off a terminal only --yes gives; reading it asks nothing.
TEST_F(CommandLine, ACardSeenAsADriveIsWrittenOnlyWithYes) {
  const std::string dci = scratch_.File("file.dci"), card = scratch_.File("card.bin");
  ASSERT_EQ(Run({"--image", ImageWithFile("source.bin", "Shared"), "download", "0", dci}), 0);
  ASSERT_EQ(Run({"new-image", card}), 0);
  CManualClock clock;
  environment_.adapterClock = &clock;
  environment_.simulatedDrive = true;
  const Bytes before = ReadBytes(card);
  EXPECT_EQ(Run({"--usb", "sim:" + card, "upload", dci}), 1);
  EXPECT_EQ(err_.str(), std::string(message::kAskWriteCardSeenAsDrive.text) + "\n" +
                            message::kAddYes.text + "\n");
  EXPECT_TRUE(ReadBytes(card) == before);
  EXPECT_EQ(Run({"--usb", "sim:" + card, "list"}), 0);
  EXPECT_EQ(Run({"--usb", "sim:" + card, "--yes", "upload", dci}), 0) << err_.str();
  EXPECT_FALSE(ReadBytes(card) == before);
}
}  // namespace
