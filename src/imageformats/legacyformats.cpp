// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "formats.h"

namespace ImageFormats {

const QList<Format> &legacyFormats()
{
    static const QList<Format> formats;
    return formats;
}

} // namespace ImageFormats
