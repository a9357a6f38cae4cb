// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "messageboxprompts.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

using namespace Prompts;

Answer MessageBoxPrompts::ask(QWidget *parent, const Box &box)
{
    QMessageBox mb(parent ? parent : QApplication::activeWindow());
    mb.setText(box.text);
    mb.setWindowTitle(shownTitle(box));
    switch (box.icon) {
    case Icon::Critical: mb.setIcon(QMessageBox::Critical); break;
    case Icon::Question: mb.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: mb.setIcon(QMessageBox::Warning); break;
    case Icon::Information: mb.setIcon(QMessageBox::Information); break;
    case Icon::None: mb.setIcon(QMessageBox::NoIcon); break;
    }
    struct Choice
    {
        QMessageBox::StandardButton button;
        Answer answer;
    };
    std::vector<Choice> choices;
    switch (box.buttons) {
    case Buttons::Ok: choices = {{QMessageBox::Ok, Answer::Ok}}; break;
    case Buttons::OkCancel:
        choices = {{QMessageBox::Ok, Answer::Ok}, {QMessageBox::Cancel, Answer::Cancel}};
        break;
    case Buttons::AbortRetryIgnore:
        choices = {{QMessageBox::Abort, Answer::Abort},
                   {QMessageBox::Retry, Answer::Retry},
                   {QMessageBox::Ignore, Answer::Ignore}};
        break;
    case Buttons::YesNoCancel:
        choices = {{QMessageBox::Yes, Answer::Yes},
                   {QMessageBox::No, Answer::No},
                   {QMessageBox::Cancel, Answer::Cancel}};
        break;
    case Buttons::YesNo:
        choices = {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}};
        break;
    case Buttons::RetryCancel:
        choices = {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}};
        break;
    }
    QMessageBox::StandardButtons all;
    for (const Choice &c : choices)
        all |= c.button;
    mb.setStandardButtons(all);
    const size_t def = std::min(size_t(box.defaultButton), choices.size() - 1);
    mb.setDefaultButton(choices[def].button);
    // Closing the box by its close button counts as its last button (Cancel / No).
    mb.setEscapeButton(choices.back().button);
    const int result = mb.exec();
    for (const Choice &c : choices) {
        if (result == c.button)
            return c.answer;
    }
    return choices.back().answer;
}

int MessageBoxPrompts::exec(QDialog *dialog)
{
    return dialog->exec();
}
