#pragma once

#include <QList>
#include <QMutex>
#include <QObject>
#include <QRgb>
#include <QString>
#include <QStringList>
#include <QWaitCondition>

#include <memory>

class QThreadPool;

namespace huvolo {

// The last colours copied, newest first, without repeats, kept in the user's
// settings of the given organisation and application (on Linux the INI file
// $XDG_CONFIG_HOME/ORGANIZATION/APPLICATION.conf, where XDG_CONFIG_HOME
// defaults to ~/.config) as #RRGGBB texts, in the format QSettings reads.
// Several windows, in one process or in several, may share the list: each
// save re-reads the file under a lock first, so their additions interleave
// rather than overwrite each other.
//
// The disk is never waited for long: the list in memory changes at once,
// and reading and saving happen on a thread of the object's own. What the
// file holds arrives later and emits changed() when it differs; only
// reload() gives a read a moment (ReloadWaitMs at most). An object being
// destroyed waits for its last save.
//
// A missing file or key is an empty list, without a word. Every fault gives
// one warning naming the file and the fault, never an exception:
// - a file that cannot be read: an empty list, which this object keeps
//   in memory but never saves over the file;
// - a file larger than a list of colours can need: only its start is read;
// - a value that is not a list of texts: an empty list;
// - entries that are not #RRGGBB: left out, the rest kept;
// - lines that are not settings: skipped, the rest used;
// - a save that fails (a full disk, say): the file stays exactly as it
//   was, the list in memory keeps the change, and the next change or
//   reload tries again.
// The next change saves a sound list over a faulty one.
class RecentColours : public QObject
{
    Q_OBJECT

public:
    static constexpr int Limit = 12;
    static constexpr int ReloadWaitMs = 50;

    RecentColours(const QString &organization, const QString &application, QObject *parent = nullptr);
    ~RecentColours() override;

    // Opaque colours, newest first, at most Limit.
    QList<QRgb> colours() const { return m_colours; }
    // Where the list is kept.
    QString fileName() const { return m_fileName; }

    // Puts the colour (alpha ignored) first, dropping an earlier copy of it
    // and anything beyond Limit, and saves the list.
    void add(QRgb rgb);
    void clear();
    // Picks up changes other windows have saved; a menu can call this before
    // it shows. Waits for the read at most ReloadWaitMs, so that a menu shows
    // what the file holds unless the disk is slow; never for a save.
    void reload();

signals:
    // The list differs from what colours() returned before.
    void changed();

private:
    // Changes not saved yet, in a form that stays small however many pile
    // up: the list is emptied first if `cleared`, then `added` (newest first,
    // no repeats, at most Limit) is put in front.
    struct Edits
    {
        bool cleared = false;
        QList<QRgb> added;
        bool isEmpty() const { return !cleared && added.isEmpty(); }
    };
    struct Outcome;

    static QList<QRgb> applied(const Edits &edits, QList<QRgb> colours);
    static Edits followedBy(const Edits &first, const Edits &then);
    static Outcome synchronise(const QString &fileName, const Edits &edits);

    void edit(const Edits &edits);
    void request();
    void collect();
    void finish(const Outcome &outcome, bool closing);
    void update(bool notify);
    // Warns once about each fault, until an operation goes without one.
    void report(const QStringList &problems);

    QString m_fileName;
    QList<QRgb> m_stored; // as the file held it when last read
    QList<QRgb> m_colours;
    Edits m_pending; // not handed to the worker yet
    Edits m_inFlight; // being saved by the worker
    bool m_busy = false;
    bool m_again = false;
    QStringList m_warned;

    std::unique_ptr<QThreadPool> m_worker;
    QMutex m_mutex;
    QWaitCondition m_done;
    std::unique_ptr<Outcome> m_outcome; // guarded by m_mutex
};

} // namespace huvolo
