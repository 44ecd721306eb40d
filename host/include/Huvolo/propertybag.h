#pragma once

#include <Huvolo/hostexport.h>

#include <Huvolo/stdfont.h>

#include <QByteArray>
#include <QSharedDataPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace huvolo {

class PropertyBagData;

// The named-value store in which a container keeps a control's properties.
// Keys match without regard to letter case. Values are Booleans, numbers,
// texts and font objects; JSON is the stored form. Copies are independent
// values that share their contents until one of them changes.
class HUVOLO_HOST_EXPORT PropertyBag
{
public:
    PropertyBag();
    PropertyBag(const PropertyBag &other);
    PropertyBag &operator=(const PropertyBag &other);
    ~PropertyBag();

    // The stored value, or DefaultValue when the key is absent.
    QVariant ReadProperty(const QString &Name, const QVariant &DefaultValue = {}) const;

    // Stores Value; a value equal to DefaultValue is left out of the bag, so
    // reading it back with the same default gives the same value. A value the
    // stored form cannot hold or load back (a font fromJson would refuse, a
    // number that is not finite, a list) raises "Invalid property value" and
    // leaves the bag as it was.
    void WriteProperty(const QString &Name, const QVariant &Value, const QVariant &DefaultValue = {});

    bool contains(const QString &Name) const;
    QStringList keys() const;
    qsizetype count() const;

    // Parses a whole bag; raises an "Invalid file format" error that says what
    // and where was wrong, including a key given twice in any spelling. Nothing is returned for bad input, so a bag that was
    // loaded before stays as it was.
    static PropertyBag fromJson(const QByteArray &json);
    QByteArray toJson() const;

    // Typed conversions of a value read for `key`. A value that cannot be
    // converted raises the type-mismatch error, one that does not fit the
    // overflow error; both name the key.
    static bool toBoolean(const QVariant &value, const QString &key);
    static qint32 toLong(const QVariant &value, const QString &key);
    static QString toText(const QVariant &value, const QString &key);
    static FontRef toFont(const QVariant &value, const QString &key);

    // ReadProperty and the conversion in one step.
    bool readBoolean(const QString &Name, bool DefaultValue) const;
    qint32 readLong(const QString &Name, qint32 DefaultValue) const;
    QString readText(const QString &Name, const QString &DefaultValue) const;
    FontRef readFont(const QString &Name, const FontRef &DefaultValue) const;

private:
    QSharedDataPointer<PropertyBagData> d;
};

} // namespace huvolo
