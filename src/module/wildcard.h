// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#pragma once

#include <QString>

// The program's wildcard comparison, case-sensitive: "*" any run of characters, "?" one
// character, "#" one digit, "[abc]" / "[a-z]" one character of a list, "[!abc]" one
// character not in it. A pattern with an unclosed "[" matches nothing.
namespace Wildcard {

bool like(const QString &text, const QString &pattern);

} // namespace Wildcard
