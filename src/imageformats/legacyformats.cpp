// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "formats.h"

#include "arthandler.h"
#include "cuthandler.h"
#include "gemmetahandler.h"
#include "hrzhandler.h"
#include "pichandler.h"
#include "picthandler.h"
#include "wmfhandler.h"
#include "wpghandler.h"

namespace ImageFormats {

const QList<Format> &legacyFormats()
{
    // Formats with a signature come first so that content decides before names do.
    static const QList<Format> formats = {
        format<WmfHandler>("wmf", {"wmf"}), format<WpgHandler>("wpg", {"wpg"}),
        format<PicHandler>("pic", {"pic"}), format<GemMetaHandler>("gem", {"gem"}),
        // Macintosh pictures share .PIC with PC Paint: the content tells them apart.
        format<PictHandler>("pict", {"pct", "pict"}),
        format<CutHandler>("cut", {"cut"}), format<ArtHandler>("art", {"art"}),
        format<HrzHandler>("hrz", {"hrz"}),
    };
    return formats;
}

} // namespace ImageFormats
