// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Vexa! developers
#include "jpegreader.h"

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <cstdio> // jpeglib.h needs FILE declared first

extern "C" {
#include <jpeglib.h>
}

namespace JpegReader {
namespace {

// The library reports a fatal error by calling error_exit, which must not return: it jumps
// back to the decoding function. Warnings (a few stray bytes, say) are ignored, as the
// toolkit's reader ignores them.
struct Errors : jpeg_error_mgr
{
    std::jmp_buf jump;
};

extern "C" void errorExit(j_common_ptr info)
{
    std::longjmp(static_cast<Errors *>(info->err)->jump, 1);
}
extern "C" void noMessage(j_common_ptr, int) {}
extern "C" void noOutput(j_common_ptr) {}

// The whole file in memory. When the decoder asks for more than there is, the data ended
// early: it is given an end marker, as the library advises, and the picture is refused.
struct Source : jpeg_source_mgr
{
    bool ranOut = false;
    JOCTET end[2] = {0xFF, JPEG_EOI};
};

extern "C" void initSource(j_decompress_ptr) {}
extern "C" boolean fillInput(j_decompress_ptr info)
{
    auto *src = static_cast<Source *>(info->src);
    src->ranOut = true;
    src->next_input_byte = src->end;
    src->bytes_in_buffer = 2;
    return TRUE;
}
extern "C" void skipInput(j_decompress_ptr info, long count)
{
    auto *src = static_cast<Source *>(info->src);
    if (count <= 0)
        return;
    if (size_t(count) > src->bytes_in_buffer) {
        fillInput(info);
        return;
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= size_t(count);
}
extern "C" void termSource(j_decompress_ptr) {}

// What the decoding keeps across a jump out of the library: reached only through a pointer
// set before the jump point, so nothing it holds is left undefined by the jump.
struct State
{
    jpeg_decompress_struct info;
    Errors errors;
    Source source;
    Result result;
};

void decode(State &s, const QByteArray &data, qint64 maxBytes, const Rows &rows)
{
    jpeg_decompress_struct &info = s.info;
    s.source.init_source = initSource;
    s.source.fill_input_buffer = fillInput;
    s.source.skip_input_data = skipInput;
    s.source.resync_to_restart = jpeg_resync_to_restart;
    s.source.term_source = termSource;
    s.source.next_input_byte = reinterpret_cast<const JOCTET *>(data.constData());
    s.source.bytes_in_buffer = size_t(data.size());
    info.src = &s.source;

    jpeg_read_header(&info, TRUE);
    if (info.num_components != 1 && info.num_components != 3)
        return; // CMYK and the like: the toolkit's reader has its own conversions
    // Blue, green, red and an opaque fourth byte: the memory order of Format_RGB32.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_calc_output_dimensions(&info);
    const qint64 width = info.output_width;
    const qint64 height = info.output_height;
    if (width <= 0 || height <= 0 || width * height * 4 > maxBytes) {
        s.result.outcome = Outcome::Unreadable;
        return;
    }
    // The picture lives in the state, never in a local of a function the library may jump
    // out of.
    QImage &image = s.result.image;
    image = QImage(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull()) {
        s.result.outcome = Outcome::Unreadable;
        return;
    }
    jpeg_start_decompress(&info);
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    constexpr int Batch = 16;
    JSAMPROW batch[Batch];
    while (info.output_scanline < info.output_height) {
        const int first = int(info.output_scanline);
        const int n = std::min<int>(Batch, int(info.output_height) - first);
        for (int k = 0; k < n; ++k)
            batch[k] = bits + (first + k) * stride;
        const int done = int(jpeg_read_scanlines(&info, batch, JDIMENSION(n)));
        if (rows && done > 0)
            rows(image, first, done);
    }
    jpeg_finish_decompress(&info);
    if (s.source.ranOut) {
        s.result = Result{Outcome::Unreadable, QImage()};
        return;
    }
    s.result.outcome = Outcome::Decoded;
}

} // namespace

Result read(const QByteArray &data, qint64 maxBytes, const Rows &rows)
{
    auto s = std::make_unique<State>();
    State *const state = s.get();
    state->info.err = jpeg_std_error(&state->errors);
    state->errors.error_exit = errorExit;
    state->errors.emit_message = noMessage;
    state->errors.output_message = noOutput;
    jpeg_create_decompress(&state->info);
    if (setjmp(state->errors.jump) == 0) {
        decode(*state, data, maxBytes, rows);
    } else {
        // A damaged stream: whatever was decoded is dropped, and the toolkit's reader decides.
        state->result = Result();
    }
    jpeg_destroy_decompress(&state->info);
    return std::move(state->result);
}

} // namespace JpegReader
