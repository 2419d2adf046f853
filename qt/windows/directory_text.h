#pragma once

// The Directory speaks UTF-8 through string views of constant data: the
// windows hand it a view of their text converted with toUtf8(), and turn the
// views it gives back into QStrings.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

namespace windows {

// A view of utf8, which must outlive it.
inline std::string_view utf8View(const QByteArray &utf8)
{
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

inline QString fromUtf8View(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QStringList fromUtf8Views(std::span<const std::string_view> texts)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string_view text : texts)
        list.append(fromUtf8View(text));
    return list;
}

} // namespace windows
