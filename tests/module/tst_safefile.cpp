// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
// Whole-file writes under faults, each in a child process that has the fault (a file size
// limit, a folder it may not write), so the test itself keeps working.
#include "safefile.h"

#include "childlimits.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(SafeFile, AFailedWriteLeavesTheOldFileAndNothingElse)
{
    const QByteArray old = "LIST NAME = Photos\r\n.JPG\r\n";
    const struct
    {
        const char *name;
        QByteArray content;
        qint64 sizeLimit;
        mode_t folderMode;
        bool pathIsFolder, written;
    } cases[] = {
        {"file size limit reached", QByteArray(64 * 1024, 'x'), 4096, 0700, false, false},
        {"limit reached by the last byte", QByteArray(4097, 'y'), 4096, 0700, false, false},
        {"read-only folder", "new", 0, 0555, false, false},
        {"a folder stands at the path", "new", 0, 0700, true, false},
        {"room enough", QByteArray(4096, 'z'), 4096, 0700, false, true},
    };
    // Flushed or not, a write that fails leaves the old file and nothing else.
    for (const SafeFile::Sync sync : {SafeFile::Sync::Now, SafeFile::Sync::Deferred}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.name)
                         + (sync == SafeFile::Sync::Now ? "" : ", not flushed"));
            QTemporaryDir dir;
            const QString path = dir.filePath("VEXA.INI");
            QFile f(path);
            ASSERT_TRUE(c.pathIsFolder ? QDir().mkdir(path)
                                       : f.open(QIODevice::WriteOnly) && f.write(old) > 0);
            f.close();
            ::chmod(QFile::encodeName(path).constData(), 0640);
            ::chmod(QFile::encodeName(dir.path()).constData(), c.folderMode);
            const pid_t pid = ::fork();
            if (pid == 0) {
                if (c.sizeLimit > 0)
                    ChildLimits::limitFileSize(c.sizeLimit);
                ::_exit(!ChildLimits::obeyFilePermissions()                  ? 3
                        : SafeFile::writeWhole(path, c.content, nullptr, sync) ? 0
                                                                               : 1);
            }
            int status = -1;
            ::waitpid(pid, &status, 0);
            ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
            EXPECT_EQ(status, c.written ? 0 : 1 << 8)
                << "3: no way to drop the permission override";
            if (!c.pathIsFolder)
                EXPECT_EQ(readFile(path), c.written ? c.content : old);
            struct stat st;
            EXPECT_TRUE(c.pathIsFolder || (::stat(QFile::encodeName(path).constData(), &st) == 0
                                           && (st.st_mode & 07777) == 0640));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                 | QDir::Hidden),
                      QStringList{"VEXA.INI"});
        }
    }
}
