// What the program makes of a listing and an icon on the PC's side, with no
// card involved: the card texts decoded and printed as the command line's
// table, and an icon written as PNG and as animated GIF.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "CardIcon.h"
#include "CardText.h"
#include "FileTable.h"
#include "IconImageFile.h"

namespace {

// 200 files as a full page lists them: every fourth with Japanese texts
// (half-width katakana and kanji), the others in ASCII with a Latin-1 letter.
std::vector<FileTexts> Rows() {
  std::vector<FileTexts> rows(200);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    FileTexts& row = rows[i];
    row.index = static_cast<std::uint16_t>(i);
    const bool japanese = i % 4 == 0;
    row.Text(FileColumn::FileName) = "SAVEGAME." + std::to_string(i);
    row.Text(FileColumn::ShortDescription) =
        japanese ? "\xd2\xb2\xdd\xb6\xb0\xc4\xde   " : "Caf\xe9 racer     ";
    row.Text(FileColumn::LongDescription) =
        japanese ? "\x94\xc1\x94\xb5\x82\xcc\x83\x5a\x81\x5b\x83\x75" : "Chapter 3, 41% complete";
    row.Text(FileColumn::Application) = japanese ? "\x83\x51\x81\x5b\x83\x80" : "GAMEAPP";
    row.Text(FileColumn::Size) = "2 Blocks";
    row.Text(FileColumn::Date) = "2001-02-03";
    row.Text(FileColumn::Time) = "04:05:06";
    row.Text(FileColumn::CopyProtected) = "No";
    row.Text(FileColumn::Type) = "Data";
  }
  return rows;
}

void ListDecodedAsTable(benchmark::State& state) {
  const std::vector<FileTexts> raw = Rows();
  for (auto _ : state) {
    std::vector<FileTexts> rows;
    rows.reserve(raw.size());
    for (const FileTexts& row : raw)
      rows.push_back(DecodeFileTexts(row, TextEncoding::Automatic));
    std::ostringstream out;
    PrintFilesTable(rows, out);
    benchmark::DoNotOptimize(out.str().size());
  }
}

// Three frames over all 16 colours, some of them transparent.
CardIcon ThreeFrameIcon() {
  CardIcon icon;
  icon.speed = 12;
  for (std::size_t c = 0; c < icon.palette.size(); ++c)
    icon.palette[c] = (c % 5 == 0 ? 0u : 0xFF000000u) | static_cast<std::uint32_t>(c * 0x0F1E2D);
  for (int f = 0; f < 3; ++f) {
    CardIcon::Frame frame;
    for (std::size_t p = 0; p < frame.size(); ++p)
      frame[p] = static_cast<std::uint8_t>((p / 7 + p / 32 + static_cast<std::size_t>(f)) % 16);
    icon.frames.push_back(frame);
  }
  return icon;
}

// Written to memory where the system has it, so that the disk's speed stays out.
std::string ScratchFile(const char* name) {
  const std::filesystem::path shm = "/dev/shm";
  const std::filesystem::path folder =
      std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
  return (folder / ("korvantis-bench-" + std::string(name))).string();
}

void ExportIcon(benchmark::State& state, const char* name) {
  const CardIcon icon = ThreeFrameIcon();
  const std::string path = ScratchFile(name);
  for (auto _ : state) {
    const Result written = WriteIconImage(path, icon);
    if (!written) state.SkipWithError(written.Message().c_str());
  }
  std::filesystem::remove(path);
}

BENCHMARK(ListDecodedAsTable)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ExportIcon, Png, "icon.png")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ExportIcon, Gif, "icon.gif")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
