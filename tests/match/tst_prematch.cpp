// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "matchfixture.h"
#include "prematch.h"
#include "programdir.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSqlQuery>
#include <QRandomGenerator>

namespace {

using Mode = MainState::Mode;
using Check = MainState::Check;

struct PreMatchTest : ::testing::Test
{
    CatalogueFixture db; // also the program directory for the marker
    MainState state;

    // Runs a whole cycle over the catalogue; returns the pairs counted.
    qint32 runCycle(PatternSource source = PatternSource::Index)
    {
        PreMatchCycle cycle(state, source);
        EXPECT_TRUE(cycle.open(db.catalogue().path())) << cycle.error().toStdString();
        cycle.run();
        cycle.finish();
        return cycle.matchesFound();
    }
    QString marks(const QVector<qint64> &ids)
    {
        QString m;
        for (qint64 id : ids)
            m += db.activeOf(id);
        return m;
    }
};

TEST_F(PreMatchTest, MarksEveryRowThatHasAMatch)
{
    // Two alike with another row between them, a run of three, rows alone.
    const QVector<qint64> ids = db.add({{"A.JPG", "/1/"},
                                        {"B.JPG"},
                                        {"A.JPG", "/2/"},
                                        {"C.JPG", "/1/"},
                                        {"C.JPG", "/2/"},
                                        {"C.JPG", "/3/"},
                                        {"Z.JPG"}});
    state.clickMode(Mode::Name);
    EXPECT_EQ(runCycle(), 3);
    EXPECT_EQ(marks(ids), QStringLiteral("*X****X"));
    EXPECT_FALSE(QFile::exists(PreMatchCycle::markerPath()));
}

TEST_F(PreMatchTest, QuitKeepsTheMarksSoFarAndDropsTheMarker)
{
    QVector<Row> rows;
    for (int i = 0; i < 3000; ++i)
        rows << Row{QStringLiteral("N%1.JPG").arg(i / 2, 5, 10, QLatin1Char('0')),
                    QStringLiteral("/%1/").arg(i % 2)};
    const QVector<qint64> ids = db.add(rows);
    state.clickMode(Mode::Name);
    // Quit pressed while the hundredth pair is marked.
    struct QuitAfter100 : PreMatchCycle
    {
        using PreMatchCycle::PreMatchCycle;
        void pairFound() override
        {
            PreMatchCycle::pairFound();
            if (matchesFound() == 100)
                cancel();
        }
    } cycle(state);
    ASSERT_TRUE(cycle.open(db.catalogue().path()));
    cycle.run();
    EXPECT_TRUE(QFile::exists(PreMatchCycle::markerPath()));
    cycle.finish();
    EXPECT_EQ(cycle.matchesFound(), 100);
    const QString m = marks(ids);
    EXPECT_EQ(m.count(QLatin1Char('*')), 200);
    EXPECT_TRUE(m.startsWith(QStringLiteral("**")));
    EXPECT_FALSE(QFile::exists(PreMatchCycle::markerPath()));
}

TEST_F(PreMatchTest, ResumesAtTheRecordedReference)
{
    const QVector<qint64> ids =
        db.add({{"A.JPG", "/1/"}, {"A.JPG", "/2/"}, {"B.JPG", "/1/"}, {"B.JPG", "/2/"}});
    ASSERT_TRUE(writeFile(PreMatchCycle::markerPath(), " 3 \r\n"));
    state.clickMode(Mode::Name);
    EXPECT_EQ(runCycle(), 1);
    EXPECT_EQ(marks(ids), QStringLiteral("XX**"));
}

// Patterns in clusters, so that many rows have several matches within the tolerance, plus
// turned copies for soft matching.
QVector<Row> patternRows(int count, quint32 seed)
{
    QRandomGenerator rng(seed);
    QVector<QString> centres;
    for (int c = 0; c < count / 6; ++c) {
        QString p(100, QLatin1Char(' '));
        for (int k = 0; k < 100; ++k)
            if (rng.bounded(2))
                p[k] = QLatin1Char('*');
        centres << p;
    }
    QVector<Row> rows;
    for (int i = 0; i < count; ++i) {
        QString p = centres[int(rng.bounded(quint32(centres.size())))];
        for (int flips = int(rng.bounded(8u)); flips > 0; --flips) {
            const int k = int(rng.bounded(100u));
            p[k] = p[k] == QLatin1Char('*') ? QLatin1Char(' ') : QLatin1Char('*');
        }
        if (rng.bounded(5u) == 0)
            std::reverse(p.begin(), p.end()); // a half turn
        Row r{QStringLiteral("P%1.JPG").arg(i), QStringLiteral("/%1/").arg(i % 3)};
        // Plain pictures share one code: many rows in one group of the index.
        if (i % 11 == 0)
            p.fill(QLatin1Char(' '));
        r.pxlray = i % 97 == 0 ? QStringLiteral("Image too small...") : p;
        rows << r;
    }
    return rows;
}

TEST_F(PreMatchTest, PatternIndexGivesTheDesignedQueriesMarks)
{
    const QVector<qint64> ids = db.add(patternRows(1200, 11));
    const std::pair<bool, int> settings[] = {{true, 5}, {false, 0}, {false, 17}};
    for (const auto &[soft, tolerance] : settings) {
        state.clickMode(Mode::Pattern);
        state.clickCheck(Check::SoftMatch, soft);
        state.tolerance = QString::number(tolerance);
        db.catalogue().database().exec(QStringLiteral("UPDATE FILES SET ACTIVE = 'X'"));
        const qint32 designedPairs = runCycle(PatternSource::Query);
        const QString designed = marks(ids);
        db.catalogue().database().exec(QStringLiteral("UPDATE FILES SET ACTIVE = 'X'"));
        EXPECT_EQ(runCycle(PatternSource::Index), designedPairs) << soft << tolerance;
        EXPECT_EQ(marks(ids), designed) << soft << tolerance;
        EXPECT_GT(designedPairs, 0);
    }
}

TEST(PatternWalk, IndexAndQueryMeetTheSamePairsInTheSameOrder)
{
    CatalogueFixture cat;
    cat.add(patternRows(500, 5));
    for (bool exclusive : {false, true}) {
        MatchOptions o;
        o.mode = Mode::Pattern;
        o.softMatch = true;
        o.tolerance = 4;
        o.exclusive = exclusive;
        QStringList walks[2];
        for (PatternSource source : {PatternSource::Query, PatternSource::Index}) {
            RecordingView view;
            Walker w(cat.catalogue(), o, view, PairTest::defaultContentCompare(), source);
            view.walker = &w;
            ASSERT_TRUE(w.open());
            w.positionAt(0);
            while (view.shown.isEmpty() || view.shown.last() != QLatin1String("end"))
                w.FindNextPair();
            walks[int(source)] = view.shown;
        }
        EXPECT_GT(walks[0].size(), 100);
        EXPECT_EQ(walks[0], walks[1]);
    }
}

} // namespace
