#pragma once

#include <functional>
#include <map>

// Carries a command to the first table that handles it: the list window's,
// then the frame's, then the application's. The same order decides whether a
// command is enabled; a command that no table handles is disabled.
class CCommandTable {
 public:
  using Handler = std::function<void()>;
  using UpdateHandler = std::function<bool()>;  // true: enabled

  void On(int id, Handler handler) { handlers_[id] = std::move(handler); }
  void OnUpdate(int id, UpdateHandler update) { updates_[id] = std::move(update); }

  bool Handles(int id) const { return handlers_.count(id) != 0; }
  bool Run(int id) const;
  // Whether the command is enabled, when the table handles it.
  bool IsEnabled(int id) const;

 private:
  std::map<int, Handler> handlers_;
  std::map<int, UpdateHandler> updates_;
};

class CCommandRouter {
 public:
  enum class Level { ListWindow, Frame, Application };

  CCommandTable& Table(Level level) { return tables_[static_cast<int>(level)]; }

  // Runs the command's handler; false when no table handles it or it is disabled.
  bool Route(int id) const;
  bool IsEnabled(int id) const;

 private:
  const CCommandTable* Find(int id) const;

  CCommandTable tables_[3];  // in the order of Level
};
