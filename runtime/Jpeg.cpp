#include "runtime/Jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace vantorel {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// libjpeg's default handler calls exit(); unwind to the decoder instead.
[[noreturn]] void onFatalError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr) {}

} // namespace

bool decodeJpeg(std::span<const std::uint8_t> data, RgbImage& out)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    errors.base.output_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);

    RgbImage image;
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + static_cast<std::size_t>(info.output_scanline) * image.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // Truncated data only warns and fills the rest with grey.
    const bool complete = errors.base.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    if (!complete)
        return false;
    out = std::move(image);
    return true;
}

} // namespace vantorel
