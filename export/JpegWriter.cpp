#include "export/JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/Errors.h"

namespace gs {

namespace {

constexpr int kRgbComponents = 3;

// libjpeg reports errors through a callback that must not return; it jumps back to the
// compressing function, which then frees what libjpeg holds.
struct TJpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onJpegError(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

TBytes rgbRows(const TRaster& r) {
    TBytes rgb(std::size_t(r.Width()) * std::size_t(r.Height()) * kRgbComponents);
    std::size_t i = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            Argb c = r.Pixel(x, y);
            rgb[i++] = redOf(c);
            rgb[i++] = greenOf(c);
            rgb[i++] = blueOf(c);
        }
    return rgb;
}

// Collects the compressed bytes in one malloc'd block that grows by doubling. The block stays
// reachable through `data` whatever happens, so it is freed after an error too.
struct TGrowingDestination {
    jpeg_destination_mgr pub;
    unsigned char* data;
    std::size_t capacity;
};

constexpr std::size_t kFirstBlock = 64 * 1024;

void destinationInit(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TGrowingDestination*>(cinfo->dest);
    d->data = static_cast<unsigned char*>(std::malloc(kFirstBlock));
    if (!d->data) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    d->capacity = kFirstBlock;
    d->pub.next_output_byte = d->data;
    d->pub.free_in_buffer = d->capacity;
}

boolean destinationGrow(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TGrowingDestination*>(cinfo->dest);
    auto* bigger = static_cast<unsigned char*>(std::realloc(d->data, d->capacity * 2));
    if (!bigger) {
        cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
        (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
    }
    d->data = bigger;
    d->pub.next_output_byte = d->data + d->capacity;  // libjpeg hands over the whole block when full
    d->pub.free_in_buffer = d->capacity;
    d->capacity *= 2;
    return TRUE;
}

void destinationTerm(j_compress_ptr) {}

// Holds only plain C data, so the jump back from an error leaves nothing to destroy but what
// libjpeg itself owns. On failure the message is in `errors`.
bool compress(TJpegErrors& errors, TGrowingDestination& dest, const unsigned char* rgb, JDIMENSION width,
              JDIMENSION height) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onJpegError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.pub.init_destination = destinationInit;
    dest.pub.empty_output_buffer = destinationGrow;
    dest.pub.term_destination = destinationTerm;
    cinfo.dest = &dest.pub;
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = kRgbComponents;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kJpegQuality, TRUE);
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = std::size_t(width) * kRgbComponents;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + std::size_t(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

TBytes encodeJpeg(const TRaster& bitmap) {
    const TBytes rgb = rgbRows(bitmap);
    TJpegErrors errors{};
    TGrowingDestination dest{};
    const bool ok = compress(errors, dest, rgb.data(), JDIMENSION(bitmap.Width()), JDIMENSION(bitmap.Height()));
    TBytes result;
    if (ok) result.assign(dest.data, dest.data + (dest.capacity - dest.pub.free_in_buffer));
    std::free(dest.data);
    if (!ok) throw EFCreateError(std::string("JPEG error: ") + errors.message);
    return result;
}

}  // namespace gs
