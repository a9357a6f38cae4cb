// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "unattendedprompts.h"

#include <QRegularExpression>

#include <cstdio>

using Prompts::Answer;
using Prompts::Buttons;

UnattendedPrompts::UnattendedPrompts(std::function<void(const QString &)> out)
    : m_out(std::move(out))
{
}

Answer UnattendedPrompts::safeAnswer(const Prompts::Box &box)
{
    switch (box.buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    case Buttons::YesNoCancel: return Answer::Cancel;
    case Buttons::YesNo: return Answer::No;
    case Buttons::RetryCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

QString UnattendedPrompts::line(const Prompts::Box &box)
{
    // One line per box, so a log of a night's runs reads one reason per line.
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    QString text = box.text.trimmed();
    text.replace(breaks, QStringLiteral(" "));
    return QStringLiteral("vexa: ") + Prompts::shownTitle(box) + QStringLiteral(": ") + text;
}

void UnattendedPrompts::print(const QString &text)
{
    ++m_count;
    if (m_out) {
        m_out(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

Answer UnattendedPrompts::ask(QWidget *, const Prompts::Box &box)
{
    print(line(box));
    return safeAnswer(box);
}

int UnattendedPrompts::exec(QDialog *)
{
    print(QStringLiteral("vexa: a window that waits for an answer was not shown in this "
                         "unattended run"));
    return 0; // rejected
}
