// Loads the button and the group box from a fuzzed bag, then gives each a
// fuzzed run of property assignments, resizes and picture copies. Each step
// either works or raises a host error, and afterwards what the control saves
// loads into a fresh control without any run-time error and with the same
// property values. The input is the bag's JSON up to the first NUL byte,
// then the steps.

#include "fuzzsupport.h"

#include <Huvolo/hosterror.h>
#include <Huvolo/placement.h>
#include <Huvolo/propertybag.h>
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <QImage>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

using namespace huvolo;

namespace {

enum class Kind { State, Enabled, Caption, Font, ChangeSharedFont, BackColor, Size, Paint, ScaleMode, Cls, kMaxValue = Cls };

struct Step
{
    Kind kind = Kind::Cls;
    qint64 number = 0;
    bool flag = false;
    QString text;
    StdFont font;
    int field = 0;
    int width = 0;
    int height = 0;
    QImage picture;
    std::array<float, 8> numbers{};
};

QString fuzzText(FuzzedDataProvider &in, size_t length)
{
    const bool raw = in.ConsumeBool();
    return fuzz::text(in.ConsumeRandomLengthString(length), raw);
}

double fuzzFontSize(FuzzedDataProvider &in)
{
    static constexpr double sizes[] = {6, 8.25, 0, -1, 1e-300, 2048, 2048.0000001, 1e300,
                                       std::numeric_limits<double>::infinity(),
                                       std::numeric_limits<double>::quiet_NaN()};
    return in.ConsumeBool() ? in.PickValueInArray(sizes) : in.ConsumeFloatingPointInRange<double>(-10, 2100);
}

qint16 fuzzShort(FuzzedDataProvider &in, int low, int high)
{
    return in.ConsumeBool() ? qint16(in.ConsumeIntegralInRange(low, high)) : in.ConsumeIntegral<qint16>();
}

StdFont fuzzFont(FuzzedDataProvider &in)
{
    StdFont font;
    font.Name = fuzzText(in, 24);
    font.Size = fuzzFontSize(in);
    font.Weight = fuzzShort(in, StdFont::MinWeight, StdFont::MaxWeight);
    font.Charset = fuzzShort(in, StdFont::MinCharset, StdFont::MaxCharset);
    font.Italic = in.ConsumeBool();
    font.Underline = in.ConsumeBool();
    font.Strikethrough = in.ConsumeBool();
    return font;
}

// Mostly small sides so runs stay quick; now and then one at or beyond the bound.
int fuzzSide(FuzzedDataProvider &in)
{
    switch (in.ConsumeIntegralInRange(0, 63)) {
    case 0: return in.ConsumeIntegral<int>();
    case 1: return UserControl::MaxSurfaceSide + in.ConsumeIntegralInRange(-2, 2);
    case 2: return in.ConsumeIntegralInRange(0, UserControl::MaxSurfaceSide);
    case 3: return in.ConsumeIntegralInRange(-3, -1);
    default: return in.ConsumeIntegralInRange(0, 300);
    }
}

float fuzzFloat(FuzzedDataProvider &in)
{
    static constexpr float numbers[] = {0, 1, -1, 3, 15, 0.5f, 2.5f, 7.5f, 1e-30f, 8192, 16384, 20000, 122880,
                                        3e5f, 1e6f, -1e6f, 1e9f, -1e9f,
                                        2147483520.0f, -2147483648.0f, 3.2e10f, FLT_MAX, -FLT_MAX,
                                        std::numeric_limits<float>::infinity(),
                                        -std::numeric_limits<float>::infinity(),
                                        std::numeric_limits<float>::quiet_NaN()};
    return in.ConsumeBool() ? in.PickValueInArray(numbers) : in.ConsumeFloatingPoint<float>();
}

QImage fuzzPicture(FuzzedDataProvider &in)
{
    static constexpr QImage::Format formats[] = {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32,
                                                 QImage::Format_ARGB32, QImage::Format_RGB16};
    // Mostly small; now and then a long strip, so that a copy can shrink it
    // by more than the toolkit's stretch handles in one go.
    const bool strip = in.ConsumeIntegralInRange(0, 7) == 0;
    const int width = in.ConsumeIntegralInRange(0, strip ? 40000 : 24);
    const int height = in.ConsumeIntegralInRange(0, strip ? 40000 / std::max(width, 1) : 24);
    QImage picture(width, height, in.PickValueInArray(formats));
    picture.fill(QColor::fromRgba(in.ConsumeIntegral<QRgb>()));
    return picture;
}

Step readStep(FuzzedDataProvider &in)
{
    Step step;
    step.kind = in.ConsumeEnum<Kind>();
    switch (step.kind) {
    case Kind::State:
        step.number = in.ConsumeIntegral<qint32>();
        break;
    case Kind::Enabled:
        step.flag = in.ConsumeBool();
        break;
    case Kind::Caption:
        step.text = fuzzText(in, 80);
        break;
    case Kind::Font:
    case Kind::ChangeSharedFont:
        step.font = fuzzFont(in);
        step.field = in.ConsumeIntegralInRange(0, 6);
        break;
    case Kind::BackColor:
        step.number = in.ConsumeBool() ? qint64(0x80000000u | in.ConsumeIntegralInRange(0, 25))
                                       : qint64(in.ConsumeIntegral<quint32>());
        break;
    case Kind::Size:
        step.width = fuzzSide(in);
        step.height = fuzzSide(in);
        break;
    case Kind::Paint:
        step.picture = fuzzPicture(in);
        for (float &number : step.numbers)
            number = fuzzFloat(in);
        if (in.ConsumeIntegralInRange(0, 3) == 0) {
            // A small destination on the surface, and the whole picture, or a
            // multiple of it, as the source.
            const float scale = in.PickValueInArray({0.5f, 1.0f, 2.0f});
            const int largest = in.ConsumeBool() ? 40 : 3;
            for (int i = 0; i < 4; ++i)
                step.numbers[size_t(i)] = float(in.ConsumeIntegralInRange(i < 2 ? -4 : -2, largest));
            step.numbers[4] = step.numbers[5] = 0;
            step.numbers[6] = float(step.picture.width()) * scale;
            step.numbers[7] = float(step.picture.height()) * scale;
        }
        break;
    case Kind::ScaleMode:
        step.number = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 4) : in.ConsumeIntegral<qint16>();
        break;
    case Kind::Cls:
        break;
    }
    return step;
}

