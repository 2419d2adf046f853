#pragma once

// What the look changes in the toolkit's style, for the controls that ask
// for it.

class QComboBox;
class QMenuBar;

namespace look {

// The command the keyboard is on is marked, which the toolkit's own style
// does only for commands that open a menu.
void markKeyboardCommands(QMenuBar *bar);

// Gives the chosen entry of a drop-down list the width the layouts allow it:
// the toolkit's style keeps a wide margin by the arrow, which would cut the
// last character of the longest names.
void fitDropDownText(QComboBox *box);

} // namespace look
