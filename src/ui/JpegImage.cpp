#include "JpegImage.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first

#include <jpeglib.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the point set before decoding started.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// The decoder's state lives outside the frame that calls setjmp, so nothing
// there is left indeterminate by the jump.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
};

// Largest picture accepted; corrupt headers may claim gigabytes.
constexpr unsigned long kMaxPixels = 64ul * 1024 * 1024;

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

// Level -1 is a warning about corrupt data (also premature end of data,
// which libjpeg would otherwise pad with grey): treated as failure.
// Trace messages (level >= 0) are dropped.
void EmitMessage(j_common_ptr cinfo, int msgLevel)
{
    if (msgLevel < 0)
        ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

// Holds no objects with destructors, since a failure jumps out of it.
bool Decode(Decoder *d, const unsigned char *data, unsigned long size, QImage *out)
{
    jpeg_decompress_struct *cinfo = &d->cinfo;
    cinfo->err = jpeg_std_error(&d->err.pub);
    d->err.pub.error_exit = ErrorExit;
    d->err.pub.emit_message = EmitMessage;
    d->err.pub.output_message = OutputMessage;
    if (setjmp(d->err.jump)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, size);
    jpeg_read_header(cinfo, TRUE);
    if (static_cast<unsigned long>(cinfo->image_width) * cinfo->image_height > kMaxPixels) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    cinfo->out_color_space = JCS_RGB;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 3) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    *out = QImage(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height),
                  QImage::Format_RGB888);
    if (out->isNull()) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(cinfo->output_scanline));
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    Decoder decoder{};
    QImage image;
    if (!Decode(&decoder, reinterpret_cast<const unsigned char *>(data.constData()),
                static_cast<unsigned long>(data.size()), &image))
        return {};
    return image;
}
