// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include "prompts.h"

// Shows the program's message boxes as real QMessageBoxes and runs modal dialogs.
class MessageBoxPrompts : public Prompts::Handler
{
public:
    Prompts::Answer ask(QWidget *parent, const Prompts::Box &box) override;
    int exec(QDialog *dialog) override;
};
