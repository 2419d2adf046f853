#include "qt/desktop/character_limit.h"

#include <QLineEdit>

#include <algorithm>

namespace desktop {
namespace {

qsizetype characters(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text.at(i).isLowSurrogate() || i == 0 || !text.at(i - 1).isHighSurrogate())
            ++count;
    return count;
}

// The longest start of text of at most limit characters, no pair split.
QStringView firstCharacters(QStringView text, qsizetype limit)
{
    qsizetype units = 0;
    for (qsizetype taken = 0; units < text.size() && taken < limit; ++taken)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate()
                     ? 2
                     : 1;
    return text.first(units);
}

} // namespace

CharacterLimit::CharacterLimit(QLineEdit *box, int characters)
    : QValidator(box)
    , m_characters(characters)
    , m_before(box->text())
{
    box->setValidator(this);
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { m_before = text; });
}

QValidator::State CharacterLimit::validate(QString &input, int &pos) const
{
    if (characters(input) <= m_characters)
        return Acceptable;

    // What the edit put in: input less what it shares at both ends with the
    // text before. Only as much of that is taken as there is room for.
    const QString &before = m_before;
    qsizetype head = 0;
    const qsizetype shortest = std::min(before.size(), input.size());
    while (head < shortest && before.at(head) == input.at(head))
        ++head;
    if (head > 0 && input.at(head - 1).isHighSurrogate()) // never between the halves of a pair
        --head;
    qsizetype tail = 0;
    while (tail < shortest - head && before.at(before.size() - 1 - tail) == input.at(input.size() - 1 - tail))
        ++tail;
    if (tail > 0 && input.at(input.size() - tail).isLowSurrogate())
        --tail;

    const QStringView kept = QStringView(before).first(head);
    const QStringView keptAfter = QStringView(before).last(tail);
    const QStringView inserted = QStringView(input).sliced(head, input.size() - head - tail);
    const qsizetype room = m_characters - characters(kept) - characters(keptAfter);
    if (room <= 0)
        return Invalid;
    const QStringView taken = firstCharacters(inserted, room);
    QString limited;
    limited.append(kept).append(taken).append(keptAfter);
    input = limited;
    pos = int(head + taken.size());
    return Acceptable;
}

} // namespace desktop
