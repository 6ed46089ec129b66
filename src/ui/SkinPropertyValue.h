#pragma once

#include <QString>
#include <QVariant>

class QXmlStreamReader;
struct QMetaObject;

// The value of a layout's <property>: the element inside it, of the types the skin's layouts use
// (<string>, <number>, <double>, <bool>, <enum>, <set>, <size>, <rect>, <point>, <cursorShape>,
// <sizepolicy>, <time>). Enumerations and flags are written as in C++ ("Qt::NoFocus",
// "Qt::AlignLeft|Qt::AlignTop") and looked up in the property of the object they are meant for.
class SkinPropertyValue {
public:
    // Reads the value element the reader stands on, up to its end. An invalid value, with `error`
    // saying why, for a type the skin does not use, a number that is none, or an unknown key (the
    // reader's place is then anywhere inside the value: the layout cannot be read on).
    static QVariant Read(QXmlStreamReader& xml, const QMetaObject& target, const QByteArray& property, QString* error);
};
