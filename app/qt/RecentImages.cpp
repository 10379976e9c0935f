#include "RecentImages.h"

#include <QSettings>

namespace {
QString Key(int n) {
  return QStringLiteral("RecentImages/File%1").arg(n + 1);
}
}  // namespace

CRecentImages::CRecentImages(QSettings& settings) : settings_(settings) {}

QStringList CRecentImages::List() const {
  QStringList paths;
  for (int n = 0; n < kMaxCount; ++n) {
    const QString path = settings_.value(Key(n)).toString();
    if (!path.isEmpty() && !paths.contains(path)) paths.append(path);
  }
  return paths;
}

void CRecentImages::Add(const QString& path) {
  QStringList paths = List();
  paths.removeAll(path);
  paths.prepend(path);
  Store(paths);
}

void CRecentImages::Remove(const QString& path) {
  QStringList paths = List();
  paths.removeAll(path);
  Store(paths);
}

void CRecentImages::Store(const QStringList& paths) {
  for (int n = 0; n < kMaxCount; ++n) {
    if (n < paths.size()) {
      settings_.setValue(Key(n), paths[n]);
    } else {
      settings_.remove(Key(n));
    }
  }
  settings_.sync();
}
