#include "LinkSettingsStore.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <filesystem>
#include <fstream>
#include <vector>

#include "ScratchDirectory.h"
#include "SettingsFile.h"

namespace {

void ExpectSettings(const LinkSettings& actual, std::uint32_t port, std::uint32_t timeout,
                    std::uint32_t delay) {
  EXPECT_EQ((std::vector<std::uint32_t>{actual.port, actual.timeoutSeconds, actual.delayFactor}),
            (std::vector<std::uint32_t>{port, timeout, delay}));
}

// Values that are absent, or no unsigned 32-bit number, give the defaults.
TEST(LinkSettingsStore, UnusableValuesGiveTheDefaultsAndWriteNothing) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("Korvantis.conf");
  {
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    ExpectSettings(CLinkSettingsStore(settings).Read(), 888, 5, 1);
  }
  EXPECT_FALSE(std::filesystem::exists(path));

  std::ofstream(path) << "[Communications]\nPort=0x3BC\nTimeout=-1\nDelayFactor=4294967296\n";
  QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
  ExpectSettings(CLinkSettingsStore(settings).Read(), 888, 5, 1);
}

// The command-line tool reads the same file without Qt: what one writes, the
// other must read, up to the largest 32-bit value.
TEST(LinkSettingsStore, WhatItWritesBothFrontEndsReadBack) {
  CScratchDirectory scratch;
  const std::string path = scratch.File("Korvantis.conf");
  QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
  CLinkSettingsStore store(settings);
  store.Write(LinkSettings{956, 4294967295u, 0});

  ExpectSettings(store.Read(), 956, 4294967295u, 0);
  LinkSettings read;
  ASSERT_TRUE(ReadSettingsFile(path, read));
  ExpectSettings(read, 956, 4294967295u, 0);

  std::ofstream(path) << "[Communications]\nPort = 632\nTimeout=12\n";
  QSettings edited(QString::fromStdString(path), QSettings::IniFormat);
  ExpectSettings(CLinkSettingsStore(edited).Read(), 632, 12, 1);
}

}  // namespace
