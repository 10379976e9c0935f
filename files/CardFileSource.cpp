#include "CardFileSource.h"

#include <algorithm>

#include "VmsFile.h"

CardFileSource CardFileSourceOf(const std::string& path) {
  if (!CVmsFile::IsPairName(path)) return {CardFileSource::Kind::Dci, path, {}};
  const std::string beside = CVmsFile::Beside(path);
  if (CVmsFile::IsVmiName(path)) return {CardFileSource::Kind::Pair, path, beside};
  if (beside.empty()) return {CardFileSource::Kind::LoneVms, path, {}};
  return {CardFileSource::Kind::Pair, beside, path};
}

std::vector<CardFileSource> CardFileSourcesOf(const std::vector<std::string>& paths) {
  std::vector<CardFileSource> sources;
  for (const std::string& path : paths) {
    CardFileSource source = CardFileSourceOf(path);
    const bool viaItsVmi = source.kind == CardFileSource::Kind::Pair && source.path != path &&
                           std::count(paths.begin(), paths.end(), source.path) > 0;
    if (!viaItsVmi) sources.push_back(std::move(source));
  }
  return sources;
}
