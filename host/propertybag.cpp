#include "propertybag.h"

#include "hosterror.h"
#include "numeric.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QString folded(const QString &name)
{
    return name.toCaseFolded();
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isFont(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<FontRef>();
}

QString describe(const QVariant &value)
{
    if (!value.isValid())
        return QStringLiteral("nothing");
    if (isFont(value))
        return QStringLiteral("a font");
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("Boolean True") : QStringLiteral("Boolean False");
    if (isNumber(value))
        return QStringLiteral("number %1").arg(value.toDouble(), 0, 'g', 17);
    if (value.typeId() == QMetaType::QString)
        return QStringLiteral("text \"%1\"").arg(value.toString());
    return QString::fromLatin1(value.typeName());
}

HostError mismatch(const QString &key, const char *wanted, const QVariant &value)
{
    return HostError::typeMismatch(QStringLiteral("property \"%1\" wants %2, got %3")
                                       .arg(key, QLatin1String(wanted), describe(value)));
}

bool equalValues(const QVariant &a, const QVariant &b)
{
    if (isFont(a) || isFont(b))
        return isFont(a) && isFont(b) && sameFont(a.value<FontRef>(), b.value<FontRef>());
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    return a == b;
}

HostError badFormat(const QString &detail)
{
    return HostError(HostError::InvalidFileFormat, QStringLiteral("Invalid property bag: ") + detail);
}

FontRef fontFromJson(const QJsonObject &object, const QString &key)
{
    auto font = std::make_shared<StdFont>();
    const auto field = [&](const char *name) { return object.value(QLatin1String(name)); };
    const auto where = [&](const char *name) { return QStringLiteral("\"%1.%2\"").arg(key, QLatin1String(name)); };

    if (!field("Name").isString() || field("Name").toString().isEmpty())
        throw badFormat(QStringLiteral("%1 must be a non-empty text").arg(where("Name")));
    font->Name = field("Name").toString();
    const double size = field("Size").toDouble(-1);
    if (!field("Size").isDouble() || !(size > 0) || size > 2048)
        throw badFormat(QStringLiteral("%1 must be a number of points above 0 and at most 2048").arg(where("Size")));
    font->Size = size;
    const auto integer = [&](const char *name, qint16 fallback, int low, int high) -> qint16 {
        if (field(name).isUndefined())
            return fallback;
        const double v = field(name).toDouble(std::nan(""));
        if (!field(name).isDouble() || v != std::floor(v) || v < low || v > high)
            throw badFormat(QStringLiteral("%1 must be a whole number from %2 to %3").arg(where(name)).arg(low).arg(high));
        return static_cast<qint16>(v);
    };
    font->Weight = integer("Weight", 400, 0, 1000);
    font->Charset = integer("Charset", 0, 0, 255);
    const auto flag = [&](const char *name) {
        if (field(name).isUndefined())
            return false;
        if (!field(name).isBool())
            throw badFormat(QStringLiteral("%1 must be true or false").arg(where(name)));
        return field(name).toBool();
    };
    font->Italic = flag("Italic");
    font->Underline = flag("Underline");
    font->Strikethrough = flag("Strikethrough");
    return font;
}

QJsonObject fontToJson(const StdFont &font)
{
    QJsonObject object{{"Name", font.Name}, {"Size", font.Size}, {"Weight", font.Weight}, {"Charset", font.Charset}};
    if (font.Italic)
        object.insert("Italic", true);
    if (font.Underline)
        object.insert("Underline", true);
    if (font.Strikethrough)
        object.insert("Strikethrough", true);
    return object;
}

} // namespace

QVariant PropertyBag::ReadProperty(const QString &Name, const QVariant &DefaultValue) const
{
    const auto it = m_entries.constFind(folded(Name));
    return it == m_entries.cend() ? DefaultValue : it->value;
}

void PropertyBag::WriteProperty(const QString &Name, const QVariant &Value, const QVariant &DefaultValue)
{
    if (equalValues(Value, DefaultValue))
        m_entries.remove(folded(Name));
    else
        m_entries.insert(folded(Name), Entry{Name, Value});
}

bool PropertyBag::contains(const QString &Name) const
{
    return m_entries.contains(folded(Name));
}

QStringList PropertyBag::keys() const
{
    QStringList names;
    for (const Entry &entry : m_entries)
        names << entry.name;
    return names;
}

PropertyBag PropertyBag::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw badFormat(QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        throw badFormat(QStringLiteral("the top level must be an object of named values"));

    PropertyBag bag;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        if (bag.contains(key))
            throw badFormat(QStringLiteral("\"%1\" is given twice (keys ignore letter case)").arg(key));
        const QJsonValue value = it.value();
        QVariant stored;
        if (value.isBool())
            stored = value.toBool();
        else if (value.isDouble())
            stored = value.toDouble();
        else if (value.isString())
            stored = value.toString();
        else if (value.isObject())
            stored = QVariant::fromValue(fontFromJson(value.toObject(), key));
        else
            throw badFormat(QStringLiteral("\"%1\" holds %2; a value is a Boolean, a number, a text or a font")
                                .arg(key, value.isNull() ? QStringLiteral("null") : QStringLiteral("a list")));
        bag.m_entries.insert(folded(key), Entry{key, stored});
    }
    return bag;
}

QByteArray PropertyBag::toJson() const
{
    QJsonObject object;
    for (const Entry &entry : m_entries) {
        if (isFont(entry.value)) {
            const FontRef font = entry.value.value<FontRef>();
            if (font)
                object.insert(entry.name, fontToJson(*font));
        } else {
            object.insert(entry.name, QJsonValue::fromVariant(entry.value));
        }
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool PropertyBag::toBoolean(const QVariant &value, const QString &key)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (isNumber(value))
        return value.toDouble() != 0;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (ok)
            return number != 0;
    }
    throw mismatch(key, "a Boolean", value);
}

qint32 PropertyBag::toLong(const QVariant &value, const QString &key)
{
    const QString what = QStringLiteral("property \"%1\"").arg(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? -1 : 0;
    if (isNumber(value))
        return host::toLong(value.toDouble(), what);
    if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return host::toLong(number, what);
    }
    throw mismatch(key, "a 32-bit integer", value);
}

QString PropertyBag::toText(const QVariant &value, const QString &key)
{
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (isNumber(value))
        return QString::number(value.toDouble(), 'g', 15);
    throw mismatch(key, "a text", value);
}

FontRef PropertyBag::toFont(const QVariant &value, const QString &key)
{
    if (isFont(value))
        return value.value<FontRef>();
    throw mismatch(key, "a font", value);
}

bool PropertyBag::readBoolean(const QString &Name, bool DefaultValue) const
{
    return toBoolean(ReadProperty(Name, DefaultValue), Name);
}

qint32 PropertyBag::readLong(const QString &Name, qint32 DefaultValue) const
{
    return toLong(ReadProperty(Name, DefaultValue), Name);
}

QString PropertyBag::readText(const QString &Name, const QString &DefaultValue) const
{
    return toText(ReadProperty(Name, DefaultValue), Name);
}

FontRef PropertyBag::readFont(const QString &Name, const FontRef &DefaultValue) const
{
    return toFont(ReadProperty(Name, QVariant::fromValue(DefaultValue)), Name);
}
