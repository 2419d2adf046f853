#pragma once

// A limit on how many characters a line edit takes, typed or pasted: counted
// in characters (Unicode code points), not in the UTF-16 units that QLineEdit's
// own maximum length counts, which would keep half of a character outside
// the Basic Multilingual Plane. What would exceed the limit is not taken, and
// a character that does not fit whole is not taken either.

#include <QString>
#include <QValidator>

class QLineEdit;

namespace desktop {

class CharacterLimit : public QValidator
{
    Q_OBJECT

public:
    // Limits box, which owns the limit from then on.
    CharacterLimit(QLineEdit *box, int characters);

    State validate(QString &input, int &pos) const override;

private:
    int m_characters;
    QString m_before; // the box's text as last taken: validate() sees the edited one
};

} // namespace desktop
