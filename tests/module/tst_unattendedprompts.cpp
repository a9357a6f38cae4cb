// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "unattendedprompts.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace Prompts;

// Nobody is there to answer: each box is one line, and no answer goes on with something that
// needs a user, whatever the box's own default button.
TEST(UnattendedPrompts, EachBoxIsOneLineAndTheSafeAnswer)
{
    const struct
    {
        Box box;
        Answer answer;
        const char *line;
    } cases[] = {
        {{"Unable to read INI file"}, Answer::Ok, "vexa: Vexa!: Unable to read INI file"},
        {{"[ZIP] /media/zip/\n\nPlease load the disk", "Cannot find", Buttons::OkCancel}, Answer::Cancel,
         "vexa: Cannot find: [ZIP] /media/zip/ Please load the disk"},
        {{"Set it aside?", "", Buttons::YesNo, Icon::Critical, Default::First}, Answer::No, "vexa: Vexa!: Set it aside?"},
        {{"Save?", "", Buttons::YesNoCancel}, Answer::Cancel, "vexa: Vexa!: Save?"},
        {{"Disk error", "", Buttons::AbortRetryIgnore}, Answer::Abort, "vexa: Vexa!: Disk error"},
        {{"  Busy\r\n", "", Buttons::RetryCancel}, Answer::Cancel, "vexa: Vexa!: Busy"},
    };
    QStringList printed;
    UnattendedPrompts prompts([&](const QString &line) { printed << line; });
    for (const auto &c : cases) {
        EXPECT_EQ(prompts.ask(nullptr, c.box), c.answer) << c.line;
        EXPECT_EQ(printed.last(), QString::fromUtf8(c.line));
    }
    EXPECT_EQ(prompts.exec(nullptr), 0);
    EXPECT_EQ(printed.size(), int(std::size(cases)) + 1);
}
