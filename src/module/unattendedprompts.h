// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "prompts.h"

#include <functional>

// The answerer of a run that nobody watches (the command-line gather, a headless report).
// No box ever waits: each one's title and text go to standard error as one line, and the
// answer is the one that keeps data safe. An error box is answered OK and the run, which
// then does not complete, ends with a non-zero status after it; a question gets the answer
// that does not go on (Cancel, No, Abort); a modal dialog is not shown and counts as closed.
// Install it with Prompts::setHandler for the whole run.
class UnattendedPrompts : public Prompts::Handler
{
public:
    // Each line goes to out; by default to standard error.
    explicit UnattendedPrompts(std::function<void(const QString &line)> out = {});

    Prompts::Answer ask(QWidget *parent, const Prompts::Box &box) override;
    int exec(QDialog *dialog) override;

    // The answer given to a box.
    static Prompts::Answer safeAnswer(const Prompts::Box &box);
    // The line printed for a box: "vexa: " + title + ": " + text, line breaks as blanks.
    static QString line(const Prompts::Box &box);

    int count() const { return m_count; }

private:
    void print(const QString &line);

    std::function<void(const QString &)> m_out;
    int m_count = 0;
};
