#pragma once

#include <QStringList>

class QSettings;

// The card images opened last, newest first, at most five, kept in the
// program's settings (group "RecentImages", keys "File1" to "File5").
class CRecentImages {
 public:
  static constexpr int kMaxCount = 5;

  explicit CRecentImages(QSettings& settings);

  QStringList List() const;
  // Puts the image first, once.
  void Add(const QString& path);
  void Remove(const QString& path);

 private:
  void Store(const QStringList& paths);

  QSettings& settings_;
};
