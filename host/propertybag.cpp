#include <Huvolo/propertybag.h>

#include <Huvolo/hosterror.h>
#include "numeric.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>

#include <cmath>
#include <optional>
#include <vector>

namespace huvolo {

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
        return QStringLiteral("number ") + QString::number(value.toDouble(), 'g', 17);
    if (value.typeId() == QMetaType::QString)
        return QStringLiteral("text \"") + value.toString() + QLatin1Char('"');
    return QString::fromLatin1(value.typeName());
}

HostError mismatch(const QString &key, const char *wanted, const QVariant &value)
{
    return HostError::typeMismatch(QStringLiteral("property \"") + key + QStringLiteral("\" wants ")
                                   + QLatin1String(wanted) + QStringLiteral(", got ") + describe(value));
}

bool equalValues(const QVariant &a, const QVariant &b)
{
    if (isFont(a) || isFont(b))
        return isFont(a) && isFont(b) && sameFont(a.value<FontRef>(), b.value<FontRef>());
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    return a == b;
}

// The finite number a text spells in decimal, if it spells one. The parser
// also reads "nan" and "inf", which are words here, not numbers.
std::optional<double> decimalNumber(const QString &text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

HostError badFormat(const QString &detail)
{
    return HostError(HostError::InvalidFileFormat, QStringLiteral("property bag: ") + detail);
}

QString quoted(const QString &key)
{
    return QLatin1Char('"') + key + QLatin1Char('"');
}

FontRef fontFromJson(const QJsonObject &object, const QString &key)
{
    auto font = std::make_shared<StdFont>();
    const auto field = [&](const char *name) { return object.value(QLatin1String(name)); };
    const auto where = [&](const char *name) { return quoted(key + QLatin1Char('.') + QLatin1String(name)); };

    if (!field("Name").isString())
        throw badFormat(where("Name") + QStringLiteral(" must be a text"));
    font->Name = field("Name").toString();
    if (!field("Size").isDouble())
        throw badFormat(where("Size") + QStringLiteral(" must be a number"));
    font->Size = field("Size").toDouble();
    // Whole numbers within the field's range, checked before the narrowing.
    const auto integer = [&](const char *name, qint16 fallback, int low, int high) -> qint16 {
        if (field(name).isUndefined())
            return fallback;
        const double v = field(name).toDouble(std::nan(""));
        if (!field(name).isDouble() || v != std::floor(v) || v < low || v > high)
            throw badFormat(where(name) + QStringLiteral(" must be a whole number from ") + QString::number(low)
                            + QStringLiteral(" to ") + QString::number(high));
        return static_cast<qint16>(v);
    };
    font->Weight = integer("Weight", 400, StdFont::MinWeight, StdFont::MaxWeight);
    font->Charset = integer("Charset", 0, StdFont::MinCharset, StdFont::MaxCharset);
    const auto flag = [&](const char *name) {
        if (field(name).isUndefined())
            return false;
        if (!field(name).isBool())
            throw badFormat(where(name) + QStringLiteral(" must be true or false"));
        return field(name).toBool();
    };
    font->Italic = flag("Italic");
    font->Underline = flag("Underline");
    font->Strikethrough = flag("Strikethrough");
    // The same rule the Font property applies, so what loads is what a control accepts.
    if (const QString problem = font->problem(key); !problem.isEmpty())
        throw badFormat(problem);
    return font;
}

// Decodes the JSON string whose opening quote is at json[at]; `at` ends on the closing quote.
QString jsonString(const QByteArray &json, qsizetype &at)
{
    QString text;
    QByteArray run;
    for (++at; at < json.size() && json[at] != '"'; ++at) {
        if (json[at] != '\\') {
            run += json[at];
            continue;
        }
        text += QString::fromUtf8(run);
        run.clear();
        if (++at >= json.size())
            break;
        switch (json[at]) {
        case 'b': text += QLatin1Char('\b'); break;
        case 'f': text += QLatin1Char('\f'); break;
        case 'n': text += QLatin1Char('\n'); break;
        case 'r': text += QLatin1Char('\r'); break;
        case 't': text += QLatin1Char('\t'); break;
        case 'u':
            // A UTF-16 code unit; the two halves of a pair arrive as two escapes.
            text += QChar(char16_t(json.mid(at + 1, 4).toUShort(nullptr, 16)));
            at += 4;
            break;
        default: text += QLatin1Char(json[at]); break; // \" \\ \/
        }
    }
    return text + QString::fromUtf8(run);
}

// The first key that an object of this (well-formed) JSON holds twice in
// exactly the same spelling, at any depth.
std::optional<QString> repeatedKey(const QByteArray &json)
{
    std::vector<QSet<QString>> objectKeys; // one set per open object
    std::vector<bool> openObject;          // the open containers, innermost last: object or list
    for (qsizetype at = 0; at < json.size(); ++at) {
        switch (json[at]) {
        case '{':
            openObject.push_back(true);
            objectKeys.emplace_back();
            break;
        case '[':
            openObject.push_back(false);
            break;
        case '}':
        case ']':
            if (!openObject.empty()) {
                if (openObject.back())
                    objectKeys.pop_back();
                openObject.pop_back();
            }
            break;
        case '"': {
            const QString text = jsonString(json, at);
            qsizetype next = at + 1;
            while (next < json.size() && QByteArrayView(" \t\r\n").contains(json[next]))
                ++next;
            const bool isKey = next < json.size() && json[next] == ':' && !openObject.empty() && openObject.back();
            if (isKey) {
                if (objectKeys.back().contains(text))
                    return text;
                objectKeys.back().insert(text);
            }
            break;
        }
        default:
            break;
        }
    }
    return std::nullopt;
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

class PropertyBagData : public QSharedData
{
public:
    struct Entry
    {
        QString name;
        QVariant value;
    };
    QMap<QString, Entry> m_entries; // keyed by the case-folded name
};

static_assert(sizeof(PropertyBag) == sizeof(void *), "PropertyBag keeps its data behind d");

PropertyBag::PropertyBag()
    : d(new PropertyBagData)
{
}

PropertyBag::PropertyBag(const PropertyBag &other) = default;
PropertyBag &PropertyBag::operator=(const PropertyBag &other) = default;
PropertyBag::~PropertyBag() = default;

qsizetype PropertyBag::count() const
{
    return d->m_entries.size();
}

QVariant PropertyBag::ReadProperty(const QString &Name, const QVariant &DefaultValue) const
{
    const auto it = d->m_entries.constFind(folded(Name));
    return it == d->m_entries.cend() ? DefaultValue : it->value;
}

void PropertyBag::WriteProperty(const QString &Name, const QVariant &Value, const QVariant &DefaultValue)
{
    // Only what fromJson loads back is stored, so a saved bag never locks
    // out the values saved beside it.
    QVariant stored = Value;
    if (isFont(Value)) {
        const FontRef font = Value.value<FontRef>();
        if (font) {
            if (const QString problem = font->problem(Name); !problem.isEmpty())
                throw HostError::invalidValue(problem);
            // The bag keeps the font as it is now: a later change to the
            // shared object does not reach what was saved.
            stored = QVariant::fromValue(std::make_shared<StdFont>(*font));
        }
    } else if (isNumber(Value)) {
        if (!std::isfinite(Value.toDouble()))
            throw HostError::invalidValue(QStringLiteral("property ") + quoted(Name) + QStringLiteral(" = ")
                                          + QString::number(Value.toDouble()) + QStringLiteral(" is not a finite number"));
    } else if (Value.typeId() != QMetaType::Bool && Value.typeId() != QMetaType::QString) {
        throw HostError::invalidValue(QStringLiteral("property ") + quoted(Name) + QStringLiteral(" holds ")
                                      + describe(Value) + QStringLiteral("; a value is a Boolean, a number, a text or a font"));
    }
    // No font object at all (one never assigned) has no stored form either.
    const bool empty = isFont(Value) && !Value.value<FontRef>();
    if (empty || equalValues(Value, DefaultValue))
        d->m_entries.remove(folded(Name));
    else
        d->m_entries.insert(folded(Name), PropertyBagData::Entry{Name, stored});
}

bool PropertyBag::contains(const QString &Name) const
{
    return d->m_entries.contains(folded(Name));
}

QStringList PropertyBag::keys() const
{
    QStringList names;
    for (const PropertyBagData::Entry &entry : d->m_entries)
        names << entry.name;
    return names;
}

PropertyBag PropertyBag::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw badFormat(error.errorString() + QStringLiteral(" at offset ") + QString::number(error.offset));
    if (!document.isObject())
        throw badFormat(QStringLiteral("the top level must be an object of named values"));
    // The parser keeps only the last of two equal keys; a bag must not silently lose one.
    if (const std::optional<QString> twice = repeatedKey(json))
        throw badFormat(quoted(*twice) + QStringLiteral(" is given twice (keys ignore letter case)"));

    PropertyBag bag;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        if (bag.contains(key))
            throw badFormat(quoted(key) + QStringLiteral(" is given twice (keys ignore letter case)"));
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
            throw badFormat(quoted(key) + QStringLiteral(" holds ")
                            + (value.isNull() ? QStringLiteral("null") : QStringLiteral("a list"))
                            + QStringLiteral("; a value is a Boolean, a number, a text or a font"));
        bag.d->m_entries.insert(folded(key), PropertyBagData::Entry{key, stored});
    }
    return bag;
}

QByteArray PropertyBag::toJson() const
{
    QJsonObject object;
    for (const PropertyBagData::Entry &entry : d->m_entries) {
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
        if (const std::optional<double> number = decimalNumber(text))
            return *number != 0;
    }
    throw mismatch(key, "a Boolean", value);
}

qint32 PropertyBag::toLong(const QVariant &value, const QString &key)
{
    const QString what = QStringLiteral("property ") + quoted(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? -1 : 0;
    if (isNumber(value))
        return huvolo::toLong(value.toDouble(), what);
    if (value.typeId() == QMetaType::QString) {
        if (const std::optional<double> number = decimalNumber(value.toString()))
            return huvolo::toLong(*number, what);
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

} // namespace huvolo
