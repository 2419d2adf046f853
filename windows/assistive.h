#pragma once

// What screen readers and other assistive tools need beyond what Qt 6.4 gives
// them. On Linux Qt names a drop-down list by its current entry and offers
// its entry in no form a reader reads (no text, no selection); it lets a tool
// mark an entry of a closed list but not choose it; and a reader that
// follows the focus hears nothing of what appears in a disabled output box.

class QComboBox;
class QString;
class QWidget;

namespace look {

// Makes box a drop-down list for assistive tools as well: known by its
// name with the chosen entry as its value (its text, which screen readers
// read), and an entry that an assistive tool selects in its closed list is
// the user's choice: the box takes it and reports it as chosen (activated),
// as a choice by mouse or keyboard does. A choice is announced. Before the
// box is first shown.
void forAssistiveTools(QComboBox *box, const QString &name);

// Sets widget's description and has it reach screen readers as text.
void describe(QWidget *widget, const QString &description);

// Has a focus-following screen reader present text: it becomes the
// description of the control that has the focus, and Qt reports the change.
// The focus does not move.
void announce(const QString &text);

} // namespace look
