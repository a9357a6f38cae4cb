// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "checksum.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fakeplatform.h"
#include "scriptedprompts.h"

namespace {

QByteArray words(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    return bytes;
}

class ChecksumTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return QDir(m_dir.path()).filePath(name); }
    QString write(const QString &name, const QByteArray &content) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }
    QTemporaryDir m_dir;
    // The comparison locates each file first: on a fixed volume that never asks the user.
    FakePlatform m_platform;
    ScriptedPrompts m_prompts;
};

} // namespace

TEST_F(ChecksumTest, TextHasTypeLengthAndOneDigitPerWordAfterTheFirst)
{
    const QByteArray sevens(402, '\x07');
    struct Case
    {
        const char *name;
        QByteArray content;
        QString expected;
    };
    // Words 0x0707 (1799) give 9; the longest file comes first, so leftovers would show.
    const Case cases[] = {
        {"long.jpg", sevens + QByteArray(600, '\x01'), ".JPG 1002 " + QString(200, '9')},
        {"short.jpg", sevens.left(100), ".JPG 100 " + QString(49, '9') + QString(151, '0')},
        {"empty.jpg", {}, ".JPG 0 " + QString(200, '0')},
        // Word 0 does not count; -32768 gives 8, 12345 gives 5, -1 gives 1.
        {"signed.jpg", words({9, -32768, 12345, -1}), ".JPG 8 851" + QString(197, '0')},
        {"odd.jpg", QByteArray("\x00\x00\x02", 3), ".JPG 3 2" + QString(199, '0')},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Checksum::Compute(write(c.name, c.content), ".JPG"), c.expected) << c.name;
    EXPECT_EQ(Checksum::Compute(path("missing.jpg"), ".JPG"), ".JPG 0 " + QString(200, '0'));
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
    struct Case
    {
        const char *what;
        QByteArray a, b;
        bool equal;
    };
    const Case cases[] = {
        {"identical", base, base, true},
        {"first two bytes differ", changed(0), changed(1), true},
        {"third byte differs", base, changed(2), false},
        {"second byte of the second block differs", base, changed(1024 * 1024 + 1), false},
        {"last byte differs", base, changed(base.size() - 1), false},
        {"one byte longer", base, base + 'x', false},
        {"both empty", {}, {}, true},
    };
    int n = 0;
    for (const Case &c : cases) {
        const QString a = write(QString("a%1.jpg").arg(n), c.a);
        const QString b = write(QString("b%1.jpg").arg(n++), c.b);
        EXPECT_EQ(Checksum::CompareFiles("[]", a, "[]", b), c.equal) << c.what;
        if (c.equal) // such files also share their checksum
            EXPECT_EQ(Checksum::Compute(a, ".JPG"), Checksum::Compute(b, ".JPG")) << c.what;
    }
    EXPECT_FALSE(Checksum::CompareFiles("[]", write("c.jpg", "x"), "[]", path("missing.jpg")));
}
