// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// The matching engine's speed, for bench/run_match.sh:
//   match_bench make DB ROWS [PATTERNS]  a catalogue of ROWS rows (patterns from the file)
//   match_bench walk DB MODE             a forward walk to the end, and the browse query read
//                                        to its end by SQLite alone: "ours_ms reference_ms pairs"
//   match_bench prematch DB              the PATTERN pre-match cycle, soft, tolerance 5:
//                                        "ms pairs marked"
//   match_bench patterns COUNT PHOTO...  COUNT pattern texts of random crops of photographs
#include "catalogue.h"
#include "imagebox.h"
#include "mainstate.h"
#include "patternsig.h"
#include "pixelarray.h"
#include "prematch.h"
#include "programdir.h"
#include "walker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

using Mode = MainState::Mode;

QString digits(QRandomGenerator &rng, int n)
{
    QString s(n, QLatin1Char('0'));
    for (int i = 0; i < n; ++i)
        s[i] = QLatin1Char(char('0' + rng.bounded(10)));
    return s;
}

QString colour(QRandomGenerator &rng, int slotCount)
{
    QString t;
    for (char c : {'R', 'G', 'B'}) {
        t += (t.isEmpty() ? QString() : QStringLiteral(" ")) + QLatin1Char(c);
        for (int k = 0; k < slotCount; ++k)
            t += (k ? QStringLiteral(" ") : QString())
                 + QStringLiteral("%1").arg(rng.bounded(256), 3, 10, QLatin1Char('0'));
    }
    return t;
}

// Rows like a large collection's: a tenth of the files have a copy somewhere.
int make(const QString &path, int rows, const QString &patternsFile)
{
    QStringList patterns;
    if (!patternsFile.isEmpty()) {
        QFile f(patternsFile);
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        while (!f.atEnd()) {
            const QString line = QString::fromLatin1(f.readLine()).chopped(1);
            if (line.size() == 100)
                patterns << line;
        }
    }
    if (!Catalogue::createTemplate(path))
        return 1;
    Catalogue c;
    if (!c.open(path))
        return 1;
    QRandomGenerator rng(42);
    const QStringList types = {".JPG", ".JPG", ".JPG", ".PNG", ".GIF", ".TIF"};
    FilesRecord copyOf;
    const bool ok = c.transaction([&] {
        for (int i = 0; i < rows; ++i) {
            FilesRecord r;
            if (i > 0 && rng.bounded(10) == 0) {
                r = copyOf; // a copy in another folder
            } else {
                const QString ext = types[int(rng.bounded(quint32(types.size())))];
                const QString name = QStringLiteral("IMG_%1").arg(rng.bounded(rows * 4), 7, 10, QLatin1Char('0'));
                r.NAME = name;
                r.REFNAME = name.toLower();
                r.BASENAME = QStringLiteral("IMG");
                r.EXTENSION = ext;
                r.WHOLEBASE = r.BASENAME + ext;
                r.WHOLENAME = name + ext;
                r.DISKNAME = r.REFNAME + ext.toLower();
                r.SIZE = 20000 + rng.bounded(4000000);
                r.DATE = QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(rng.bounded(100000000));
                r.CHECKSUM = ext + QStringLiteral(" %1 ").arg(r.SIZE, 0, 'f', 0) + digits(rng, 200);
                r.RGB = colour(rng, 1);
                r.SOFTRGB = colour(rng, 1);
                r.QRGB = colour(rng, 4);
                r.SOFTQRGB = colour(rng, 4);
                r.X = 1600;
                r.Y = 1200;
                r.XYRATIO = 1.333;
                if (!patterns.isEmpty())
                    r.PXLRAY = patterns[i % patterns.size()];
                else
                    r.PXLRAY = digits(rng, 100).replace(QRegularExpression("[0-4]"), "*").replace(QRegularExpression("[5-9]"), " ");
                r.PXLNUM = qint16(r.PXLRAY.count(QLatin1Char('*')));
                copyOf = r;
            }
            r.DRIVEVOLUME = QStringLiteral("[]");
            r.PATH = QStringLiteral("/home/ann/Pictures/%1/").arg(rng.bounded(2000));
            r.RECNUM = i + 1;
            r.ACTIVE = QStringLiteral("X");
            r.RTAG = QStringLiteral(" ");
            if (!c.insert(r))
                return false;
        }
        return true;
    });
    return ok ? 0 : 1;
}

struct Counting : WalkerView
{
    bool ended = false;
    int pairs = 0;
    void pairFound() override { ++pairs; }
    void endReached() override { ended = true; }
};

