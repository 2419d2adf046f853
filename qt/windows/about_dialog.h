#pragma once

// The About window: name, version, the maker's addresses and a rights notice.
// It has no behaviour; the user closes it through its title bar.

#include <QDialog>

namespace windows {

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace windows
