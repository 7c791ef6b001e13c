#pragma once

class QWidget;

namespace morvast {

// A termination request (SIGTERM or SIGHUP at a logout or shutdown, SIGINT from a terminal)
// closes the window as its close box does, so that the settings are saved on the way out, and
// then ends every event loop, modal dialogs' included. Installed once, on the UI thread.
void closeOnTermination(QWidget* window);

// Whether such a request has come: waits that process events stop on it.
bool terminationRequested();

}  // namespace morvast
