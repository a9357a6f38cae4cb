// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// One file of each of the picture types, written by independent tools where they exist
// (tests/data/alltypes): the gather catalogues every one with all its signatures, and the
// viewer shows them as the gather reads them.
#include "frmviewimages.h"

#include "catalogue.h"
#include "fakeplatform.h"
#include "filesrecord.h"
#include "mainstate.h"
#include "patternsig.h"
#include "prescan.h"
#include "programdir.h"
#include "recordset.h"
#include "scriptedprompts.h"
#include "temphome.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>


namespace {

struct PictureType
{
    const char *type; // as the file-type boxes name it
    int width, height;
    // Files written without loss from the same source have the same signatures: 'c' the
    // colour picture, 'm' its black-and-white version; ' ' for the others (lossy, 6-bit
    // palettes, grey for want of a palette file, a two-colour cursor, a page, a drawing).
    char source;
};

// The fixtures are 120 x 110 pictures, except where the type fixes the size or is a drawing.
// GEM: the drawing's extents run from 0 to 119 and 109, in pixels. HEIC and HEIF: HEVC rounds
// colours even without loss. HRZ: every slow-scan television picture. MAC: every MacPaint page.
// WMF: a placeable frame of 4940 x 3617 at 2540 units an inch, at 96 dpi.
const PictureType kTypes[] = {
    {".ART", 120, 110, 'm'},  {".AVIF", 120, 110, 'c'}, {".BMP", 120, 110, 'c'},
    {".CUR", 120, 110, ' '},  {".CUT", 120, 110, ' '},  {".DIB", 120, 110, 'c'},
    {".GEM", 119, 109, ' '},  {".GIF", 120, 110, 'c'},  {".HEIC", 120, 110, ' '},
    {".HEIF", 120, 110, ' '}, {".HRZ", 256, 240, ' '},  {".ICO", 120, 110, 'c'},
    {".IFF", 120, 110, 'c'},  {".IMG", 120, 110, 'm'},  {".JPG", 120, 110, ' '},
    {".LBM", 120, 110, 'c'},  {".MAC", 576, 720, ' '},  {".MSP", 120, 110, 'm'},
    {".PCX", 120, 110, 'c'},  {".PIC", 120, 110, ' '},  {".PNG", 120, 110, 'c'},
    {".RAS", 120, 110, 'c'},  {".RLE", 120, 110, 'c'},  {".TGA", 120, 110, 'c'},
    {".TIF", 120, 110, 'c'},  {".WEBP", 120, 110, 'c'}, {".WMF", 187, 137, ' '},
    {".WPG", 120, 110, 'c'},
};

QByteArray fixture(const QString &name)
{
    return readFile(QStringLiteral(ALLTYPES_FIXTURES "/") + name);
}

QStringList signatures(const FilesRecord &row)
{
    return {row.RGB, row.QRGB, row.SOFTRGB, row.SOFTQRGB, row.PXLRAY};
}

struct AllTypes : ::testing::Test
{
    TempHome home;
    FakePlatform platform;
    ScriptedPrompts prompts;
    QTemporaryDir pics;
    MainState state;

    void SetUp() override
    {
        MainState::setCurrent(&state);
        // The slow-scan television picture is kept compressed: it always takes 180 KB.
        for (const PictureType &t : kTypes) {
            const QString name = QStringLiteral("picture") + QString::fromLatin1(t.type).toLower();
            const QByteArray bytes = QByteArrayLiteral(".HRZ") == t.type
                                         ? qUncompress(fixture(name + QStringLiteral(".z")))
                                         : fixture(name);
            ASSERT_FALSE(bytes.isEmpty() || bytes == "<missing>") << name.toStdString();
            ASSERT_TRUE(writeFile(path(t), bytes));
        }
        // Macintosh PICT pictures named .PIC, beside PC Paint's: the content tells them apart.
        for (const QString name : {"pict-magick.pic", "pict-netpbm.pic"})
            ASSERT_TRUE(writeFile(pics.filePath(name), fixture(name)));
    }
    void TearDown() override
    {
        MainState::setCurrent(nullptr);
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
    }

    // Gathers a folder with every type ticked: the catalogue's marked rows by name on disk.
    QMap<QString, FilesRecord> gather(const QString &folder)
    {
        state.listName = QStringLiteral("AllTypes");
        state.filter = QStringLiteral("*");
        for (int i = 0; i < MainState::FileTypeCount; ++i)
            state.clickFileType(i, true);
        state.clickCheck(MainState::Check::Gather, true);
        state.directories = {QStringLiteral("[] ") + folder + QLatin1Char('/')};
        const QString cataloguePath = home.file("data/AllTypes.mdb");
        EXPECT_TRUE(ProgramDir::ensureDataDir() &&
                    Catalogue::ensureTemplate(home.file("vexa.mdb")) &&
                    Catalogue::createFromTemplate(home.file("vexa.mdb"), cataloguePath));
        {
            PreScan scan(state);
            EXPECT_TRUE(scan.RunPreScan()) << scan.error().toStdString();
            filesRead = scan.filesRead();
        }
        QMap<QString, FilesRecord> rows;
        Catalogue catalogue;
        EXPECT_TRUE(catalogue.open(cataloguePath));
        auto found = catalogue.select(QStringLiteral("ACTIVE = 'X'"), QStringLiteral("RECNUM"));
        for (found->moveFirst(); found && !found->eof(); found->moveNext())
            rows.insert(found->record()->DISKNAME, *found->record());
        return rows;
    }
    int filesRead = 0;

