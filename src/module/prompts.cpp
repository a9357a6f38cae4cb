// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "prompts.h"

#include <QDebug>

namespace Prompts {
namespace {

Answer defaultAnswer(const Box &box)
{
    static const Answer answers[][3] = {
        {Answer::Ok, Answer::Ok, Answer::Ok},
        {Answer::Ok, Answer::Cancel, Answer::Cancel},
        {Answer::Abort, Answer::Retry, Answer::Ignore},
        {Answer::Yes, Answer::No, Answer::Cancel},
        {Answer::Yes, Answer::No, Answer::No},
        {Answer::Retry, Answer::Cancel, Answer::Cancel},
    };
    return answers[int(box.buttons)][int(box.defaultButton)];
}

// Used only when no handler was installed (a tool run without windows): never blocks.
class DefaultHandler : public Handler
{
public:
    Answer ask(QWidget *, const Box &box) override
    {
        qWarning().noquote() << shownTitle(box) << ":" << box.text;
        return defaultAnswer(box);
    }
    int exec(QDialog *) override { return 0; }
};

DefaultHandler s_default;
Handler *s_handler = nullptr;

} // namespace

Handler &handler()
{
    return s_handler ? *s_handler : s_default;
}

void setHandler(Handler *h)
{
    s_handler = h;
}

Answer ask(QWidget *parent, const Box &box)
{
    return handler().ask(parent, box);
}

int exec(QDialog *dialog)
{
    return handler().exec(dialog);
}

QString shownTitle(const Box &box)
{
    return box.title.isEmpty() ? QStringLiteral("Vexa!") : box.title;
}

} // namespace Prompts
