#include "recentcolours.h"

#include "colourformats.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringList>

#include <algorithm>

namespace huvolo {

namespace {

const QString Key = QStringLiteral("recentColours");

// Another window holds the lock only while it reads and writes a few
// hundred bytes; waiting longer means it hangs, and we save without it.
constexpr int LockTimeoutMs = 5000;

// Why a file cannot be opened, in the system's words.
QString openError(const QString &fileName)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown reason");
    return file.errorString();
}

// Why the file cannot be saved: QSettings writes a new file beside it and
// renames it over, so the folder must take new files.
QString writeError(const QString &fileName)
{
    QFile file(fileName);
    if (file.exists() && !file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return file.errorString();
    return QStringLiteral("cannot create files in %1").arg(QFileInfo(fileName).absolutePath());
}

// QList's == hands memcmp a null pointer when one of two empty lists has
// storage and the other none, which the sanitizers rightly report.
bool same(const QList<QRgb> &a, const QList<QRgb> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

QString quotedSample(const QStringList &texts)
{
    QStringList quoted;
    for (const QString &text : texts.mid(0, 3))
        quoted << QLatin1Char('"') + text.left(20) + QLatin1Char('"');
    if (texts.size() > 3)
        quoted << QStringLiteral("and %1 more").arg(texts.size() - 3);
    return quoted.join(QLatin1String(", "));
}

} // namespace

struct RecentColours::Stored
{
    QList<QRgb> colours;
    QStringList problems;
    bool readable = true; // an unreadable file is left alone, not overwritten
};

RecentColours::RecentColours(const QString &organization, const QString &application, QObject *parent)
    : QObject(parent), m_organization(organization), m_application(application)
{
    reload();
}

QString RecentColours::fileName() const
{
    return QSettings(m_organization, m_application).fileName();
}

void RecentColours::add(QRgb rgb)
{
    rgb = qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
    change([rgb](QList<QRgb> &colours) {
        colours.removeAll(rgb);
        colours.prepend(rgb);
        if (colours.size() > Limit)
            colours.resize(Limit);
    });
}

void RecentColours::clear()
{
    change([](QList<QRgb> &colours) { colours.clear(); });
}

void RecentColours::reload()
{
    QSettings settings(m_organization, m_application);
    const Stored stored = read(settings);
    report(stored.problems);
    // While the file cannot be read, this window's own list goes on.
    if (stored.readable)
        setColours(stored.colours);
}

RecentColours::Stored RecentColours::read(QSettings &settings) const
{
    Stored stored;
    if (settings.status() == QSettings::AccessError) {
        stored.readable = false;
        stored.problems << QStringLiteral("cannot read the file (%1); the list starts empty and is not saved")
                             .arg(openError(settings.fileName()));
        return stored;
    }
    // QSettings parses a section when a key of it is first read, and only
    // then reports its malformed lines. It skips them, keeps the rest, and
    // reports them to the first reader in the process only: so use the rest.
    const QVariant value = settings.value(Key);
    if (settings.status() == QSettings::FormatError)
        stored.problems << QStringLiteral("the file has lines that are not settings, which are ignored");

    QStringList texts;
    if (value.typeId() == QMetaType::QString)
        texts << value.toString();
    else if (value.typeId() == QMetaType::QStringList)
        texts = value.toStringList();
    else if (settings.contains(Key))
        stored.problems << QStringLiteral("%1 does not hold a list of colours; the list starts empty").arg(Key);

    QStringList dropped;
    for (const QString &text : std::as_const(texts)) {
        const ParsedColour parsed = parseColour(text);
        if (!parsed.rgb || !text.trimmed().startsWith(QLatin1Char('#')))
            dropped << text;
        else if (!stored.colours.contains(*parsed.rgb) && stored.colours.size() < Limit)
            stored.colours << *parsed.rgb;
    }
    if (!dropped.isEmpty()) {
        stored.problems << QStringLiteral("%1 holds entries that are not #RRGGBB colours, left out: %2")
                        .arg(Key, quotedSample(dropped));
    }
    return stored;
}

template <typename Edit>
void RecentColours::change(Edit edit)
{
    const QList<QRgb> before = m_colours;
    QStringList problems;
    {
        // Read, edit and write under one lock of our own, so that a change
        // another process saves in between is not overwritten. It cannot be
        // QSettings' own lock, which sync() takes and would wait on forever.
        const QString file = fileName();
        QDir().mkpath(QFileInfo(file).absolutePath());
        QLockFile lock(file + QLatin1String(".recent.lock"));
        if (!lock.tryLock(LockTimeoutMs) && lock.error() == QLockFile::LockFailedError)
            problems << QStringLiteral("another window kept the list locked; saving without the lock");

        QSettings settings(m_organization, m_application);
        const Stored stored = read(settings);
        problems << stored.problems;
        if (stored.readable)
            m_colours = stored.colours;
        edit(m_colours);

        // A list read with faults is saved even when unchanged, to mend it.
        if (stored.readable && (!same(m_colours, stored.colours) || !stored.problems.isEmpty())) {
            if (m_colours.isEmpty()) {
                settings.remove(Key);
            } else {
                QStringList texts;
                for (const QRgb rgb : std::as_const(m_colours))
                    texts << formatColour(rgb, ColourFormat::HexUpper);
                settings.setValue(Key, texts);
            }
            settings.sync();
            // A read fault stays in status(); only the write can add an access error.
            if (settings.status() == QSettings::AccessError)
                problems << QStringLiteral("cannot save the list (%1)").arg(writeError(file));
        }
    }
    report(problems);
    if (!same(m_colours, before))
        emit changed();
}

void RecentColours::setColours(const QList<QRgb> &colours)
{
    if (same(colours, m_colours))
        return;
    m_colours = colours;
    emit changed();
}

void RecentColours::report(const QStringList &problems)
{
    if (problems.isEmpty()) {
        m_warned.clear();
        return;
    }
    QStringList fresh;
    for (const QString &problem : problems) {
        if (!m_warned.contains(problem))
            fresh << problem;
    }
    if (fresh.isEmpty())
        return;
    m_warned << fresh;
    qWarning("huvolo: recent colours in %s: %s", qPrintable(fileName()), qPrintable(fresh.join(QLatin1String("; "))));
}

} // namespace huvolo
