#pragma once

// What the two lookup windows share: the menu bar of three commands, the
// status bar and the landscape client area. Each window adds its own
// controls on top. The program shows them one at a time in one top-level
// window (LookupHost), which decides which one that is: a window only says
// that the user chose the other lookup.

#include <QString>
#include <QWidget>

class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QStatusBar;

namespace design {
struct Command;
struct Window;
}

namespace windows {

class LookupWindow : public QWidget
{
    Q_OBJECT

public:
    enum class Kind { Region, Code };
    Q_ENUM(Kind)

    Kind kind() const { return m_kind; }
    QMenuBar *menuBar() const { return m_menuBar; }
    QStatusBar *statusBar() const { return m_statusBar; }
    // The client area the controls are placed on, in twips from its corner.
    QWidget *client() const { return m_client; }

signals:
    // The user chose the command of the other lookup window.
    void lookupChosen(LookupWindow::Kind kind);

protected:
    // Its command, which would open this window again, is greyed, and its
    // text tells the two lookup windows apart for screen readers: their
    // captions are the same.
    LookupWindow(Kind kind, const design::Window &plan, const design::Command &command, QWidget *parent);

    // Shows an answer in an output box and has screen readers present it.
    static void showAnswer(QLineEdit *box, const QString &answer);
    static void showAnswer(QPlainTextEdit *box, const QString &answer);

private:
    void openAbout();
    QStatusBar *buildStatusBar();

    Kind m_kind;
    QMenuBar *m_menuBar = nullptr;
    QWidget *m_client = nullptr;
    QStatusBar *m_statusBar = nullptr;
};

} // namespace windows
