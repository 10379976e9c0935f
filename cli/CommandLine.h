#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "CardText.h"
#include "LinkOptions.h"

// What korvantis-cli was asked to do.
struct CliRequest {
  enum class Command {
    List,
    Info,
    Download,
    Upload,
    ExportIcon,
    Backup,
    Restore,
    Page,
    NewImage,
    Adapters,
    Check,
    Delete,
    Format,
    Defrag,
    SetIcon
  };

  Command command = Command::List;
  LinkOptions link;
  bool simulateWire = false;          // --simulate-wire: the image through the simulated wire
  bool usb = false;                   // --usb: the card through a USB adapter
  std::string usbSerial;              // --usb SERIAL (empty: the only one), or sim:FILE
  std::string slot;                   // --slot A1 to D2 (empty: the only card)
  std::optional<std::uint16_t> page;  // --page, 1 to 4

  TextEncoding encoding = TextEncoding::Automatic;  // --encoding
  bool tsv = false;
  bool json = false;
  bool force = false;                  // --force, given anywhere: existing outputs are replaced
  bool replace = false;                // upload: a file of the same name on the card is replaced
  bool defrag = false;                 // upload: a game's blocks are freed by a defragment first
  std::uint16_t index = 0;             // info, download, export-icon
  std::uint16_t pageArgument = 1;      // page N
  std::string file;                    // download, export-icon, backup, restore, new-image
  std::vector<std::string> files;      // upload
  std::string allFolder;               // download --all
  bool vmsFormat = false;              // download --all --format vms
  unsigned pages = 1;                  // new-image
  bool repair = false;                 // check
  bool fixChecksums = false;           // check --repair: wrong header checksums are rewritten
  bool yes = false;                    // delete, format, a card seen as a USB drive: ask nothing
  std::vector<std::uint16_t> indices;  // delete
  bool noSafetyCopy = false;           // the commands that rewrite a page save none
  // restore: the page of a four-page file (--from-page)
  std::optional<std::uint16_t> fromPage;
  // set-icon: the picture is file, --replace replaces the icon file on the
  // card; the description (none: the picture's name), no colour icon
  std::optional<std::string> description;
  bool monoOnly = false;
};

// Parses the arguments. Returns true to go on with request; false when the
// program should end at once with exitStatus (help, version, or a wrong
// command line, which prints usage on err and gives status 2).
bool ParseCommandLine(const std::vector<std::string>& arguments, CliRequest& request,
                      int& exitStatus, std::ostream& out, std::ostream& err);
