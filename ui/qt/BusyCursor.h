#pragma once

#include <QObject>
#include <set>

class QEvent;

// The busy cursor over every window of the program for the life of the
// scope: a command runs on the one thread and answers nothing but its
// progress window meanwhile. A modal dialog shown in the middle of it (a
// message, a question, a file choice) waits for the user and has the
// ordinary cursor while it is open. Scopes nest.
class CBusyCursor : public QObject {
 public:
  CBusyCursor();
  ~CBusyCursor() override;
  CBusyCursor(const CBusyCursor&) = delete;
  CBusyCursor& operator=(const CBusyCursor&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::set<QObject*> waiting_;  // the modal windows open now, each with the ordinary cursor
};
