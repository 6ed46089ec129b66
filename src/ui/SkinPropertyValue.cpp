#include "ui/SkinPropertyValue.h"

#include <QCursor>
#include <QHash>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QRect>
#include <QSizePolicy>
#include <QTime>
#include <QXmlStreamReader>

namespace {

// The fields of a compound value (<size><width>4</width><height>2</height></size>) as numbers.
class Fields {
public:
    explicit Fields(QXmlStreamReader& xml)
    {
        while (xml.readNextStartElement())
            texts_.insert(xml.name().toString(), xml.readElementText());
    }
    // The field as a number (a missing field is 0, as the format has it); `ok` falls for one that is
    // not a number.
    int Number(const QString& name, bool* ok) const
    {
        const auto text = texts_.constFind(name);
        if (text == texts_.constEnd())
            return 0;
        bool valid = false;
        const int value = text->toInt(&valid);
        *ok = *ok && valid;
        return value;
    }

private:
    QHash<QString, QString> texts_;
};

// The value of "Key" or "Scope::Key" (or, for flags, several joined by '|') in `meta`.
QVariant Enumerated(const QMetaEnum& meta, const QString& keys)
{
    bool ok = false;
    const QByteArray text = keys.trimmed().toLatin1();
    const int value = meta.isFlag() || keys.contains('|') ? meta.keysToValue(text.constData(), &ok)
                                                          : meta.keyToValue(text.constData(), &ok);
    return ok ? QVariant(value) : QVariant();
}

}  // namespace

QVariant SkinPropertyValue::Read(QXmlStreamReader& xml, const QMetaObject& target, const QByteArray& property,
                                 QString* error)
{
    const QString type = xml.name().toString();
    const auto fail = [&](const QString& why) {
        *error = QStringLiteral("property \"%1\": %2").arg(QString::fromUtf8(property), why);
        return QVariant();
    };
    const auto number = [&](const QString& text, QVariant value) {
        return value.isValid() ? value : fail(QStringLiteral("\"%1\" is not a number").arg(text));
    };
    if (type == u"string")
        return xml.readElementText();
    if (type == u"number") {
        bool ok = false;
        const QString text = xml.readElementText();
        const int value = text.toInt(&ok);
        return number(text, ok ? QVariant(value) : QVariant());
    }
    if (type == u"double") {
        bool ok = false;
        const QString text = xml.readElementText();
        const double value = text.toDouble(&ok);
        return number(text, ok ? QVariant(value) : QVariant());
    }
    if (type == u"bool")
        return xml.readElementText() == u"true";
    if (type == u"enum" || type == u"set") {
        const int index = target.indexOfProperty(property.constData());
        if (index < 0 || !target.property(index).isEnumType())
            return fail(QStringLiteral("%1 has no enumerated property of that name").arg(QString::fromLatin1(target.className())));
        const QString keys = xml.readElementText();
        const QVariant value = Enumerated(target.property(index).enumerator(), keys);
        return value.isValid() ? value : fail(QStringLiteral("unknown value \"%1\"").arg(keys));
    }
    if (type == u"cursorShape") {
        const QString key = xml.readElementText();
        const QVariant shape = Enumerated(QMetaEnum::fromType<Qt::CursorShape>(), key);
        return shape.isValid() ? QVariant(QCursor(static_cast<Qt::CursorShape>(shape.toInt())))
                               : fail(QStringLiteral("unknown cursor \"%1\"").arg(key));
    }
    if (type == u"sizepolicy") {
        const QMetaEnum policies = QMetaEnum::fromType<QSizePolicy::Policy>();
        const QVariant horizontal = Enumerated(policies, xml.attributes().value("hsizetype").toString());
        const QVariant vertical = Enumerated(policies, xml.attributes().value("vsizetype").toString());
        bool ok = horizontal.isValid() && vertical.isValid();
        const Fields fields(xml);
        QSizePolicy policy(static_cast<QSizePolicy::Policy>(horizontal.toInt()),
                           static_cast<QSizePolicy::Policy>(vertical.toInt()));
        policy.setHorizontalStretch(fields.Number(QStringLiteral("horstretch"), &ok));
        policy.setVerticalStretch(fields.Number(QStringLiteral("verstretch"), &ok));
        if (!ok)
            return fail(QStringLiteral("a size policy it cannot read"));
        return policy;
    }
    if (type == u"size" || type == u"rect" || type == u"point" || type == u"time") {
        const Fields fields(xml);
        bool ok = true;
        const auto field = [&](const char* name) { return fields.Number(QString::fromLatin1(name), &ok); };
        QVariant value;
        if (type == u"size")
            value = QSize(field("width"), field("height"));
        else if (type == u"rect")
            value = QRect(field("x"), field("y"), field("width"), field("height"));
        else if (type == u"point")
            value = QPoint(field("x"), field("y"));
        else
            value = QTime(field("hour"), field("minute"), field("second"));
        if (!ok)
            return fail(QStringLiteral("a %1 with a field that is not a number").arg(type));
        return value;
    }
    return fail(QStringLiteral("values of type <%1> are not read by the skin").arg(type));
}
