#include "recentcolours.h"

#include "colourformats.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThreadPool>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace huvolo {

namespace {

const QByteArray Key = QByteArrayLiteral("recentColours");

// Another window holds the lock only while it reads and writes a few
// hundred bytes; waiting longer means it hangs, and we save without it.
// The wait is the worker's, never the caller's.
constexpr int LockTimeoutMs = 5000;

// Twelve colours take about 120 bytes. A file much larger than that holds
// something else, and is not read whole: only its start is used.
constexpr qsizetype MaxFileBytes = 64 * 1024;

QString systemError(int error)
{
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

// XDG_CONFIG_HOME when it is an absolute path (the XDG base directory rules
// ignore a relative one), otherwise .config in the home directory: $HOME,
// or the account's own when HOME is unset or empty, as happens under some
// service managers and in `env -i`.
QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (xdg.startsWith(QLatin1Char('/')))
        return xdg;
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty()) {
        const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
        passwd entry{};
        passwd *found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
            home = QFile::decodeName(found->pw_dir);
    }
    if (home.isEmpty())
        home = QDir::rootPath();
    return QDir::cleanPath(home + QStringLiteral("/.config"));
}

// Where QSettings keeps the user's settings of this organisation and
// application as an INI file.
QString settingsFile(const QString &organization, const QString &application)
{
    QString name = configHome() + QLatin1Char('/') + organization;
    if (!application.isEmpty())
        name += QLatin1Char('/') + application;
    return name + QStringLiteral(".conf");
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

// One logical line of an INI file, as bytes [begin, end) including its line
// end, and what it is.
struct Line
{
    enum Kind { Other, Section, Setting, Ours, Rubbish };
    qsizetype begin = 0;
    qsizetype end = 0;
    Kind kind = Other;
    bool general = false; // a [General] header, or a setting under one
};

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Splits INI text into logical lines as QSettings does: a line goes on past
// a line end escaped with a backslash or inside double quotes, and a
// comment line (; or #) ends at its line end whatever it holds.
QList<Line> splitLines(const QByteArray &data)
{
    QList<Line> lines;
    const qsizetype size = data.size();
    qsizetype begin = 0;
    bool inQuotes = false;
    bool comment = false;
    bool atStart = true;
    for (qsizetype i = 0; i < size; ++i) {
        const char ch = data[i];
        if (atStart && ch != ' ' && ch != '\t') {
            comment = ch == ';' || ch == '#';
            atStart = false;
        }
        if (ch == '\n' || ch == '\r') {
            if (inQuotes && !comment)
                continue;
            lines << Line{begin, i + 1};
            begin = i + 1;
            inQuotes = false;
            comment = false;
            atStart = true;
        } else if (comment) {
            continue;
        } else if (ch == '\\') {
            ++i;
            if (i + 1 < size && data[i] == '\r' && data[i + 1] == '\n')
                ++i;
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        }
    }
    if (begin < size)
        lines << Line{begin, size};

    bool general = true; // settings before any section header are general
    for (Line &line : lines) {
        const QByteArrayView text = trimmed(QByteArrayView(data).sliced(line.begin, line.end - line.begin));
        if (text.isEmpty() || text.front() == ';' || text.front() == '#') {
            line.kind = Line::Other;
        } else if (text.front() == '[') {
            const qsizetype close = text.indexOf(']');
            line.kind = close < 0 ? Line::Rubbish : Line::Section;
            if (close >= 0) {
                const QByteArrayView name = trimmed(text.sliced(1, close - 1));
                general = line.general = name.compare("general", Qt::CaseInsensitive) == 0;
            }
        } else if (const qsizetype equals = text.indexOf('='); equals > 0) {
            line.general = general;
            line.kind = general && trimmed(text.first(equals)) == Key ? Line::Ours : Line::Setting;
        } else {
            line.kind = Line::Rubbish;
        }
    }
    return lines;
}

// The texts of a value as QSettings reads them: items separated by commas,
// each trimmed of spaces unless quoted, with C-style backslash escapes; an
// unquoted ; ends the value. Nothing in it is interpreted further.
QStringList valueTexts(QByteArrayView value)
{
    QStringList texts;
    QString text;
    QByteArray run; // raw bytes not yet decoded from UTF-8
    bool quoted = false;
    bool inQuotes = false;
    bool itemStart = true;
    qsizetype keep = 0; // text before this is not trimmed: it came quoted or escaped

    const auto flush = [&] {
        if (!run.isEmpty())
            text += QString::fromUtf8(run);
        run.clear();
    };
    const auto endItem = [&] {
        flush();
        if (!quoted) {
            qsizetype end = text.size();
            while (end > keep && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t')))
                --end;
            text.truncate(end);
        }
        texts << text;
        text.clear();
        quoted = false;
        itemStart = true;
        keep = 0;
    };
    const auto isHex = [](char ch) {
        return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
    };

    for (qsizetype i = 0; i < value.size(); ++i) {
        const char ch = value[i];
        if (itemStart && !inQuotes && (ch == ' ' || ch == '\t'))
            continue;
        itemStart = false;
        if (ch == '\\') {
            if (++i >= value.size())
                break;
            const char escaped = value[i];
            static constexpr char codes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},
                                                {'r', '\r'}, {'t', '\t'}, {'v', '\v'}, {'"', '"'},
                                                {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            char16_t code = 0;
            bool coded = false;
            for (const auto &pair : codes) {
                if (escaped == pair[0]) {
                    code = char16_t(pair[1]);
                    coded = true;
                }
            }
            if (!coded && escaped == 'x') {
                while (i + 1 < value.size() && isHex(value[i + 1])) {
                    const char digit = value[++i];
                    const int nibble = digit <= '9' ? digit - '0' : (digit | 0x20) - 'a' + 10;
                    code = char16_t((code << 4) | nibble);
                }
                coded = true;
            } else if (!coded && escaped >= '0' && escaped <= '7') {
                code = char16_t(escaped - '0');
                for (int digits = 1; digits < 3 && i + 1 < value.size() && value[i + 1] >= '0' && value[i + 1] <= '7';
                     ++digits)
                    code = char16_t((code << 3) | (value[++i] - '0'));
                coded = true;
            }
            // Any other escaped character, a line end included, is dropped.
            flush();
            if (coded)
                text += QChar(code);
            keep = text.size();
        } else if (ch == '"') {
            inQuotes = !inQuotes;
            quoted = true;
            if (!inQuotes)
                itemStart = true; // spaces after the closing quote are skipped
        } else if (ch == ',' && !inQuotes) {
            endItem();
        } else if (ch == ';' && !inQuotes) {
            break;
        } else if (!inQuotes && (ch == '\n' || ch == '\r')) {
            break;
        } else {
            run += ch;
        }
    }
    endItem();
    return texts;
}

// What a read of the file found.
struct Stored
{
    QList<QRgb> colours;
    QStringList problems;
    bool readable = true; // an unreadable file is left alone, not overwritten
    QByteArray data; // what was read of the file
    QList<Line> lines;
};

// Reads at most MaxFileBytes, never blocking on what is not a regular file
// (a FIFO put in its place, say), and never parsing a value further than
// its list of texts: what begins with @ (a value QSettings would decode,
// to any depth) is refused whole.
Stored readStored(const QString &fileName)
{
    Stored stored;
    const auto unreadable = [&stored](const QString &why) {
        stored.readable = false;
        stored.problems << QStringLiteral("cannot read the file (%1); the list starts empty and is not saved").arg(why);
        return stored;
    };

    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? stored : unreadable(systemError(errno));
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = errno;
        ::close(fd);
        if (S_ISDIR(status.st_mode))
            return unreadable(systemError(EISDIR));
        return unreadable(S_ISREG(status.st_mode) ? systemError(error) : QStringLiteral("not a regular file"));
    }
    stored.data.resize(MaxFileBytes + 1);
    qsizetype got = 0;
    while (got < stored.data.size()) {
        const ssize_t n = ::read(fd, stored.data.data() + got, size_t(stored.data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return unreadable(systemError(error));
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    stored.data.truncate(got);
    if (got > MaxFileBytes) {
        // Whole lines only: a line cut short could read as something else.
        stored.data.truncate(stored.data.lastIndexOf('\n', MaxFileBytes - 1) + 1);
        stored.problems << QStringLiteral("the file is %1 bytes, far more than a list of colours needs; only its "
                                          "first %2 bytes are read, and the next change saves it without the rest")
                               .arg(qint64(status.st_size))
                               .arg(MaxFileBytes);
    }

    stored.lines = splitLines(stored.data);
    const Line *ours = nullptr; // the last one counts, as with QSettings
    bool rubbish = false;
    for (const Line &line : std::as_const(stored.lines)) {
        if (line.kind == Line::Ours)
            ours = &line;
        rubbish = rubbish || line.kind == Line::Rubbish;
    }
    if (rubbish)
        stored.problems << QStringLiteral("the file has lines that are not settings, which are ignored");
    if (!ours)
        return stored;

    const QByteArrayView line = QByteArrayView(stored.data).sliced(ours->begin, ours->end - ours->begin);
    QStringList texts = valueTexts(line.sliced(line.indexOf('=') + 1));
    for (QString &text : texts) {
        if (text.startsWith(QLatin1String("@@"))) {
            text.remove(0, 1);
        } else if (text.startsWith(QLatin1Char('@'))) {
            stored.problems << QStringLiteral("%1 does not hold a list of colours; the list starts empty")
                                   .arg(QLatin1String(Key));
            return stored;
        }
    }

    QStringList dropped;
    for (const QString &text : std::as_const(texts)) {
        const ParsedColour parsed = parseColour(text);
        if (!parsed.rgb || !text.trimmed().startsWith(QLatin1Char('#')))
            dropped << text;
        else if (!stored.colours.contains(*parsed.rgb) && stored.colours.size() < RecentColours::Limit)
            stored.colours << *parsed.rgb;
    }
    if (!dropped.isEmpty()) {
        stored.problems << QStringLiteral("%1 holds entries that are not #RRGGBB colours, left out: %2")
                               .arg(QLatin1String(Key), quotedSample(dropped));
    }
    return stored;
}

// The file as read with the list replaced by `colours` (removed when
// empty): every other line is kept as it was, except lines that are not
// settings, which every reader skips anyway.
QByteArray rewritten(const Stored &stored, const QList<QRgb> &colours)
{
    QByteArray setting;
    if (!colours.isEmpty()) {
        QStringList texts;
        for (const QRgb rgb : colours)
            texts << formatColour(rgb, ColourFormat::HexUpper);
        setting = Key + '=' + texts.join(QLatin1String(", ")).toLatin1() + '\n';
    }
    const bool hasOurs = std::any_of(stored.lines.begin(), stored.lines.end(),
                                     [](const Line &line) { return line.kind == Line::Ours; });
    bool placed = setting.isEmpty();
    QByteArray out;
    for (const Line &line : stored.lines) {
        if (line.kind == Line::Rubbish)
            continue;
        if (line.kind == Line::Ours) {
            if (!placed)
                out += setting;
            placed = true;
            continue;
        }
        out += QByteArrayView(stored.data).sliced(line.begin, line.end - line.begin);
        if (!placed && !hasOurs && line.kind == Line::Section && line.general) {
            if (!out.endsWith('\n') && !out.endsWith('\r'))
                out += '\n';
            out += setting;
            placed = true;
        }
    }
    if (!placed)
        out.prepend("[General]\n" + setting + (out.isEmpty() ? "" : "\n"));
    return out;
}

// Replaces the file with `data` so that, whatever fails and whenever the
// machine stops, it holds either the old or the new contents: a new file
// beside it is written, flushed to the disk and renamed over it, and every
// step is checked. Returns what failed, or nothing.
QString replaceFile(const QString &fileName, const QByteArray &data)
{
    // Through symbolic links, as a kept file may be one into a dotfiles folder.
    QFileInfo target(fileName);
    for (int depth = 0; depth < 40 && target.isSymLink(); ++depth)
        target.setFile(target.symLinkTarget());
    if (target.isSymLink())
        target.setFile(fileName);
    const QString folder = target.absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create the folder %1").arg(folder);
    const QByteArray path = QFile::encodeName(target.absoluteFilePath());

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = path + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return QStringLiteral("cannot create a file in %1: %2").arg(folder, systemError(errno));

    const auto failed = [&](const QString &what) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.constData());
        return what + QStringLiteral(": ") + systemError(error);
    };
    struct stat old{};
    if (::stat(path.constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0)
        return failed(QStringLiteral("cannot give the new copy the file's permissions"));
    const QString writing = QStringLiteral("cannot write a new copy of the file");
    for (qsizetype written = 0; written < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return failed(writing);
        }
        written += n;
    }
    if (::fsync(fd) != 0)
        return failed(writing);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return failed(writing);
    if (::rename(temporary.constData(), path.constData()) != 0)
        return failed(QStringLiteral("cannot replace the file"));
    // The rename is the folder's to keep: flush it too, where the file
    // system allows.
    if (const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace

struct RecentColours::Outcome
{
    QList<QRgb> colours; // what the file holds now, when readable
    QStringList problems;
    bool readable = true;
    bool saved = true; // the edits reached the file
};

RecentColours::RecentColours(const QString &organization, const QString &application, QObject *parent)
    : QObject(parent), m_fileName(settingsFile(organization, application)), m_worker(std::make_unique<QThreadPool>())
{
    m_worker->setMaxThreadCount(1);
    request(); // the first read, not waited for: this may be a copy
}

// What was copied last reaches the file before the program ends.
RecentColours::~RecentColours()
{
    m_worker->waitForDone();
    std::unique_ptr<Outcome> outcome;
    {
        QMutexLocker locker(&m_mutex);
        outcome = std::move(m_outcome);
    }
    if (outcome)
        finish(*outcome, true);
    if (!m_pending.isEmpty())
        report(synchronise(m_fileName, m_pending).problems);
}

void RecentColours::add(QRgb rgb)
{
    edit(Edits{false, {qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb))}});
}

void RecentColours::clear()
{
    edit(Edits{true, {}});
}

void RecentColours::reload()
{
    request();
    // Gives a read a moment, so that a menu about to show lists what the
    // file holds. A save under way already holds this window's changes and
    // is not waited for.
    const QDeadlineTimer deadline(ReloadWaitMs, Qt::PreciseTimer);
    while (m_busy && m_inFlight.isEmpty()) {
        {
            QMutexLocker locker(&m_mutex);
            while (!m_outcome) {
                if (!m_done.wait(&m_mutex, deadline))
                    return;
            }
        }
        collect(); // and starts the read asked for while another job ran
    }
}

QList<QRgb> RecentColours::applied(const Edits &edits, QList<QRgb> colours)
{
    if (edits.cleared)
        colours.clear();
    for (const QRgb rgb : edits.added)
        colours.removeAll(rgb);
    colours = edits.added + colours;
    if (colours.size() > Limit)
        colours.resize(Limit);
    return colours;
}

RecentColours::Edits RecentColours::followedBy(const Edits &first, const Edits &then)
{
    if (then.cleared)
        return then;
    return Edits{first.cleared, applied(then, first.added)};
}

void RecentColours::edit(const Edits &edits)
{
    m_pending = followedBy(m_pending, edits);
    update(true);
    request();
}

// Hands what is pending to the worker, which re-reads the file and saves
// the changes over it; one job at a time, the next when it is done.
void RecentColours::request()
{
    if (m_busy) {
        m_again = true;
        return;
    }
    m_busy = true;
    m_inFlight = std::exchange(m_pending, Edits());
    m_worker->start([this, fileName = m_fileName, edits = m_inFlight] {
        auto outcome = std::make_unique<Outcome>(synchronise(fileName, edits));
        {
            QMutexLocker locker(&m_mutex);
            m_outcome = std::move(outcome);
            m_done.wakeAll();
        }
        // Dropped unread if this object goes first: its destructor collects.
        QMetaObject::invokeMethod(this, [this] { collect(); }, Qt::QueuedConnection);
    });
}

void RecentColours::collect()
{
    std::unique_ptr<Outcome> outcome;
    {
        QMutexLocker locker(&m_mutex);
        outcome = std::move(m_outcome);
    }
    if (outcome)
        finish(*outcome, false);
}

void RecentColours::finish(const Outcome &outcome, bool closing)
{
    m_busy = false;
    // While the file cannot be read, this window's own list goes on.
    if (outcome.readable)
        m_stored = outcome.colours;
    // Unsaved changes stay, to be saved with the next.
    if (!outcome.saved)
        m_pending = followedBy(m_inFlight, m_pending);
    m_inFlight = Edits();
    report(outcome.problems);
    update(!closing);
    if (m_again && !closing) {
        m_again = false;
        request();
    }
}

void RecentColours::update(bool notify)
{
    const QList<QRgb> colours = applied(m_pending, applied(m_inFlight, m_stored));
    if (same(colours, m_colours))
        return;
    m_colours = colours;
    if (notify)
        emit changed();
}

// Runs on the worker: reads the file and, when there are edits, saves them
// over what it holds, under a lock of our own so that a change another
// process saves in between is not overwritten.
RecentColours::Outcome RecentColours::synchronise(const QString &fileName, const Edits &edits)
{
    Outcome outcome;
    std::optional<QLockFile> lock;
    if (!edits.isEmpty()) {
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        lock.emplace(fileName + QLatin1String(".recent.lock"));
        if (!lock->tryLock(LockTimeoutMs) && lock->error() == QLockFile::LockFailedError)
            outcome.problems << QStringLiteral("another window kept the list locked; saving without the lock");
    }
    const Stored stored = readStored(fileName);
    outcome.problems << stored.problems;
    outcome.readable = stored.readable;
    outcome.colours = stored.colours;
    if (edits.isEmpty())
        return outcome;
    if (!stored.readable) {
        outcome.saved = false;
        return outcome;
    }
    const QList<QRgb> colours = applied(edits, stored.colours);
    // A list read with faults is saved even when unchanged, to mend it.
    if (!same(colours, stored.colours) || !stored.problems.isEmpty()) {
        const QString failure = replaceFile(fileName, rewritten(stored, colours));
        if (!failure.isEmpty()) {
            outcome.saved = false;
            outcome.problems << QStringLiteral("cannot save the list (%1); the file is left as it was").arg(failure);
            return outcome;
        }
    }
    outcome.colours = colours;
    return outcome;
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
    qWarning("huvolo: recent colours in %s: %s", qPrintable(m_fileName), qPrintable(fresh.join(QLatin1String("; "))));
}

} // namespace huvolo
