// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Whole-file writes under faults: each case writes in a child process that has the fault
// (a file size limit, a folder it may not write), so the test itself keeps working.
#include "safefile.h"

#include "childlimits.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Runs writeWhole in a child under the given faults; true when it reported success.
bool writeInChild(const QString &path, const QByteArray &bytes, qint64 sizeLimit, bool obeyPermissions)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (sizeLimit > 0)
            ChildLimits::limitFileSize(sizeLimit);
        if (obeyPermissions && !ChildLimits::obeyFilePermissions())
            ::_exit(3);
        ::_exit(SafeFile::writeWhole(path, bytes) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "the child was killed by signal " << WTERMSIG(status);
    EXPECT_NE(WEXITSTATUS(status), 3) << "cannot drop the permission override here";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(SafeFile, AFailedWriteLeavesTheOldFileAndNothingElse)
{
    const QByteArray old = "LIST NAME = Photos\r\n.JPG\r\n";
    const QByteArray big(64 * 1024, 'x');
    const struct
    {
        const char *name;
        QByteArray content;
        qint64 sizeLimit;
        bool readOnlyFolder, pathIsFolder;
    } cases[] = {
        {"file size limit reached", big, 4096, false, false},
        {"limit reached by the last few bytes", QByteArray(4097, 'y'), 4096, false, false},
        {"read-only folder", "new", 0, true, false},
        {"a folder stands at the path", "new", 0, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("VEXA.INI");
        if (c.pathIsFolder)
            ASSERT_TRUE(QDir().mkdir(path));
        else
            writeFile(path, old);
        if (c.readOnlyFolder)
            ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
        EXPECT_FALSE(writeInChild(path, c.content, c.sizeLimit, true));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        if (!c.pathIsFolder)
            EXPECT_EQ(readFile(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"VEXA.INI"});
    }
}

TEST(SafeFile, ReplacesTheWholeContentKeepingPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("General.lst");
    writeFile(path, QByteArray(10000, 'o'));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QString error;
    ASSERT_TRUE(SafeFile::writeWhole(path, "short\r\n", &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), "short\r\n");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A list kept elsewhere and linked into the data folder stays linked.
    const QString link = dir.filePath("Linked.lst");
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(SafeFile::writeWhole(link, "through the link\r\n"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(path), "through the link\r\n");

    // A new file, and an empty content.
    const QString fresh = dir.filePath("data.lcd");
    ASSERT_TRUE(SafeFile::writeWhole(fresh, QByteArray()));
    EXPECT_TRUE(QFileInfo(fresh).isFile());
    EXPECT_EQ(QFileInfo(fresh).size(), 0);
}
