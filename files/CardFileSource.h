#pragma once

#include <string>
#include <vector>

// Where an upload reads a card file from, decided once from the paths the
// user named: the upload reads what it is handed and decides nothing again.
struct CardFileSource {
  enum class Kind {
    Dci,      // a DCI file: any name that is no VMS or VMI
    Pair,     // a VMI file and the VMS it describes
    LoneVms,  // a VMS file with no VMI beside it
  };
  Kind kind = Kind::Dci;
  std::string path;  // the DCI file, the VMI, or the VMS alone
  std::string vms;   // of a pair, the VMS beside the VMI; empty: the one the VMI names
};

// The source path names. A name ending in .vmi (in any case) is a pair, with
// the VMS beside it if one is there; one ending in .vms is a pair with the
// VMI beside it, or a VMS alone when none is there; any other is a DCI
// file. Beside means the same name with the other extension, in the case
// of path's or in lower or upper case (CVmsFile::Beside).
CardFileSource CardFileSourceOf(const std::string& path);

// The sources of paths, in their order, each file once: a VMS named
// together with the VMI beside it is uploaded through that VMI.
std::vector<CardFileSource> CardFileSourcesOf(const std::vector<std::string>& paths);
