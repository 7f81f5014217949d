#include "display/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace varnex {

namespace {

// libjpeg reports errors by calling error_exit, which must not return: we jump back to the
// decoder with the message kept here.
struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf resume;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->resume, 1);
}

// Warnings (level -1) include "premature end of data": a truncated picture is an error to us,
// not a grey half image. Trace messages (level >= 0) are ignored.
void JumpOnWarning(j_common_ptr info, int level)
{
    if (level < 0)
        JumpOnError(info);
}

void Silence(j_common_ptr) {}

// Only plain locals live in this frame, so the longjmp skips no destructor. The image is owned
// by the caller's frame.
bool DecodeInto(const unsigned char* bytes, unsigned long size, QImage* image, char* message)
{
    jpeg_decompress_struct info;
    JumpingErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOnError;
    errors.base.emit_message = JumpOnWarning;
    errors.base.output_message = Silence;
    errors.message[0] = '\0';

    if (setjmp(errors.resume)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        jpeg_destroy_decompress(&info);
        return false;
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);

    if (info.output_width == 0 || info.output_height == 0 || info.output_width > kMaxJpegSide
        || info.output_height > kMaxJpegSide || info.output_components != 3) {
        std::snprintf(message, JMSG_LENGTH_MAX, "unsupported picture size or colour layout");
        jpeg_destroy_decompress(&info);
        return false;
    }
    *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) {
        std::snprintf(message, JMSG_LENGTH_MAX, "out of memory for the picture");
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

JpegDecodeResult DecodeJpeg(const QByteArray& data)
{
    JpegDecodeResult result;
    if (data.isEmpty()) {
        result.error = QStringLiteral("empty picture data");
        return result;
    }
    QImage image;
    char message[JMSG_LENGTH_MAX] = {};
    if (DecodeInto(reinterpret_cast<const unsigned char*>(data.constData()),
                   static_cast<unsigned long>(data.size()), &image, message)) {
        result.image = std::move(image);
    } else {
        result.error = QString::fromLocal8Bit(message);
        if (result.error.isEmpty())
            result.error = QStringLiteral("the picture could not be decoded");
    }
    return result;
}

} // namespace varnex
