// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// vexa --report as a real process over folders made in the test.
#include "report.h"

#include "matchfixture.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

namespace {

struct ReportTest : ::testing::Test
{
    TempHome home;
    QTemporaryDir cache;
    QString pics = home.file("pics");

    RunResult report(const QStringList &args)
    {
        QProcessEnvironment env = programEnvironment(home.path());
        env.insert("XDG_CACHE_HOME", cache.path());
        const RunResult r = runProgram(VEXA_BINARY, QStringList{"--report"} + args, env);
        EXPECT_TRUE(r.finished);
        return r;
    }
    void picture(const QString &name, int seed, QSize size = QSize(320, 240), int turn = 0)
    {
        QImage img(320, 240, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        for (int i = 0; i < 6; ++i)
            p.fillRect((seed * 37 + i * 53) % 280, (seed * 11 + i * 29) % 200, 40, 40, Qt::black);
        p.end();
        img = img.scaled(size).transformed(QTransform().rotate(turn));
        QDir().mkpath(QFileInfo(pics + "/" + name).absolutePath());
        ASSERT_TRUE(img.save(pics + "/" + name));
    }
};

TEST(ReportParse, OptionsAndTheirMistakes)
{
    const struct { QStringList args; const char *error;
    } cases[] = {
        // error empty: accepted
        {{"/pics", "--mode", "pattern", "--soft", "--tolerance", "5", "--format", "json"}, ""},
        {{"--list", "Photos", "--types", "jpg,.PNG", "--groups"}, ""},
        {{}, "name a list with --list, or directories to search"},
        {{"--list", "A", "/pics"}, "give either --list or directories, not both"},
        {{"/pics", "--mode", "FUZZY"},
         "unknown mode 'FUZZY' (NAME, SIZE, NAMESIZE, NUMBERED, CHECKSUM, AVGRGB, QUADRGB or "
         "PATTERN)"},
        {{"/pics", "--tolerance", "100"}, "the tolerance must be a whole number from 0 to 99"},
        {{"/pics", "--tolerance"}, "option --tolerance needs a value"},
        {{"/pics", "--types", ".JPG,.XYZ"}, "unknown file type '.XYZ'"},
        {{"/pics", "--format", "xml"}, "the format is csv or json"},
        {{"/pics", "--fast"}, "unknown option '--fast'"},
    };
    for (const auto &c : cases) {
        QString error;
        const auto r = Report::parse(c.args, &error);
        EXPECT_EQ(error, QString::fromUtf8(c.error)) << c.args.join(' ').toStdString();
        EXPECT_EQ(bool(r), error.isEmpty());
    }
    QString error;
    const auto r =
        Report::parse({"--list", "P", "--types", "jpg,.PNG", "--mode", "quadrgb"}, &error);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->types, QStringList({".JPG", ".PNG"}));
    EXPECT_EQ(r->mode, MainState::Mode::QuadRgb);
}

TEST(ReportParse, FieldsSurviveQuotingRules)
{
    EXPECT_EQ(Report::csvField("/a/plain.jpg"), "/a/plain.jpg");
    EXPECT_EQ(Report::csvField("/a/b,c \"d\".jpg"), "\"/a/b,c \"\"d\"\".jpg\"");
    EXPECT_EQ(Report::csvField("/a/new\nline.jpg"), "\"/a/new\nline.jpg\"");
    EXPECT_EQ(Report::jsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

TEST_F(ReportTest, PairsOfEachFormatMatchTheForwardWalk)
{
    picture("a.png", 1);
    picture("sub/a.png", 1);
    picture("sub/a-small.png", 1, QSize(160, 120));
    picture("sub/turned.png", 1, QSize(320, 240), 90);
    picture("other.png", 9);
    picture("odd, \"name\".png", 9);
    const RunResult csv = report({pics, "--mode", "PATTERN", "--soft", "--tolerance", "5"});
    ASSERT_EQ(csv.code, 0) << csv.err.toStdString();
    QStringList lines = csv.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.takeFirst(), "mode,reference,candidate,reference_recnum,candidate_recnum");

    const RunResult json =
        report({pics, "--mode", "PATTERN", "--soft", "--tolerance", "5", "--format", "json"});
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    const QJsonArray pairs = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(pairs.size(), lines.size());
    QStringList fromJson, walked{"end"};
    for (const QJsonValue &v : pairs) {
        const QJsonObject o = v.toObject();
        fromJson << QStringList{o["mode"].toString(), Report::csvField(o["reference"].toString()),
                                Report::csvField(o["candidate"].toString()),
                                QString::number(o["reference_recnum"].toInt()),
                                QString::number(o["candidate_recnum"].toInt())}
                        .join(',');
        walked.insert(walked.size() - 1,
                      o["reference"].toString() + "-" + o["candidate"].toString());
    }
    EXPECT_EQ(fromJson, lines);
    // The small copy, the turned one and the copy in sub/ all meet a.png; the two other
    // pictures meet each other, whatever their names hold.
    EXPECT_TRUE(lines.contains("PATTERN," + pics + "/a.png," + pics + "/sub/turned.png,1,6"))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(csv.out.contains(Report::csvField(pics + "/odd, \"name\".png")));

    // The same pairs in the same order from a walk over the catalogue the report kept.
    Catalogue catalogue;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    ASSERT_TRUE(catalogue.open(Report::folderFor({pics + "/"}) + "/data/Report.mdb"))
        << catalogue.lastError().toStdString();
    MatchOptions o;
    o.mode = MainState::Mode::Pattern;
    o.softMatch = true;
    o.tolerance = 5;
    RecordingView view;
    Walker w(catalogue, o, view);
    view.walker = &w;
    ASSERT_TRUE(w.open());
    w.positionAt(0);
    while (!view.shown.contains("end"))
        w.FindNextPair();
    EXPECT_EQ(view.shown, walked);
}

TEST_F(ReportTest, GroupsAndTheNextRunReusesTheCatalogue)
{
    picture("x.png", 2);
    picture("y/x.png", 2);
    picture("z.png", 4);
    const RunResult first = report({pics, "--mode", "NAME", "--groups"});
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, "group,path,size,width,height\n1," + pics + "/x.png," +
                             QString::number(QFileInfo(pics + "/x.png").size()) + ",320,240\n1," +
                             pics + "/y/x.png," +
                             QString::number(QFileInfo(pics + "/y/x.png").size()) + ",320,240\n");
    const RunResult second = report({pics, "--mode", "NAME", "--groups"});
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(QDir(cache.path() + "/vexa").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    // Nothing of the report reaches the user's own program directory.
    EXPECT_FALSE(home.exists("data"));
    EXPECT_FALSE(home.exists("VEXA.INI"));
}

TEST_F(ReportTest, MistakesEndWithOneLineAndTheirStatus)
{
    QDir().mkpath(pics);
    home.write("data/Empty.lst", "[DIRECTORIES]\r\n = INCOMING FILE DIRECTORY\r\n \r\n");
    const struct { QStringList args; int code; const char *line; } cases[] = {
        {{"--mode", "FUZZY", pics}, 2, "vexa: unknown mode 'FUZZY'"},
        {{pics + "/none"}, 1, "vexa: '"},
        {{"--list", "Nothing"}, 1, "vexa: there is no directory list named 'Nothing'"},
        {{"--list", "Empty"}, 1, "vexa: the directory list 'Empty' is empty"},
    };
    for (const auto &c : cases) {
        const RunResult r = report(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.line))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const RunResult none = report({pics});
    EXPECT_EQ(none.code, 0);
    EXPECT_EQ(none.out, "mode,reference,candidate,reference_recnum,candidate_recnum\n");
}

} // namespace
