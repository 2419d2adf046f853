#pragma once

// What the two lookup windows share: caption, icon, fixed border, the menu
// bar of three commands, the status bar and the landscape client area. Each
// window adds its own controls on top and wires the commands it answers.

#include "windows/window_hints.h"

#include <QByteArray>
#include <QEventLoopLocker>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

class QAction;
class QLineEdit;
class QPlainTextEdit;
class QStatusBar;

class LookupWindow : public QMainWindow
{
    Q_OBJECT

public:
    // description tells the two lookup windows apart for screen readers;
    // their captions are the same.
    LookupWindow(const QString &name, const QString &description, QWidget *parent = nullptr);

protected:
    // The client area the controls are placed on, in twips from its corner.
    QWidget *client() const { return m_client; }

    // Shows an answer in an output box and has screen readers present it.
    static void showAnswer(QLineEdit *box, const QString &answer);
    static void showAnswer(QPlainTextEdit *box, const QString &answer);

    QAction *m_regionCommand = nullptr; // diquchaxun
    QAction *m_codeCommand = nullptr;   // quhaochaxun

private:
    void openAbout();
    QStatusBar *buildStatusBar();

    QWidget *m_client = nullptr;
};

// Closes current and opens a fresh Next in its place, all in one handler.
template <typename Next>
void replaceWindow(QWidget *current)
{
    // For a moment no window is open; the program must not end there.
    const QEventLoopLocker keepRunning;
    const look::Place place = look::placeOf(current);
    current->close();
    auto *next = new Next;
    look::openAt(next, place);
    next->show();
}

// The Directory speaks UTF-8: a view of text converted with toUtf8() in, views
// of constant data out.
inline std::string_view toDirectory(const QByteArray &utf8)
{
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

inline QString fromDirectory(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList fromDirectory(std::span<const std::string_view> texts);
