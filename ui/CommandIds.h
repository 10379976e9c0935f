#pragma once

// The program's command numbers. They are fixed: the menus, the toolbar, the
// accelerators and each command's prompt are tied to them.
namespace command {
constexpr int kSetPage1 = 32771;
constexpr int kSetPage2 = 32772;
constexpr int kSetPage3 = 32773;
constexpr int kSetPage4 = 32774;
constexpr int kBackup = 32775;
constexpr int kRestore = 32776;
constexpr int kRefresh = 32777;
constexpr int kLargeIcons = 32778;
constexpr int kSmallIcons = 32779;
constexpr int kDownload = 32782;
constexpr int kUpload = 32783;
constexpr int kProperties = 32784;
constexpr int kExportIcon = 32790;
constexpr int kSetIcon = 32791;
constexpr int kFormat = 32792;
constexpr int kHackCode = 32793;
constexpr int kSettings = 32801;
constexpr int kDelete = 32803;
constexpr int kOpenImage = 32810;
constexpr int kUsePort = 32811;
constexpr int kRecentImage1 = 32812;  // the recent card images, 32812 to 32816
constexpr int kRecentImageCount = 5;
constexpr int kCheckCard = 32817;
constexpr int kDefragment = 32818;
constexpr int kOpenSafetyCopies = 32819;
constexpr int kTextAutomatic = 32820;  // how the card's texts are read
constexpr int kTextWestern = 32821;
constexpr int kTextJapanese = 32822;
// The repair that may follow Check Card: no menu item of its own, but a
// command that changes the card.
constexpr int kRepair = 32823;
// The submenu of the cards on the USB adapters attached, filled as it opens.
constexpr int kUseAdapter = 32824;

constexpr int kToolbar = 59392;
constexpr int kStatusBar = 59393;
constexpr int kList = 59410;
constexpr int kDetails = 59411;

constexpr int kCopy = 57634;
constexpr int kCut = 57635;
constexpr int kPaste = 57637;
constexpr int kUndo = 57643;
constexpr int kAbout = 57664;
constexpr int kExit = 57665;
constexpr int kHelpTopics = 57667;
constexpr int kContextHelp = 57669;
constexpr int kHelp = 57670;
constexpr int kDefaultHelp = 57671;
constexpr int kNextPane = 57680;
constexpr int kPreviousPane = 57681;
}  // namespace command
