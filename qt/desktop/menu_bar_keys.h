#pragma once

// The keyboard in a menu bar whose first command may be greyed.

class QMenuBar;

namespace desktop {

// Alt lands on a command that can be chosen, not on a greyed one, which
// would neither be chosen nor be announced to a screen reader.
void landOnCommandsThatCanBeChosen(QMenuBar *bar);

} // namespace desktop