// The browse query read to its end by SQLite alone, every field of every row touched.
double readBrowseQuery(const QString &path, const MatchOptions &o)
{
    QElapsedTimer t;
    t.start();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, "PRAGMA cache_size=-131072; PRAGMA mmap_size=536870912", nullptr, nullptr, nullptr);
    const QByteArray sql = "select FILES.* from FILES where ACTIVE = 'X' order by "
                           + o.browseOrder().toUtf8();
    sqlite3_stmt *s = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr);
    qint64 bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(s); ++i) {
            sqlite3_column_text(s, i);
            bytes += sqlite3_column_bytes(s, i);
        }
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return t.nsecsElapsed() / 1e6 + (bytes < 0 ? 1 : 0);
}

int walk(const QString &path, const QString &modeWord)
{
    MatchOptions o;
    const std::pair<const char *, Mode> modes[] = {{"NAME", Mode::Name}, {"SIZE", Mode::Size},
                                                   {"CHECKSUM", Mode::Checksum}, {"AVGRGB", Mode::AverageRgb},
                                                   {"QUADRGB", Mode::QuadRgb}, {"NUMBERED", Mode::Numbered}};
    for (const auto &m : modes)
        if (modeWord == QLatin1String(m.first))
            o.mode = m.second;
    o.ignoreType = false;
    o.tolerance = 5;
    const double reference = readBrowseQuery(path, o);
    QElapsedTimer t;
    t.start();
    Catalogue c;
    if (!c.open(path))
        return 1;
    Counting view;
    Walker w(c, o, view);
    if (!w.open())
        return 1;
    w.setRereadBetweenSearches(false);
    w.positionAt(0);
    while (!view.ended)
        w.FindNextPair();
    std::printf("%.1f %.1f %d\n", t.nsecsElapsed() / 1e6, reference, view.pairs);
    return 0;
}

int prematch(const QString &path)
{
    QTemporaryDir home;
    ProgramDir::useFolder(home.path());
    MainState state;
    state.clickMode(Mode::Pattern);
    state.clickCheck(MainState::Check::SoftMatch, true);
    state.tolerance = QStringLiteral("5");
    {
        // Every run starts from the marks a pre-scan leaves.
        Catalogue c;
        if (!c.open(path))
            return 1;
        c.database().exec(QStringLiteral("UPDATE FILES SET ACTIVE = 'X'"));
    }
    QElapsedTimer t;
    t.start();
    PreMatchCycle cycle(state);
    if (!cycle.open(path)) {
        std::fprintf(stderr, "%s\n", qPrintable(cycle.error()));
        return 1;
    }
    cycle.run();
    cycle.finish();
    const double ms = t.nsecsElapsed() / 1e6;
    Catalogue c;
    c.open(path);
    const auto marked = c.rowIds(QStringLiteral("ACTIVE = '*'"));
    std::printf("%.1f %d %d\n", ms, cycle.matchesFound(), marked ? int(marked->size()) : -1);
    return 0;
}

// Pattern texts of random crops, turns and scales of photographs: what a large collection of
// real pictures gives, without decoding a million files.
int patterns(int count, const QStringList &photos)
{
    QRandomGenerator rng(7);
    QVector<QImage> sources;
    for (const QString &p : photos) {
        ImageBox box;
        if (box.setFileName(p))
            sources << box.picture().scaled(800, 800, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (sources.isEmpty())
        return 1;
    for (int n = 0; n < count; ++n) {
        const QImage &src = sources[int(rng.bounded(quint32(sources.size())))];
        // Small parts of a picture, so that few of them look alike, as in a collection where a
        // minority of files have a copy.
        const int w = int(src.width() * (0.15 + 0.4 * rng.generateDouble()));
        const int h = int(src.height() * (0.15 + 0.4 * rng.generateDouble()));
        const int x = int(rng.bounded(quint32(src.width() - w + 1)));
        const int y = int(rng.bounded(quint32(src.height() - h + 1)));
        QImage crop = src.copy(x, y, w, h).scaled(160, 120, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (rng.bounded(4) == 0)
            crop = crop.transformed(QTransform().rotate(90 * (1 + rng.bounded(3))));
        if (rng.bounded(2) == 0)
            crop = crop.mirrored(true, false);
        PixelArray pixels(crop.convertToFormat(QImage::Format_RGB32));
        ConvertToGrey(pixels);
        const auto p = PatternSignature(pixels);
        if (p && p->pxlray.size() == 100)
            std::printf("%s\n", qPrintable(p->pxlray));
        else
            --n;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() >= 4 && a[1] == QLatin1String("make"))
        return make(a[2], a[3].toInt(), a.value(4));
    if (a.size() == 4 && a[1] == QLatin1String("walk"))
        return walk(a[2], a[3]);
    if (a.size() == 3 && a[1] == QLatin1String("prematch"))
        return prematch(a[2]);
    if (a.size() >= 4 && a[1] == QLatin1String("patterns"))
        return patterns(a[2].toInt(), a.mid(3));
    std::fprintf(stderr, "usage: see the top of bench/match_bench.cpp\n");
    return 2;
}
