// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "checksum.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "fakeplatform.h"
#include "scriptedprompts.h"
#include "testkit.h"

namespace {

struct ChecksumTest : ::testing::Test
{
    QString write(const QString &name, const QByteArray &content) const
    {
        EXPECT_TRUE(writeFile(dir.filePath(name), content));
        return dir.filePath(name);
    }
    QTemporaryDir dir;
    // The comparison locates each file first: on a fixed volume that never asks the user.
    FakePlatform platform;
    ScriptedPrompts prompts;
};

} // namespace

TEST_F(ChecksumTest, TextHasTypeLengthAndOneDigitPerWordAfterTheFirst)
{
    const QByteArray sevens(402, '\x07');
    // Words 0x0707 (1799) give 9; the longest file comes first, so leftovers would show.
    const struct
    {
        const char *name;
        QByteArray content;
        QString expected;
    } cases[] = {
        {"long.jpg", sevens + QByteArray(600, '\x01'), ".JPG 1002 " + QString(200, '9')},
        {"short.jpg", sevens.left(100), ".JPG 100 " + QString(49, '9') + QString(151, '0')},
        {"empty.jpg", {}, ".JPG 0 " + QString(200, '0')},
        // Word 0 does not count; -32768 gives 8, 12345 gives 5, -1 gives 1.
        {"signed.jpg", QByteArray("\x09\x00\x00\x80\x39\x30\xff\xff", 8),
         ".JPG 8 851" + QString(197, '0')},
        {"odd.jpg", QByteArray("\x00\x00\x02", 3), ".JPG 3 2" + QString(199, '0')},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Checksum::Compute(write(c.name, c.content), ".JPG"), c.expected) << c.name;
    EXPECT_EQ(Checksum::Compute(dir.filePath("missing.jpg"), ".JPG"), cases[2].expected);
}

TEST_F(ChecksumTest, CompareFilesIgnoresOnlyTheFirstTwoBytes)
{
    // Larger than the comparison's block, so differences near block ends are exercised.
    QByteArray base(3 * 1024 * 1024 + 17, '\0');
    for (int k = 0; k < base.size(); ++k)
        base[k] = char(k * 131 % 251);
    const auto changed = [&base](qsizetype at) {
        QByteArray copy = base;
        copy[at] = char(copy[at] ^ 0x5A);
        return copy;
    };
    const struct
    {
        const char *what;
        QByteArray a, b;
        bool equal;
    } cases[] = {
        {"identical", base, base, true},
        {"first two bytes differ", changed(0), changed(1), true},
        {"third byte differs", base, changed(2), false},
        {"second byte of the second block differs", base, changed(1024 * 1024 + 1), false},
        {"last byte differs", base, changed(base.size() - 1), false},
        {"one byte longer", base, base + 'x', false},
        {"both empty", {}, {}, true},
    };
    for (const auto &c : cases) {
        const QString a = write(QString("a ") + c.what, c.a);
        const QString b = write(QString("b ") + c.what, c.b);
        EXPECT_EQ(Checksum::CompareFiles("[]", a, "[]", b), c.equal) << c.what;
        if (c.equal) // such files also share their checksum
            EXPECT_EQ(Checksum::Compute(a, ".JPG"), Checksum::Compute(b, ".JPG")) << c.what;
    }
    EXPECT_FALSE(
        Checksum::CompareFiles("[]", write("c.jpg", "x"), "[]", dir.filePath("missing.jpg")));
}
