// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "scriptedprompts.h"

#include <gtest/gtest.h>

#include <QDialog>

#include <ostream>

ScriptedPrompts::ScriptedPrompts()
{
    Prompts::setHandler(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    Prompts::setHandler(nullptr);
    EXPECT_TRUE(m_answers.isEmpty()) << m_answers.size() << " scripted answer(s) left unused";
}

ScriptedPrompts &ScriptedPrompts::then(Prompts::Answer answer)
{
    m_answers.append(answer);
    return *this;
}

QStringList ScriptedPrompts::texts() const
{
    QStringList out;
    for (const auto &b : boxes)
        out << b.text;
    return out;
}

Prompts::Answer ScriptedPrompts::ask(QWidget *, const Prompts::Box &box)
{
    boxes.append(box);
    if (onAsk)
        onAsk(box);
    if (m_answers.isEmpty()) {
        ADD_FAILURE() << "unexpected message box: " << box.text.toStdString();
        return box.buttons == Prompts::Buttons::YesNo ? Prompts::Answer::No : Prompts::Answer::Ok;
    }
    return m_answers.takeFirst();
}

int ScriptedPrompts::exec(QDialog *dialog)
{
    dialogs.append(dialog->objectName());
    return onDialog ? onDialog(dialog) : 0;
}

void PrintTo(const Prompts::Box &box, std::ostream *os)
{
    *os << "Box{\"" << box.text.toStdString() << "\", title \"" << box.title.toStdString()
        << "\", buttons " << int(box.buttons) << ", icon " << int(box.icon) << ", default "
        << int(box.defaultButton) << "}";
}
