#pragma once

#include <Huvolo/hostexport.h>

#include <QFont>
#include <QMetaType>
#include <QString>

#include <memory>

namespace huvolo {

// The host's standard font object. Controls, their surfaces and labels share
// one object by reference, so identity matters: FontRef is that reference,
// and an empty FontRef means "no font assigned". Its fields are its
// interface, as programs read and set them, so they stay as they are for
// as long as the library's major version does.
class HUVOLO_HOST_EXPORT StdFont
{
public:
    QString Name = QStringLiteral("MS Sans Serif");
    double Size = 8.25; // points
    qint16 Weight = 400;
    qint16 Charset = 0;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;

    // What a stored font may hold: a face name, a size above 0 and at most
    // MaxSize points, a weight and a charset within their ranges.
    static constexpr double MaxSize = 2048;
    static constexpr int MinWeight = 0;
    static constexpr int MaxWeight = 1000;
    static constexpr int MinCharset = 0;
    static constexpr int MaxCharset = 255;

    bool Bold() const { return Weight >= 700; }

    // Empty when the font is one a property bag can store and load back;
    // otherwise what is wrong, each field named as `owner` + "." + field.
    QString problem(const QString &owner) const;

    // The Qt font that renders this description; a face missing here goes
    // through QFont's substitution table like any other family.
    QFont toQFont() const;

    friend bool operator==(const StdFont &, const StdFont &) = default;
};

using FontRef = std::shared_ptr<StdFont>;

HUVOLO_HOST_EXPORT FontRef makeFont(const QString &name, double size, qint16 weight = 400, qint16 charset = 0);

// A new font object describing a Qt font: its family, point size, weight,
// italic, underline and strike-out, charset 0. A font sized in pixels takes
// the point size it is shown at.
HUVOLO_HOST_EXPORT FontRef fontFromQFont(const QFont &font);

// Fonts are equal when both are empty or both describe the same face.
HUVOLO_HOST_EXPORT bool sameFont(const FontRef &a, const FontRef &b);

} // namespace huvolo

Q_DECLARE_METATYPE(huvolo::FontRef)
