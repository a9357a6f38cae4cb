// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "report.h"

#include "catalogue.h"
#include "dirlist.h"
#include "platform.h"
#include "prescan.h"
#include "programdir.h"
#include "prompts.h"
#include "settingsini.h"
#include "unattendedprompts.h"
#include "walker.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include <unistd.h>

namespace Report {
namespace {

using Mode = MainState::Mode;
using Check = MainState::Check;

const struct
{
    Mode mode;
    const char *word;
} kModes[] = {{Mode::Name, "NAME"},         {Mode::Size, "SIZE"},
              {Mode::NameSize, "NAMESIZE"}, {Mode::Numbered, "NUMBERED"},
              {Mode::Checksum, "CHECKSUM"}, {Mode::AverageRgb, "AVGRGB"},
              {Mode::QuadRgb, "QUADRGB"},   {Mode::Pattern, "PATTERN"}};

// Boxes of a report are never shown: their text goes to standard error and the answer is the
// one that keeps data safe. An error box marks the run as failed.
class ReportPrompts : public UnattendedPrompts
{
public:
    explicit ReportPrompts(FILE *err)
        : UnattendedPrompts([err](const QString &line) {
              std::fprintf(err, "%s\n", line.toLocal8Bit().constData());
          })
    {}
    Prompts::Answer ask(QWidget *parent, const Prompts::Box &box) override
    {
        if (box.buttons == Prompts::Buttons::Ok && box.icon == Prompts::Icon::Critical)
            failed = true;
        return UnattendedPrompts::ask(parent, box);
    }
    bool failed = false;
};

// A line on standard error that rewrites itself, when standard error is a terminal.
class ProgressLine
{
public:
    explicit ProgressLine(FILE *err) : m_err(err), m_tty(isatty(fileno(err)) != 0) { m_clock.start(); }
    ~ProgressLine() { clear(); }
    void show(const QString &text, bool force = false)
    {
        if (!m_tty || (!force && m_clock.elapsed() < 100))
            return;
        m_clock.restart();
        std::fprintf(m_err, "\r\033[K%s", qPrintable(text.left(110)));
        std::fflush(m_err);
        m_shown = true;
    }
    void clear()
    {
        if (m_shown)
            std::fprintf(m_err, "\r\033[K");
        m_shown = false;
    }

private:
    FILE *m_err;
    bool m_tty;
    bool m_shown = false;
    QElapsedTimer m_clock;
};

// Walks the browse order to its end, collecting what it meets.
class Collector : public WalkerView
{
public:
    Collector(ProgressLine &progress, int rows) : m_progress(progress), m_rows(rows) {}
    Walker *walker = nullptr;
    bool ended = false;
    int stepped = 0;
    QVector<std::pair<MatchRecord, MatchRecord>> pairs;

