// korvantis-icon-export: writes the program icon, as the program paints it, as
// PNG files of the sizes desktops ask for: FOLDER/NxN/apps/korvantis.png.
// Used by the build for the installed icons.

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "Icons.h"

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fputs("Usage: korvantis-icon-export FOLDER\n", stderr);
    return 2;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    if (!QDir().mkpath(folder) || !ProgramPixmap(size).save(folder + "/korvantis.png")) {
      std::fprintf(stderr, "Cannot write %s/korvantis.png\n", folder.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
