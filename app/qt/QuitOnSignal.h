#pragma once

// Ends the program's event loop cleanly when it gets SIGTERM or SIGHUP (a
// logout, `kill`, a service manager), as a desktop program should, instead of
// dying in the middle of whatever it was doing. A transfer under way runs to
// its next unit first: the request is seen in the event loop. Does nothing
// where those signals do not exist.
void QuitOnTerminationSignals();
