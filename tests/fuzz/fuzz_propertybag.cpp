// Feeds arbitrary bytes to PropertyBag::fromJson. A bag either loads or is
// refused as an invalid file; every typed reader on every key returns or
// raises a conversion error; what loaded can be written into a new bag; and
// the bag's JSON loads back to an equal bag that writes the same JSON.

#include "fuzzsupport.h"

#include <Huvolo/hosterror.h>
#include <Huvolo/propertybag.h>

#include <cstddef>
#include <cstdint>
#include <functional>

using namespace huvolo;

namespace {

// Runs one typed read. It returns, or raises a type mismatch or an overflow
// that names the key; nothing else.
void expectConversion(const QString &key, const char *reader, const std::function<void()> &read)
{
    try {
        read();
    } catch (const HostError &error) {
        fuzz::check(error.number() == HostError::TypeMismatch || error.number() == HostError::Overflow,
                    QStringLiteral("%1(\"%2\") raised %3").arg(QLatin1String(reader), key, QString::fromUtf8(error.what())));
        fuzz::check(error.description().contains(QLatin1Char('"') + key + QLatin1Char('"')),
                    QStringLiteral("%1 error does not name \"%2\": %3").arg(QLatin1String(reader), key, error.description()));
    }
}

void readEveryWay(const PropertyBag &bag, const QString &key)
{
    const QVariant value = bag.ReadProperty(key);
    expectConversion(key, "readBoolean", [&] { bag.readBoolean(key, true); });
    expectConversion(key, "readLong", [&] { bag.readLong(key, 0); });
    expectConversion(key, "readText", [&] { bag.readText(key, QString()); });
    expectConversion(key, "readFont", [&] { bag.readFont(key, makeFont(QStringLiteral("Arial"), 9)); });
    expectConversion(key, "toBoolean", [&] { PropertyBag::toBoolean(value, key); });
    expectConversion(key, "toLong", [&] { PropertyBag::toLong(value, key); });
    expectConversion(key, "toText", [&] { PropertyBag::toText(value, key); });
    expectConversion(key, "toFont", [&] { PropertyBag::toFont(value, key); });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    fuzz::initialise((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    PropertyBag bag;
    try {
        bag = PropertyBag::fromJson(json);
    } catch (const HostError &error) {
        fuzz::check(error.number() == HostError::InvalidFileFormat,
                    QStringLiteral("fromJson raised ") + QString::fromUtf8(error.what()));
        return 0;
    }

    // Every key as stored and in another letter case, and the keys the
    // controls read, present or not.
    QStringList keys = bag.keys();
    for (const QString &key : bag.keys()) {
        const QString other = key.toUpper() == key ? key.toLower() : key.toUpper();
        if (other.toCaseFolded() == key.toCaseFolded())
            fuzz::check(bag.contains(other), QStringLiteral("\"%1\" is not found as \"%2\"").arg(key, other));
        keys << other;
    }
    keys << QStringLiteral("State") << QStringLiteral("Enabled") << QStringLiteral("Caption")
         << QStringLiteral("Font") << QStringLiteral("BackColor");
    for (const QString &key : keys)
        readEveryWay(bag, key);

    // What loaded is what a bag stores: writing each value again is accepted.
    PropertyBag copy;
    for (const QString &key : bag.keys()) {
        try {
            copy.WriteProperty(key, bag.ReadProperty(key));
        } catch (const HostError &error) {
            fuzz::fail(QStringLiteral("a loaded value does not write back: ") + QString::fromUtf8(error.what()));
        }
    }
    fuzz::check(fuzz::bagDifference(bag, copy).isEmpty(),
                QStringLiteral("written again: ") + fuzz::bagDifference(bag, copy));

    const QByteArray saved = bag.toJson();
    PropertyBag reloaded;
    try {
        reloaded = PropertyBag::fromJson(saved);
    } catch (const HostError &error) {
        fuzz::fail(QStringLiteral("the bag's own JSON does not load: ") + QString::fromUtf8(error.what())
                   + QStringLiteral("\n") + QString::fromUtf8(saved));
    }
    fuzz::check(fuzz::bagDifference(bag, reloaded).isEmpty(),
                QStringLiteral("round trip: ") + fuzz::bagDifference(bag, reloaded));
    fuzz::check(reloaded.toJson() == saved, QStringLiteral("the JSON of a reloaded bag differs"));
    return 0;
}
