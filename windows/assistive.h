#pragma once

// What screen readers and other assistive tools need beyond what Qt gives
// them. Qt on Linux names a drop-down list by its current entry and expects a
// label to carry the list's own name; it lets a tool mark an entry of a
// closed list but not choose it; and a reader that follows the focus hears
// nothing of what appears in a disabled output box.

class QComboBox;
class QString;
class QWidget;

namespace look {

// A label, never shown, that names control for screen readers, which then
// announce the name together with the control's value.
void labelForScreenReaders(QWidget *control, const QString &name);

// An entry that an assistive tool selects in the box's closed list is the
// user's choice: the box takes it and reports it as chosen (activated), as
// a choice by mouse or keyboard does.
void acceptChoicesFromAssistiveTools(QComboBox *box);

// Has a focus-following screen reader present text: it becomes the
// description of the control that has the focus, and Qt reports the change.
// The focus does not move.
void announce(const QString &text);

} // namespace look
