#include "qt/windows/lookup_host.h"

#include "design/windows.h"
#include "qt/desktop/accessibility.h"
#include "qt/desktop/window_hints.h"
#include "qt/look/design.h"
#include "qt/look/faces.h"
#include "qt/look/pictures.h"
#include "qt/windows/code_window.h"
#include "qt/windows/region_window.h"

#include <QLayout>
#include <QStackedLayout>

namespace windows {

LookupHost::LookupHost(LookupWindow::Kind first, QWidget *parent)
    : QMainWindow(parent, desktop::fixedWindowFlags(Qt::Window))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(look::text(design::lookup::kCaption));
    setWindowIcon(look::programIcon());
    setFont(look::defaultFont());

    // Both lookup windows have the same size, and the window keeps it through
    // a switch: one that shrank for a moment would be moved by some desktops.
    auto *pages = new QWidget(this);
    m_pages = new QStackedLayout(pages);
    setCentralWidget(pages);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    open(first);
}

void LookupHost::open(LookupWindow::Kind kind)
{
    LookupWindow *previous = m_lookup;
    QWidget *pages = centralWidget();
    if (kind == LookupWindow::Kind::Region)
        m_lookup = new RegionWindow(pages);
    else
        m_lookup = new CodeWindow(pages);
    connect(m_lookup, &LookupWindow::lookupChosen, this, &LookupHost::open);
    m_pages->addWidget(m_lookup);
    m_pages->setCurrentWidget(m_lookup);

    // What tells the two apart from outside: for window managers and session
    // tools the window's role (Latin-1 on X11), for screen readers its
    // description.
    setWindowRole(kind == LookupWindow::Kind::Region ? QStringLiteral("lookup-by-region")
                                                     : QStringLiteral("lookup-by-code"));
    desktop::describe(this, m_lookup->accessibleDescription());

    // Gone for good: nothing typed or chosen there survives the switch.
    if (previous != nullptr)
        previous->close();
    if (QWidget *first = m_lookup->focusWidget())
        first->setFocus(Qt::OtherFocusReason);
}

} // namespace windows
