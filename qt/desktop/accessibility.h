#pragma once

// What screen readers and other assistive tools need beyond what Qt 6.4 gives
// them. On Linux Qt names a drop-down list by its current entry and offers
// its entry in no form a reader reads (no text, no selection); it lets a tool
// mark an entry of a closed list but not choose it; a reader that follows
// the focus hears nothing of what appears in a disabled output box, nor of
// the captions on a window; and no dialog is modal to assistive tools.

class QComboBox;
class QDialog;
class QString;
class QWidget;

namespace desktop {

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
// The focus does not move. With shownIn, text is what that box shows (a
// QLineEdit or QPlainTextEdit): once the box no longer shows it, emptied or
// given another text, the announcement is withdrawn.
void announce(const QString &text, QWidget *shownIn = nullptr);

// The control that carries an announcement carries it no longer, and Qt
// reports the change; a reader says nothing of it.
void withdraw();

// Has a focus-following screen reader say text once, where the focus is (on
// the active window when no control has it): for news that no control should
// keep. Any announcement there is withdrawn first.
void notify(const QString &text);

// Has a reader say text, as a notice, when widget (a window, or a page of
// one) is first before the user: shown in the active window, after the
// window has put the focus on its control. A page that replaces another in
// the active window is named first by its accessible description, as a
// reader names a window it activates. Before widget is first shown.
void introduce(QWidget *widget, const QString &text);

// Makes dialog modal for assistive tools while it is modal (Qt's own
// interface never says so), and has it say, when it first opens, the
// captions a reader leaves out when it presents a dialog. Before the dialog
// is first shown.
void forAssistiveTools(QDialog *dialog);

} // namespace desktop