QString describe(const HostError &error)
{
    return QString::fromUtf8(error.what());
}

// Runs one step of the control's API: it returns, or raises a host error,
// which is handed back. Any other exception is a failure.
template <typename Action>
std::optional<HostError> attempt(const char *what, Action action)
{
    try {
        action();
    } catch (const HostError &error) {
        return error;
    } catch (const std::exception &error) {
        fuzz::fail(QLatin1String(what) + QStringLiteral(" threw ") + QString::fromLocal8Bit(error.what()));
    }
    return std::nullopt;
}

template <typename Control>
constexpr bool isButton = std::is_same_v<Control, xpcmdbutton>;

// The persisted values of a control. A font never assigned (a load that
// stopped before the font) is saved as no value, and so loads as the
// container's font.
struct Values
{
    qint32 state = 0;
    bool enabled = true;
    QString caption;
    FontRef font;
    OLE_COLOR backColor = 0;
};

template <typename Control>
Values valuesOf(const Control &control)
{
    Values values;
    if constexpr (isButton<Control>)
        values.state = control.State();
    else
        values.backColor = control.BackColor();
    values.enabled = control.Enabled();
    values.caption = control.Caption();
    values.font = control.Font() ? control.Font() : control.Ambient().Font;
    return values;
}

QString differences(const Values &a, const Values &b)
{
    QStringList found;
    if (a.state != b.state)
        found << QStringLiteral("State %1 became %2").arg(a.state).arg(b.state);
    if (a.enabled != b.enabled)
        found << QStringLiteral("Enabled changed");
    if (a.caption != b.caption)
        found << QStringLiteral("Caption changed");
    if (!sameFont(a.font, b.font))
        found << QStringLiteral("Font changed");
    if (a.backColor != b.backColor)
        found << QStringLiteral("BackColor %1 became %2").arg(a.backColor, 0, 16).arg(b.backColor, 0, 16);
    return found.join(QStringLiteral("; "));
}

void changeField(StdFont &font, const Step &step)
{
    switch (step.field) {
    case 0: font.Name = step.font.Name; break;
    case 1: font.Size = step.font.Size; break;
    case 2: font.Weight = step.font.Weight; break;
    case 3: font.Charset = step.font.Charset; break;
    case 4: font.Italic = step.font.Italic; break;
    case 5: font.Underline = step.font.Underline; break;
    default: font.Strikethrough = step.font.Strikethrough; break;
    }
}

