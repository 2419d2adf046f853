#pragma once

// The Directory and the design speak UTF-8 through string views of constant
// data: the windows hand the Directory a view of their text converted with
// toUtf8(), and turn the views either gives back into QStrings.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

namespace look {

// A view of utf8, which must outlive it.
inline std::string_view utf8View(const QByteArray &utf8)
{
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

inline QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QStringList texts(std::span<const std::string_view> utf8)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(utf8.size()));
    for (const std::string_view each : utf8)
        list.append(text(each));
    return list;
}

} // namespace look
