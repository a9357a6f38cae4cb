// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "prompts.h"
#include "qtprinters.h"

#include <QList>

#include <functional>

// Answers message boxes from a script and records every box shown. A box with no scripted
// answer fails the test (and is answered with its default button) instead of blocking.
// Installed for as long as the object lives.
class ScriptedPrompts : public Prompts::Handler
{
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Queues the answer for the next box.
    ScriptedPrompts &then(Prompts::Answer answer);
    // Called for each box before it is answered, as a user would act before clicking.
    std::function<void(const Prompts::Box &)> onAsk;
    // Called for each modal dialog instead of running it; returns its result code.
    std::function<int(QDialog *)> onDialog;

    QList<Prompts::Box> boxes;
    QList<QString> dialogs; // objectName of each dialog run
    QStringList texts() const;

    Prompts::Answer ask(QWidget *parent, const Prompts::Box &box) override;
    int exec(QDialog *dialog) override;

private:
    QList<Prompts::Answer> m_answers;
};

// Pretty printing in assertion failures.
void PrintTo(const Prompts::Box &box, std::ostream *os);