void resize(UserControl &control, const Step &step)
{
    const QSize before = control.size();
    const bool inBounds = step.width >= 0 && step.height >= 0 && step.width <= UserControl::MaxSurfaceSide
                          && step.height <= UserControl::MaxSurfaceSide;
    const std::optional<HostError> error = attempt("setSurfaceSize", [&] { control.setSurfaceSize(step.width, step.height); });
    const QString size = QStringLiteral("%1 x %2").arg(step.width).arg(step.height);
    if (!inBounds) {
        fuzz::check(error && error->number() == HostError::InvalidPropertyValue,
                    QStringLiteral("surface size ") + size + QStringLiteral(" was not refused"));
        fuzz::check(control.size() == before, QStringLiteral("a refused size ") + size + QStringLiteral(" changed the control"));
        return;
    }
    fuzz::check(!error, QStringLiteral("surface size ") + size + QStringLiteral(" raised ") + (error ? describe(*error) : QString()));
    fuzz::check(control.size() == QSize(step.width, step.height), QStringLiteral("the control is not ") + size);
    fuzz::check(control.image().size() == QSize(step.width, step.height).expandedTo(QSize(1, 1)),
                QStringLiteral("the backing image does not follow the size ") + size);
}

void paint(UserControl &control, const Step &step)
{
    const QImage before = control.image();
    const auto &n = step.numbers;
    const std::optional<HostError> error = attempt("PaintPicture", [&] {
        control.PaintPicture(step.picture, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7]);
    });
    if (!error)
        return;
    QStringList numbers;
    for (const float number : n)
        numbers << QString::number(number, 'g', 9);
    const QString call = QStringLiteral("PaintPicture(") + numbers.join(QStringLiteral(", ")) + QLatin1Char(')');
    fuzz::check(error->number() == HostError::InvalidArgument, call + QStringLiteral(" raised ") + describe(*error));
    bool ordinary = true;
    for (const float number : n)
        ordinary = ordinary && std::isfinite(number) && std::fabs(number) <= 1e6f;
    fuzz::check(!ordinary, call + QStringLiteral(" refused ordinary numbers"));
    fuzz::check(control.image() == before, call + QStringLiteral(" was refused but drew"));
}

template <typename Control>
void apply(Control &control, const Step &step)
{
    switch (step.kind) {
    case Kind::State:
        if constexpr (isButton<Control>) {
            attempt("State", [&] { control.setState(qint32(step.number)); });
            fuzz::check(control.State() == qint32(step.number), QStringLiteral("State does not read back"));
        }
        break;
    case Kind::Enabled:
        attempt("Enabled", [&] { control.setEnabled(step.flag); });
        fuzz::check(control.Enabled() == step.flag, QStringLiteral("Enabled does not read back"));
        break;
    case Kind::Caption:
        attempt("Caption", [&] { control.setCaption(step.text); });
        fuzz::check(control.Caption() == step.text, QStringLiteral("Caption does not read back"));
        break;
    case Kind::Font: {
        const FontRef before = control.Font();
        const FontRef font = std::make_shared<StdFont>(step.font);
        if (attempt("Font", [&] { control.setFont(font); }))
            fuzz::check(control.Font() == before, QStringLiteral("a refused Font was kept"));
        else
            fuzz::check(control.Font() == font, QStringLiteral("Font is not the object assigned"));
        break;
    }
    case Kind::ChangeSharedFont:
        // A container may change the shared font object itself.
        if (control.Font())
            changeField(*control.Font(), step);
        break;
    case Kind::BackColor:
        if constexpr (!isButton<Control>) {
            const OLE_COLOR before = control.BackColor();
            if (attempt("BackColor", [&] { control.setBackColor(OLE_COLOR(step.number)); }))
                fuzz::check(control.BackColor() == before, QStringLiteral("a refused BackColor was kept"));
            else
                fuzz::check(control.BackColor() == OLE_COLOR(step.number), QStringLiteral("BackColor does not read back"));
        }
        break;
    case Kind::Size:
        resize(control, step);
        break;
    case Kind::Paint:
        paint(control, step);
        break;
    case Kind::ScaleMode: {
        const qint16 before = control.ScaleMode();
        const bool known = step.number == UserControl::vbTwips || step.number == UserControl::vbPixels;
        const bool refused = attempt("ScaleMode", [&] { control.setScaleMode(qint16(step.number)); }).has_value();
        fuzz::check(refused != known, QStringLiteral("ScaleMode %1 accepted or refused wrongly").arg(step.number));
        fuzz::check(!refused || control.ScaleMode() == before, QStringLiteral("a refused ScaleMode was kept"));
        break;
    }
    case Kind::Cls:
        if (const std::optional<HostError> error = attempt("Cls", [&] { control.Cls(); }))
            fuzz::fail(QStringLiteral("Cls raised ") + describe(*error));
        break;
    }
}