    QString path(const PictureType &t) const
    {
        return pics.filePath(QStringLiteral("picture") + QString::fromLatin1(t.type).toLower());
    }
    static QString sizeText(const QString &file)
    {
        return QString::number(QFileInfo(file).size()) + QStringLiteral(" bytes");
    }
};

} // namespace

TEST_F(AllTypes, AGatherCataloguesEveryTypeWithEverySignature)
{
    const QMap<QString, FilesRecord> rows = gather(pics.path());
    EXPECT_EQ(filesRead, MainState::FileTypeCount + 2);
    EXPECT_EQ(state.searchCompleted, "YES");
    EXPECT_EQ(int(std::size(kTypes)), MainState::FileTypeCount); // every type offered
    for (const PictureType &t : kTypes) {
        SCOPED_TRACE(t.type);
        const FilesRecord row = rows.value(QFileInfo(path(t)).fileName());
        EXPECT_EQ(row.EXTENSION, t.type);
        EXPECT_EQ(row.SIZE, QFileInfo(path(t)).size());
        EXPECT_TRUE(row.hasChecksum()) << row.CHECKSUM.size();
        EXPECT_TRUE(row.CHECKSUM.startsWith(QString::fromLatin1(t.type) + QLatin1Char(' ')));
        // The colour and pattern signatures come from the decoded pixels: a type without a
        // decoder keeps the blank of "not computed".
        for (const QString &colour : {row.RGB, row.QRGB, row.SOFTRGB, row.SOFTQRGB})
            EXPECT_TRUE(FilesRecord::hasColourText(colour)) << colour.toStdString();
        EXPECT_EQ(row.PXLRAY.size(), 100) << row.PXLRAY.toStdString();
        EXPECT_EQ(QSize(row.X, row.Y), QSize(t.width, t.height));
    }
    // A decoder that gets the size right and the pixels wrong shows here: every lossless copy
    // of one source must match the first of its kind, as a search across types relies on.
    QMap<char, FilesRecord> firstOfSource;
    for (const PictureType &t : kTypes) {
        const FilesRecord row = rows.value(QFileInfo(path(t)).fileName());
        if (t.source != ' ' && !firstOfSource.contains(t.source))
            firstOfSource.insert(t.source, row);
        else if (t.source != ' ')
            EXPECT_EQ(signatures(row), signatures(firstOfSource[t.source])) << t.type;
    }
    // Both PICT writers kept every pixel of the colour picture.
    for (const char *name : {"pict-magick.pic", "pict-netpbm.pic"})
        EXPECT_EQ(signatures(rows[name]), signatures(firstOfSource['c'])) << name;
    // Photographs coded with loss still find their source under PATTERN at the usual tolerance.
    for (const char *name : {"picture.heic", "picture.heif"})
        EXPECT_LE(PatternDistance(rows[name].PXLRAY, rows["picture.png"].PXLRAY, false), 5) << name;
}

// The viewer decodes as the gather does: it shows icons and cursors in their own box, every
// picture at its own size, and lets them go on Return. An unreadable file shows the error
// picture alone, or nothing when the program has none.
TEST_F(AllTypes, TheViewerShowsWhatTheGatherReadsAndTheErrorPictureForTheRest)
{
    const QString files[] = {pics.filePath("pict-netpbm.pic"), path(kTypes[11])}; // and an icon
    ASSERT_EQ(kTypes[11].type, QByteArray(".ICO"));
    {
        frmVIEWIMAGES viewer;
        EXPECT_TRUE(viewer.showImages(files[0], files[1], sizeText(files[0]), sizeText(files[1])));
        viewer.show();
        EXPECT_EQ(viewer.gvbIMAGE[0]->pixmap().size(), QSize(120, 110));
        EXPECT_EQ(viewer.picIMAGE[1]->pixmap().size(), QSize(120, 110));
        EXPECT_EQ(viewer.lblSIZE[1]->text(), sizeText(files[1]) + ",  120 x 110");
        viewer.findChild<QPushButton *>(QStringLiteral("cmdRETURN"))->click();
        EXPECT_FALSE(viewer.isVisible() || viewer.image(1).isLoaded());
    }
    const QString broken = pics.filePath(QStringLiteral("broken.pcx"));
    ASSERT_TRUE(writeFile(broken, "not a picture at all"));
    for (const bool errorPicture : {true, false}) {
        SCOPED_TRACE(errorPicture ? "with error.bmp" : "without error.bmp");
        QFile::remove(home.file("error.bmp"));
        if (errorPicture)
            ASSERT_TRUE(QFile::copy(QStringLiteral(ERROR_BMP), home.file("error.bmp")));
        frmVIEWIMAGES viewer;
        // A picture shown before must not stay behind the failed one.
        viewer.showImages(path(kTypes[0]), QString(), sizeText(path(kTypes[0])), QString());
        EXPECT_FALSE(viewer.showImages(broken, QString(), QStringLiteral("20 bytes"), QString()));
        viewer.show();
        EXPECT_EQ(viewer.gvbIMAGE[0]->pixmap().size(), errorPicture ? QSize(96, 72) : QSize(0, 0));
        EXPECT_EQ(viewer.lblFILE[0]->toolTip(), broken);
        EXPECT_EQ(viewer.lblSIZE[0]->text(), "20 bytes,  cannot be read");
        EXPECT_FALSE(viewer.Picturebox[1]->isVisible());
        EXPECT_FALSE(viewer.lblSIZE[1]->isVisible());
    }
}
