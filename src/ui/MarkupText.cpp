#include "ui/MarkupText.h"

#include "ui/SkinImage.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

// A tag starting at `pos` (which holds '{' or '<'): its content and the index after it, if closed.
bool ReadTag(const QString& s, int pos, QString& content, int& next)
{
    const QChar close = s[pos] == '{' ? '}' : '>';
    const int end = s.indexOf(close, pos + 1);
    if (end < 0)
        return false;
    content = s.mid(pos + 1, end - pos - 1);
    next = end + 1;
    return true;
}

}  // namespace

QList<MarkupText::Run> MarkupText::Parse(const QString& markup)
{
    QList<Run> runs;
    bool link = false;
    QString text;
    auto flushText = [&] {
        if (!text.isEmpty()) {
            Run r;
            r.text = text;
            r.link = link;
            runs.append(r);
            text.clear();
        }
    };
    for (int i = 0; i < markup.size();) {
        const QChar c = markup[i];
        if (c == '\\' && i + 1 < markup.size() && QStringLiteral("\\{}<>").contains(markup[i + 1])) {
            text += markup[i + 1];
            i += 2;
            continue;
        }
        QString tag;
        int next = 0;
        if ((c == '{' || c == '<') && ReadTag(markup, i, tag, next)) {
            const QStringList parts = tag.split(' ', Qt::SkipEmptyParts);
            const QString name = parts.isEmpty() ? QString() : parts[0];
            bool known = true;
            if (name == "x" && parts.size() <= 2) {
                flushText();
                Run r;
                r.kind = Run::Space;
                r.width = parts.size() == 2 ? parts[1].toInt() : 0;
                r.link = link;
                runs.append(r);
            } else if (name == "i" && parts.size() >= 2) {
                flushText();
                Run r;
                r.kind = Run::Image;
                r.file = parts[1];
                r.count = parts.size() >= 3 ? qMax(1, parts[2].toInt()) : 1;
                r.index = parts.size() >= 4 ? parts[3].toInt() : 0;
                r.link = link;
                runs.append(r);
            } else if (name == "a") {
                flushText();
                link = true;
            } else if (name == "/a") {
                flushText();
                link = false;
            } else {
                known = false;
            }
            if (known) {
                i = next;
                continue;
            }
        }
        text += c;
        ++i;
    }
    flushText();
    return runs;
}

QString MarkupText::PlainText(const QString& markup)
{
    QString result;
    for (const Run& r : Parse(markup))
        if (r.kind == Run::Text)
            result += r.text;
    return result;
}

int MarkupText::Paint(QPainter& painter, const QRect& rect, const QList<Run>& runs, const QColor& textColor,
                      const QColor& linkColor)
{
    int x = rect.left();
    const QFontMetrics metrics(painter.font());
    for (const Run& r : runs) {
        if (x >= rect.right())
            break;
        switch (r.kind) {
        case Run::Space:
            x += r.width;
            break;
        case Run::Image: {
            QPixmap piece = SkinImage::Piece(r.file, r.count, r.index);
            if (piece.isNull())
                break;
            const int y = rect.top() + (rect.height() - piece.height()) / 2;
            painter.drawPixmap(x, y, piece);
            x += piece.width();
            break;
        }
        case Run::Text: {
            painter.setPen(r.link ? linkColor : textColor);
            const int w = metrics.horizontalAdvance(r.text);
            painter.drawText(QRect(x, rect.top(), rect.right() - x, rect.height()), Qt::AlignVCenter | Qt::AlignLeft,
                             metrics.elidedText(r.text, Qt::ElideRight, rect.right() - x));
            x += w;
            break;
        }
        }
    }
    return x - rect.left();
}