    void pairFound() override
    {
        // A row paired with itself (a folder listed twice) is no duplicate.
        if (!walker->reference().isSameFile(walker->candidate()))
            pairs.append({walker->reference(), walker->candidate()});
    }
    void endReached() override { ended = true; }
    void rowStepped() override
    {
        ++stepped;
        m_progress.show(QStringLiteral("Matching: %1 of %2 rows, %3 found").arg(stepped).arg(m_rows).arg(pairs.size()));
    }

private:
    ProgressLine &m_progress;
    int m_rows;
};

QString fail(FILE *err, const QString &text)
{
    std::fprintf(err, "vexa: %s\n", qPrintable(text));
    return text;
}

QString withSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// The pixel size of a file: from the catalogue when a signature read it, else from the
// picture's header.
QSize dimensions(const MatchRecord &r)
{
    if (r.X > 0 && r.Y > 0)
        return QSize(r.X, r.Y);
    QImageReader reader(r.fullPath());
    const QSize size = reader.size();
    return size.isValid() ? size : QSize(0, 0);
}

} // namespace

QString modeWord(Mode mode)
{
    for (const auto &m : kModes)
        if (m.mode == mode)
            return QLatin1String(m.word);
    return QString();
}

std::optional<Mode> modeFromWord(const QString &word)
{
    for (const auto &m : kModes)
        if (word.compare(QLatin1String(m.word), Qt::CaseInsensitive) == 0)
            return m.mode;
    return std::nullopt;
}

std::optional<Request> parse(const QStringList &args, QString *error)
{
    Request r;
    auto value = [&](int &i, const QString &option) -> std::optional<QString> {
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("option %1 needs a value").arg(option);
            return std::nullopt;
        }
        return args[++i];
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        if (a == QLatin1String("--list")) {
            const auto v = value(i, a);
            if (!v)
                return std::nullopt;
            r.list = *v;
        } else if (a == QLatin1String("--mode")) {
            const auto v = value(i, a);
            if (!v)
                return std::nullopt;
            r.mode = modeFromWord(*v);
            if (!r.mode) {
                *error = QStringLiteral("unknown mode '%1' (NAME, SIZE, NAMESIZE, NUMBERED, "
                                        "CHECKSUM, AVGRGB, QUADRGB or PATTERN)").arg(*v);
                return std::nullopt;
            }
        } else if (a == QLatin1String("--tolerance")) {
            const auto v = value(i, a);
            if (!v)
                return std::nullopt;
            bool ok = false;
            const int t = v->toInt(&ok);
            if (!ok || t < 0 || t > 99) {
                *error = QStringLiteral("the tolerance must be a whole number from 0 to 99");
                return std::nullopt;
            }
            r.tolerance = t;
        } else if (a == QLatin1String("--types")) {
            const auto v = value(i, a);
            if (!v)
                return std::nullopt;
            for (QString t : v->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                t = t.trimmed().toUpper();
                if (!t.startsWith(QLatin1Char('.')))
                    t.prepend(QLatin1Char('.'));
                if (MainState::fileTypeIndex(t) < 0) {
                    *error = QStringLiteral("unknown file type '%1'").arg(t);
                    return std::nullopt;
                }
                r.types << t;
            }
        } else if (a == QLatin1String("--format")) {
            const auto v = value(i, a);
            if (!v)
                return std::nullopt;
            if (*v != QLatin1String("csv") && *v != QLatin1String("json")) {
                *error = QStringLiteral("the format is csv or json");
                return std::nullopt;
            }
            r.json = *v == QLatin1String("json");
        } else if (a == QLatin1String("--soft")) {
            r.soft = true;
        } else if (a == QLatin1String("--ignore-type")) {
            r.ignoreType = true;
        } else if (a == QLatin1String("--exclusive")) {
            r.exclusive = true;
        } else if (a == QLatin1String("--groups")) {
            r.groups = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            *error = QStringLiteral("unknown option '%1'").arg(a);
            return std::nullopt;
        } else {
            r.directories << a;
        }
    }
    if (!r.list.isEmpty() && !r.directories.isEmpty()) {
        *error = QStringLiteral("give either --list or directories, not both");
        return std::nullopt;
    }
    if (r.list.isEmpty() && r.directories.isEmpty()) {
        *error = QStringLiteral("name a list with --list, or directories to search");
        return std::nullopt;
    }
    return r;
}