// What the control saves loads back, into a fresh control, without a
// run-time error and with the same values, and saves the same again.
template <typename Control>
void checkSaveAndReload(Control &control, const char *name)
{
    const QString who = QLatin1String(name) + QStringLiteral(": ");
    const FontRef font = control.Font();
    const bool storable = !font || font->problem(QStringLiteral("Font")).isEmpty();
    PropertyBag saved;
    if (const std::optional<HostError> error = attempt("save", [&] { saved = control.save(); })) {
        // Only a shared font changed into one no bag can hold is refused.
        fuzz::check(!storable && error->number() == HostError::InvalidPropertyValue,
                    who + QStringLiteral("save raised ") + describe(*error));
        attempt("Font", [&] { control.setFont(makeFont(QStringLiteral("Arial"), 9)); });
        if (const std::optional<HostError> again = attempt("save", [&] { saved = control.save(); }))
            fuzz::fail(who + QStringLiteral("save with a sound font raised ") + describe(*again));
    } else {
        fuzz::check(storable, who + QStringLiteral("saved a font no bag can load"));
    }
    fuzz::takeReports();

    const QByteArray json = saved.toJson();
    PropertyBag reread;
    if (const std::optional<HostError> error = attempt("fromJson", [&] { reread = PropertyBag::fromJson(json); }))
        fuzz::fail(who + QStringLiteral("the saved bag does not load: ") + describe(*error) + QLatin1Char('\n')
                   + QString::fromUtf8(json));
    const QString changed = fuzz::bagDifference(saved, reread);
    fuzz::check(changed.isEmpty(), who + QStringLiteral("the saved bag changed through JSON: ") + changed);

    Control fresh(fuzz::form());
    place(&fresh, StoredRect::fromPixels(fresh.geometry()), {}, &reread);
    QStringList reports = fuzz::takeReports();
    if constexpr (!isButton<Control>) {
        // The group box places its outline by the caption's height as a
        // 16-bit number and raises an overflow for a taller caption, on every
        // redraw alike; that is its documented limit, not a lost value.
        reports.removeIf([](const QString &report) {
            return report.startsWith(QLatin1String("Run-time error '6': Overflow: the caption's height = "));
        });
    }
    fuzz::check(reports.isEmpty(), who + QStringLiteral("the saved bag loads with an error: ") + reports.value(0)
                                       + QLatin1Char('\n') + QString::fromUtf8(json));
    const QString different = differences(valuesOf(control), valuesOf(fresh));
    fuzz::check(different.isEmpty(), who + QStringLiteral("reloaded, ") + different + QLatin1Char('\n') + QString::fromUtf8(json));
    PropertyBag again;
    if (const std::optional<HostError> error = attempt("save", [&] { again = fresh.save(); }))
        fuzz::fail(who + QStringLiteral("the reloaded control does not save: ") + describe(*error));
    fuzz::check(again.toJson() == json, who + QStringLiteral("the reloaded control saves differently"));
}

template <typename Control>
void exercise(const PropertyBag *bag, const std::vector<Step> &steps, const char *name)
{
    Control control(fuzz::form());
    place(&control, StoredRect::fromPixels(control.geometry()), {}, bag);
    for (const Step &step : steps)
        apply(control, step);
    fuzz::takeReports();
    checkSaveAndReload(control, name);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    fuzz::initialise((*argv)[0]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const uint8_t *end = data + size;
    const uint8_t *split = std::find(data, end, uint8_t(0));
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(split - data));
    FuzzedDataProvider in(split == end ? end : split + 1, size_t(end - (split == end ? end : split + 1)));
    std::vector<Step> steps;
    while (in.remaining_bytes() > 0 && steps.size() < 32)
        steps.push_back(readStep(in));

    std::optional<PropertyBag> bag;
    try {
        bag = PropertyBag::fromJson(json);
    } catch (const HostError &) {
        // Not a bag: the controls are placed new instead.
    }
    exercise<xpcmdbutton>(bag ? &*bag : nullptr, steps, "xpcmdbutton");
    exercise<xpgroupbox>(bag ? &*bag : nullptr, steps, "xpgroupbox");
    fuzz::takeReports();
    return 0;
}
