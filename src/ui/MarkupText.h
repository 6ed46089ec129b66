#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

// The inline markup of list texts: "{x 4}" / "<x 4>" leaves 4 pixels of space ("{x }" none);
// "{i file n k}" draws picture k (from 0) of the n equal pictures `file` is cut into; "<a>" ... "</a>"
// encloses a link area (its text is drawn in the link colour). Angle and brace brackets mean the same.
// A backslash before "\\", "{", "}", "<" or ">" draws that character as text, so any name can be shown
// as written. Anything else, including a malformed tag, is drawn as plain text.
class MarkupText {
public:
    struct Run {
        enum Kind { Text, Space, Image } kind = Text;
        QString text;     // Text
        int width = 0;    // Space
        QString file;     // Image
        int count = 1;
        int index = 0;
        bool link = false;
    };

    static QList<Run> Parse(const QString& markup);
    // The text without any markup (what a user reads).
    static QString PlainText(const QString& markup);
    // Draws the runs left to right, vertically centred in `rect`; returns the width used.
    static int Paint(QPainter& painter, const QRect& rect, const QList<Run>& runs, const QColor& textColor,
                     const QColor& linkColor);
};
