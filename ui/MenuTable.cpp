#include "MenuTable.h"

#include "CommandIds.h"

namespace {
constexpr MenuItem kSeparator = {0, "", ""};
constexpr char kRecentImagePrompt[] = "Open this card image as the memory card.";
}  // namespace

const std::vector<Menu>& MainMenus() {
  using namespace command;
  static const std::vector<Menu> menus = {
      {"&File",
       {{kUpload, "&Upload To Card...", "Upload a file to the memory card."},
        {kDownload, "&Download From Card...", "Download the selected file from the memory card."},
        kSeparator,
        {kHackCode, "&Hack Code...", "Enter a hack code for the selected file."},
        {kExportIcon, "Export &Icon...", "Export the icon from the selected file."},
        kSeparator,
        {kDelete, "&Delete", "Delete the selected files from the memory card.\nDelete"},
        {kProperties, "P&roperties...", "Display the properties of the selected file."},
        kSeparator,
        {kSettings, "&Settings...", ""},
        kSeparator,
        {kOpenImage, "&Open Card Image...", "Open a card image file as the memory card."},
        {kUseAdapter, "Use USB &Adapter", "Use a memory card on a USB adapter."},
        {kUsePort, "Use &Parallel Port", "Use the memory card on the parallel port."},
        kSeparator,
        // The recent card images: the main window names them, and shows only those it has.
        {kRecentImage1, "", kRecentImagePrompt},
        {kRecentImage1 + 1, "", kRecentImagePrompt},
        {kRecentImage1 + 2, "", kRecentImagePrompt},
        {kRecentImage1 + 3, "", kRecentImagePrompt},
        {kRecentImage1 + 4, "", kRecentImagePrompt},
        kSeparator,
        {kExit, "E&xit", "Quit Korvantis.\nExit"}}},
      {"&View",
       {{kToolbar, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar"},
        {kStatusBar, "Status &Bar", "Show or hide the status bar\nToggle StatusBar"},
        kSeparator,
        {kLargeIcons, "Lar&ge Icons", "Display items by using large icons."},
        {kSmallIcons, "S&mall Icons", "Display items by using small icons."},
        {kList, "&List", "Display items in a list."},
        {kDetails, "&Details", "Display information about each item in the window."},
        kSeparator,
        {kTextAutomatic, "Text: &Automatic",
         "Read Japanese text where the card holds it, else Western."},
        {kTextWestern, "Text: &Western", "Read the card's text as Western (Latin-1)."},
        {kTextJapanese, "Text: &Japanese", "Read the card's text as Japanese (Shift-JIS)."},
        kSeparator,
        {kRefresh, "&Refresh\tF5", "Refresh the list of files from the memory card.\nRefresh"}}},
      {"&Memory Card",
       {{kBackup, "&Backup...", "Backup the entire selected page of the memory card."},
        {kRestore, "&Restore...", "Restore an entire page to the memory card."},
        kSeparator,
        {kFormat, "&Format...", "Erase all data on the memory card."},
        {kCheckCard, "&Check Card...",
         "Check the selected page for damage, and repair what can be mended."},
        {kDefragment, "&Defragment",
         "Move the files on the memory card together, so that the free space is in one "
         "piece."},
        {kSetIcon, "Set &Icon...", "Set the icon for the memory card."},
        kSeparator,
        {kOpenSafetyCopies, "Open &Safety Copies Folder",
         "Open the folder of the copies saved before the memory card was changed."},
        kSeparator,
        {kSetPage1, "Set Page &1\tCtrl+1", "Set the memory card to page one.\nSet Page 1"},
        {kSetPage2, "Set Page &2\tCtrl+2", "Set the memory card to page two.\nSet Page 2"},
        {kSetPage3, "Set Page &3\tCtrl+3", "Set the memory card to page three.\nSet Page 3"},
        {kSetPage4, "Set Page &4\tCtrl+4", "Set the memory card to page four.\nSet Page 4"}}},
      {"&Help",
       {{kHelpTopics, "&Help Topics...", "List Help topics.\nHelp Topics"},
        kSeparator,
        {kAbout, "&About Korvantis...",
         "Display program information, version number, and copyright.\nAbout"}}},
  };
  return menus;
}

const std::vector<Accelerator>& Accelerators() {
  using namespace command;
  static const std::vector<Accelerator> keys = {
      {"Ctrl+1", kSetPage1},      {"Ctrl+2", kSetPage2},    {"Ctrl+3", kSetPage3},
      {"Ctrl+4", kSetPage4},      {"F5", kRefresh},         {"Alt+Return", kProperties},
      {"Alt+Enter", kProperties}, {"Del", kDelete},         {"F1", kHelp},
      {"Shift+F1", kContextHelp}, {"Ctrl+X", kCut},         {"Shift+Del", kCut},
      {"Ctrl+Ins", kCopy},        {"Ctrl+V", kPaste},       {"Shift+Ins", kPaste},
      {"Ctrl+Z", kUndo},          {"Alt+Backspace", kUndo}, {"F6", kNextPane},
      {"Shift+F6", kPreviousPane}};
  return keys;
}

const std::vector<ToolbarButton>& ToolbarButtons() {
  using namespace command;
  constexpr ToolbarButton kGap = {0, ToolbarPicture::Refresh};
  static const std::vector<ToolbarButton> buttons = {{kRefresh, ToolbarPicture::Refresh},
                                                     kGap,
                                                     {kSetPage1, ToolbarPicture::Page1},
                                                     {kSetPage2, ToolbarPicture::Page2},
                                                     {kSetPage3, ToolbarPicture::Page3},
                                                     {kSetPage4, ToolbarPicture::Page4},
                                                     kGap,
                                                     {kAbout, ToolbarPicture::About}};
  return buttons;
}

const std::vector<int>& ContextMenuItems() {
  using namespace command;
  static const std::vector<int> items = {kUpload,     kDownload, 0,       kHackCode,
                                         kExportIcon, 0,         kDelete, kProperties};
  return items;
}

const MenuItem* FindMenuItem(int id) {
  for (const Menu& menu : MainMenus()) {
    for (const MenuItem& item : menu.items) {
      if (item.id == id && id != 0) return &item;
    }
  }
  return nullptr;
}
