// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

class QWidget;
class QDialog;

// The one seam through which every message box and modal dialog of the program passes. The
// program installs an implementation that shows real boxes; tests install one that records
// each box and answers from a script.
namespace Prompts {

enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Default { First, Second, Third };
enum class Answer { Ok, Cancel, Abort, Retry, Ignore, Yes, No };

struct Box
{
    QString text;
    QString title; // empty: the product name "Vexa!" is shown
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    Default defaultButton = Default::First;

    bool operator==(const Box &o) const
    {
        return text == o.text && title == o.title && buttons == o.buttons && icon == o.icon
               && defaultButton == o.defaultButton;
    }
};

class Handler
{
public:
    virtual ~Handler() = default;
    // Shows a box and returns the button chosen.
    virtual Answer ask(QWidget *parent, const Box &box) = 0;
    // Runs a modal dialog to its end and returns its result code.
    virtual int exec(QDialog *dialog) = 0;
};

// The installed handler. Without one, boxes answer with their default button.
Handler &handler();
void setHandler(Handler *handler); // nullptr restores the default

// Shorthands used all over the program.
Answer ask(QWidget *parent, const Box &box);
inline Answer message(QWidget *parent, const QString &text, Icon icon = Icon::None,
                      const QString &title = QString())
{
    return ask(parent, Box{text, title, Buttons::Ok, icon, Default::First});
}
int exec(QDialog *dialog);

// The title a box shows: its own, or the product name when it has none.
QString shownTitle(const Box &box);

} // namespace Prompts
