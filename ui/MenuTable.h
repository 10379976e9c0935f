#pragma once

#include <vector>

// The main window's menus, toolbar and keys, as data: what each command is
// called, its key, and its prompt (the status-bar text, then after a line
// break the tool tip).
struct MenuItem {
  int id;              // 0 for a separator
  const char* text;    // with & before the mnemonic and \t before the key shown
  const char* prompt;  // "" when the command has none
};

struct Menu {
  const char* title;
  std::vector<MenuItem> items;
};

struct Accelerator {
  const char* key;  // in Qt's portable key text: "Ctrl+1", "Alt+Return"
  int id;
};

const std::vector<Menu>& MainMenus();
const std::vector<Accelerator>& Accelerators();
// The pictures of the toolbar's buttons.
enum class ToolbarPicture { Refresh, Page1, Page2, Page3, Page4, About };

struct ToolbarButton {
  int id;  // 0 for a gap
  ToolbarPicture picture;
};

// The toolbar's buttons in order.
const std::vector<ToolbarButton>& ToolbarButtons();
// The list's context menu, by command; 0 is a separator.
const std::vector<int>& ContextMenuItems();

// The item of a command, or none.
const MenuItem* FindMenuItem(int id);