QString folderFor(const QStringList &directories)
{
    QStringList sorted = directories;
    sorted.sort();
    sorted.removeDuplicates();
    const QByteArray id = QCryptographicHash::hash(sorted.join(QLatin1Char('\n')).toUtf8(),
                                                   QCryptographicHash::Sha1)
                              .toHex()
                              .left(16);
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/vexa/report-") + QString::fromLatin1(id);
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString jsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

int run(const Request &request, FILE *out, FILE *err)
{
    ReportPrompts prompts(err);
    Prompts::setHandler(&prompts);
    struct Restore
    {
        ~Restore() { Prompts::setHandler(nullptr); }
    } restore;

    // The settings give what the command line does not; nothing is ever written back.
    MainState state;
    const bool haveSettings = QFileInfo::exists(SettingsIni::fileName());
    if (haveSettings && !SettingsIni::ReadINI(state, [](const QString &) {}))
        return 1;

    QStringList directories;
    if (!request.list.isEmpty()) {
        if (!DirList::isUsableName(request.list) || !QFileInfo::exists(DirList::pathFor(request.list))) {
            fail(err, QStringLiteral("there is no directory list named '%1'").arg(request.list));
            return 1;
        }
        prompts.failed = false;
        DirList::LoadList(state, request.list);
        if (prompts.failed)
            return 1;
        if (state.directories.isEmpty()) {
            fail(err, QStringLiteral("the directory list '%1' is empty").arg(request.list));
            return 1;
        }
    } else {
        for (const QString &d : request.directories) {
            const QFileInfo info(d);
            if (!info.isDir()) {
                fail(err, QStringLiteral("'%1' is not a directory").arg(d));
                return 1;
            }
            directories << withSeparator(info.canonicalFilePath());
        }
        // The directories form a list of their own, kept with its catalogue in the cache, so
        // that the next report over them reads only new or changed files.
        const QString folder = folderFor(directories);
        if (!QDir().mkpath(folder + QStringLiteral("/data"))) {
            fail(err, QStringLiteral("cannot create the folder %1").arg(folder));
            return 1;
        }
        ProgramDir::useFolder(folder);
        state.listName = QStringLiteral("Report");
        state.directories.clear();
        state.ifcd.clear();
        for (const QString &d : directories)
            DirList::AddTree(state, d);
        state.clickCheck(Check::SingleTable, false);
    }

    if (request.mode)
        state.clickMode(*request.mode);
    if (request.soft)
        state.clickCheck(Check::SoftMatch, true);
    // Without settings, files of two types are paired only when asked for.
    if (request.ignoreType || !haveSettings)
        state.clickCheck(Check::Ignore, request.ignoreType);
    if (request.exclusive)
        state.clickCheck(Check::Exclusive, true);
    if (request.tolerance)
        state.tolerance = QString::number(*request.tolerance);
    if (!request.types.isEmpty() || state.checkedFileTypeCount() == 0) {
        for (int i = 0; i < MainState::FileTypeCount; ++i) {
            const QString type = QLatin1String(MainState::fileTypes()[size_t(i)]);
            state.clickFileType(i, request.types.isEmpty() || request.types.contains(type));
        }
    }
    // A report reads every row of the search: no pre-match marks, and never a gather only.
    state.setChecked(Check::PreMatch, false);
    state.setChecked(Check::Gather, false);
    state.setChecked(Check::Jpeg, false);
    if (!state.ifcd.trimmed().isEmpty() && state.isChecked(Check::Exclusive)) {
        fail(err, QStringLiteral("You may not combine the IFCD and Exclusive search options..."));
        return 1;
    }

    switch (Platform::services().acquireInstanceLock(ProgramDir::path())) {
    case Platform::InstanceLock::Taken:
        break;
    case Platform::InstanceLock::HeldByOther:
        fail(err, QStringLiteral("another instance of Vexa! is using %1").arg(ProgramDir::path()));
        return 1;
    case Platform::InstanceLock::NotWritable:
        fail(err, QStringLiteral("the folder %1 cannot be written").arg(ProgramDir::path()));
        return 1;
    }
    struct Unlock
    {
        ~Unlock() { Platform::services().releaseInstanceLock(); }
    } unlock;

    const QString cataloguePath = PreScan::cataloguePath(state);
    const QString templatePath = ProgramDir::file(QStringLiteral("vexa.mdb"));
    QString error;
    if (!QFileInfo::exists(cataloguePath)
        && (!Catalogue::ensureTemplate(templatePath, &error)
            || !Catalogue::createFromTemplate(templatePath, cataloguePath, &error))) {
        fail(err, error);
        return 1;
    }

    ProgressLine progress(err);
    {
        PreScan scan(state);
        QString directory;
        QObject::connect(&scan, &PreScan::directoryChanged, [&](const QString &d) { directory = d; });
        QObject::connect(&scan, &PreScan::numberChanged, [&](const QString &n) {
            progress.show(QStringLiteral("Reading: ") + n + QLatin1Char(' ') + directory);
        });
        prompts.failed = false;
        if (!scan.RunPreScan()) {
            progress.clear();
            fail(err, scan.error());
            return 1;
        }
        if (prompts.failed)
            return 1;
    }
    QFile::remove(ProgramDir::file(QStringLiteral("Scanning.dat")));

    Catalogue catalogue;
    if (!catalogue.open(cataloguePath)) {
        progress.clear();
        fail(err, catalogue.lastError());
        return 1;
    }
    MatchOptions options = MatchOptions::fromState(state);
    Collector collector(progress, int(catalogue.rowCount()));
    Walker walker(catalogue, options, collector);
    collector.walker = &walker;
    if (!walker.open()) {
        progress.clear();
        fail(err, walker.error());
        return 1;
    }
    walker.setRereadBetweenSearches(false);
    walker.positionAt(0);

    const QString mode = modeWord(state.mode());
    if (!request.groups) {
        while (!collector.ended)
            walker.FindNextPair();
        progress.clear();
        if (request.json) {
            std::fputs("[", out);
            for (int i = 0; i < collector.pairs.size(); ++i) {
                const auto &[ref, cand] = collector.pairs[i];
                std::fprintf(out, "%s\n  {\"mode\": %s, \"reference\": %s, \"candidate\": %s, "
                                  "\"reference_recnum\": %.0f, \"candidate_recnum\": %.0f}",
                             i ? "," : "", qPrintable(jsonString(mode)),
                             qPrintable(jsonString(ref.fullPath())),
                             qPrintable(jsonString(cand.fullPath())), ref.RECNUM, cand.RECNUM);
            }
            std::fputs(collector.pairs.isEmpty() ? "]\n" : "\n]\n", out);
        } else {
            std::fputs("mode,reference,candidate,reference_recnum,candidate_recnum\n", out);
            for (const auto &[ref, cand] : collector.pairs)
                std::fprintf(out, "%s,%s,%s,%.0f,%.0f\n", qPrintable(mode),
                             qPrintable(csvField(ref.fullPath())),
                             qPrintable(csvField(cand.fullPath())), ref.RECNUM, cand.RECNUM);
        }
    } else {
        // Groups as the snapshot grid forms them: a reference and the files that match it.
        constexpr int GridSize = 28;
        QVector<MatchGroup> groups;
        for (;;) {
            walker.FindNextGroup(GridSize);
            if (collector.ended)
                break;
            if (walker.group().count() > 1)
                groups.append(walker.group());
        }
        progress.clear();
        if (request.json)
            std::fputs("[", out);
        else
            std::fputs("group,path,size,width,height\n", out);
        bool first = true;
        for (int g = 0; g < groups.size(); ++g) {
            for (const MatchRecord &m : groups[g].members) {
                const QSize size = dimensions(m);
                if (request.json) {
                    std::fprintf(out, "%s\n  {\"group\": %d, \"path\": %s, \"size\": %.0f, "
                                      "\"width\": %d, \"height\": %d}",
                                 first ? "" : ",", g + 1, qPrintable(jsonString(m.fullPath())),
                                 m.SIZE, size.width(), size.height());
                } else {
                    std::fprintf(out, "%d,%s,%.0f,%d,%d\n", g + 1, qPrintable(csvField(m.fullPath())),
                                 m.SIZE, size.width(), size.height());
                }
                first = false;
            }
        }
        if (request.json)
            std::fputs(first ? "]\n" : "\n]\n", out);
    }
    std::fflush(out);
    return 0;
}

} // namespace Report
