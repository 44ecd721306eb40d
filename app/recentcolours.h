#pragma once

#include <QList>
#include <QObject>
#include <QRgb>
#include <QString>
#include <QStringList>

class QSettings;

namespace huvolo {

// The last colours copied, newest first, without repeats, kept in the user's
// settings of the given organisation and application (on Linux an INI file
// under $XDG_CONFIG_HOME) as #RRGGBB texts. Several windows, in one process
// or in several, may share the list: each change re-reads it under a lock
// first, so their additions interleave rather than overwrite each other.
//
// A missing file or key is an empty list, without a word. Every fault gives
// one warning naming the file and the fault, never an exception:
// - a file that cannot be read: an empty list, which this object keeps
//   in memory but never saves over the file;
// - a value that is not a list of texts: an empty list;
// - entries that are not #RRGGBB: left out, the rest kept;
// - lines QSettings cannot parse: skipped, the rest used, as QSettings
//   itself does for every later reader.
// The next change saves a sound list over a faulty one.
class RecentColours : public QObject
{
    Q_OBJECT

public:
    static constexpr int Limit = 12;

    RecentColours(const QString &organization, const QString &application, QObject *parent = nullptr);

    // Opaque colours, newest first, at most Limit.
    QList<QRgb> colours() const { return m_colours; }
    // Where the list is kept.
    QString fileName() const;

    // Puts the colour (alpha ignored) first, dropping an earlier copy of it
    // and anything beyond Limit, and saves the list.
    void add(QRgb rgb);
    void clear();
    // Picks up changes other windows have saved; a menu can call this before
    // it shows.
    void reload();

signals:
    // The list differs from what colours() returned before.
    void changed();

private:
    struct Stored;
    Stored read(QSettings &settings) const;
    template <typename Edit> void change(Edit edit);
    void setColours(const QList<QRgb> &colours);
    // Warns once about each fault, until an operation goes without one.
    void report(const QStringList &problems);

    QString m_organization;
    QString m_application;
    QList<QRgb> m_colours;
    QStringList m_warned;
};

} // namespace huvolo
