#pragma once

class QDialog;
class QWidget;

namespace morvast {

// A tool window with a narrow caption and a close box only, not sizable, with the given
// client area.
void makeFixedToolWindow(QWidget* w, int width, int height);

// Centres w on the screen of owner (its own screen without one).
void centreOnScreen(QWidget* w, const QWidget* owner);

// Runs the dialog modally, kept above the owner's window by the desktop for as long as it shows.
int execOver(QDialog* dialog, QWidget* owner);

}  // namespace morvast
