#pragma once
class QWidget;

// Ends the run as the exit button does (every window closed, FormClose, then FormDestroy)
// when the desktop asks the program to end with SIGTERM, SIGHUP or SIGINT. Installed after
// the main window is created: the embedded Firebird engine takes these signals for itself
// when it loads, which left the program deaf to a logout or a plain `kill`.
void CloseOnTerminationSignals(QWidget* mainWindow);
