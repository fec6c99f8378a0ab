#pragma once
// Element scanning shared by the tag readers: positions are 0-based, views never copy the text.
#include <QString>
#include <QStringView>

namespace corvane::detail {

// "<" + tag + ">" and "</" + tag + ">".
inline QString openTag(QStringView tag) { return QLatin1Char('<') + tag.toString() + QLatin1Char('>'); }
inline QString closeTag(QStringView tag) { return QLatin1String("</") + tag.toString() + QLatin1Char('>'); }

// The content of the first element: both tags searched from the start of `text`, case ignored.
// `found` is false (and the view empty) when either tag is missing. A closing tag before the
// opening one raises error 5.
QStringView extractIgnoreCase(QStringView text, QStringView tag, bool* openWithoutClose = nullptr);

// The next element at or after `pos`, exact case; both tags are searched from `pos`. Returns
// false when no opening tag is left. On success `content` is the element's content and `pos`
// moves past its closing tag. An opening tag with no closing tag after `pos`, or a closing tag
// in front of it, raises error 5.
// Exact search for a text that starts with '<' (a tag); -1 when absent.
qsizetype indexOfTag(QStringView text, QStringView tag, qsizetype from);

bool nextElement(QStringView text, QStringView open, QStringView close, qsizetype& pos,
                 QStringView& content);

}  // namespace corvane::detail
