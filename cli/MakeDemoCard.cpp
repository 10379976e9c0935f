// korvantis-demo-card: writes the demo card, a one-page image with a few
// made-up files, for trying Korvantis out without a card.

#include <cstdio>

#include "DemoCard.h"
#include "PageImage.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: korvantis-demo-card FILE.bin|FILE.vmu|FILE.vmd|FILE.dcm\n", stderr);
    return 2;
  }
  const Result written = CPageImage::WriteNewFile(argv[1], {MakeDemoPage()});
  if (!written) {
    std::fprintf(stderr, "%s\n", written.Message().c_str());
    return 1;
  }
  return 0;
}
