#pragma once

// The program's main window: one top-level window that shows one lookup
// window at a time. A switch replaces the lookup window inside it with a
// fresh one of the other kind, so the top-level window stays where the user
// put it on every desktop, Wayland included, where a program cannot place
// its windows. Closing it ends the program. A main window to assistive tools
// too (a frame), though the menu and status bars are the lookup window's.

#include "qt/windows/lookup_window.h"

#include <QMainWindow>

class QStackedLayout;

namespace windows {

class LookupHost : public QMainWindow
{
    Q_OBJECT

public:
    explicit LookupHost(LookupWindow::Kind first = LookupWindow::Kind::Region, QWidget *parent = nullptr);

    // The lookup window shown now.
    LookupWindow *lookup() const { return m_lookup; }

private:
    void open(LookupWindow::Kind kind);

    QStackedLayout *m_pages = nullptr;
    LookupWindow *m_lookup = nullptr;
};

} // namespace windows
