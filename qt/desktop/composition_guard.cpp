#include "qt/desktop/composition_guard.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

namespace desktop {

CompositionGuard::CompositionGuard(QWidget *box)
    : QObject(box)
    , m_box(box)
{
    box->installEventFilter(this);
}

bool CompositionGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box)
        return false;
    switch (event->type()) {
    case QEvent::InputMethod:
        m_composing = !static_cast<QInputMethodEvent *>(event)->preeditString().isEmpty();
        break;
    case QEvent::KeyPress: {
        // Input methods take Enter while they compose; one that lets it
        // through must not have the box act on a half-typed word.
        const int key = static_cast<QKeyEvent *>(event)->key();
        return m_composing && (key == Qt::Key_Return || key == Qt::Key_Enter);
    }
    case QEvent::FocusAboutToChange:
    case QEvent::FocusOut: {
        // A menu or a popup over the box comes back to it: Qt keeps the
        // composition open for it, and so does this.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (m_composing && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
            finish();
        break;
    }
    case QEvent::Hide:
        if (m_composing)
            finish();
        break;
    default:
        break;
    }
    return false;
}

void CompositionGuard::finish()
{
    // Asked while the box has the focus, the input method commits into it
    // (ibus's Qt module sends its commit wherever the focus is at the time).
    // Qt asks for a commit when the focus moves or the window is deactivated;
    // fcitx5's module commits on a reset or a change of focus instead.
    if (QGuiApplication::focusObject() == m_box) {
        QInputMethod *method = QGuiApplication::inputMethod();
        method->commit();
        method->reset();
    }
    // What the input method left on show was never committed: it goes.
    if (m_composing) {
        QInputMethodEvent end;
        QCoreApplication::sendEvent(m_box, &end);
    }
}

} // namespace desktop
