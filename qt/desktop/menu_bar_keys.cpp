#include "qt/desktop/menu_bar_keys.h"

#include <QAction>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenuBar>

namespace desktop {
namespace {

// Qt's keyboard entry into a menu bar (QMenuBarPrivate::focusFirstAction)
// takes the first command whether it can be chosen or not; its own Right
// key goes on to the next one that can. Seen in Qt 6.4.2 and 6.8.2; the
// end-to-end test of Alt in the region window says whether a later Qt
// still needs this.
class PastGreyedCommands : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *bar = static_cast<QMenuBar *>(watched);
        if (event->type() == QEvent::FocusIn && static_cast<QFocusEvent *>(event)->reason() == Qt::MenuBarFocusReason)
            QMetaObject::invokeMethod(bar, [bar] {
                if (bar->hasFocus() && bar->activeAction() != nullptr && !bar->activeAction()->isEnabled()) {
                    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
                    QCoreApplication::sendEvent(bar, &right);
                }
            }, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

void landOnCommandsThatCanBeChosen(QMenuBar *bar)
{
    bar->installEventFilter(new PastGreyedCommands(bar));
}

} // namespace desktop
