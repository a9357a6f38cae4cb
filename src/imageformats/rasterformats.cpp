// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "formats.h"

#include "gemimghandler.h"
#include "ilbmhandler.h"
#include "macpainthandler.h"
#include "msphandler.h"
#include "pcxhandler.h"
#include "rashandler.h"
#include "utahrlehandler.h"

namespace ImageFormats {

const QList<Format> &rasterFormats()
{
    // Content is tried in this order: the longest and surest signatures first, the GEM bit
    // image (a few plausible header words) last.
    static const QList<Format> formats = {
        format<RasHandler>("ras", {"ras"}),     format<IlbmHandler>("iff", {"iff", "ilbm", "lbm"}),
        format<MspHandler>("msp", {"msp"}),     format<MacPaintHandler>("mac", {"mac"}),
        format<UtahRleHandler>("rle", {"rle"}), format<PcxHandler>("pcx", {"pcx"}),
        format<GemImgHandler>("img", {"img"}),
    };
    return formats;
}

} // namespace ImageFormats
