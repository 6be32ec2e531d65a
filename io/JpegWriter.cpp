#include "io/JpegWriter.h"

#include <jpeglib.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace orma {
namespace {

/// libjpeg's default error handler calls exit(); jump back to the caller instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

extern "C" void onJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->text);
    std::longjmp(manager->jump, 1);
}

/// Runs the encoder; no C++ object with a destructor lives across setjmp.
/// Returns false with the error text in `manager` when the encoder fails.
bool encode(std::FILE* file, const std::uint8_t* rgb, int width, int height, std::size_t stride,
            ErrorManager& manager) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = onJpegError;
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

JpegWriteResult writeJpeg(const std::filesystem::path& path, const std::uint8_t* rgb, int width, int height,
                          std::size_t stride) {
    if (rgb == nullptr || width <= 0 || height <= 0 || stride < static_cast<std::size_t>(width) * 3) {
        return {false, "empty picture"};
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {false, std::string("Cannot create file ") + path.string() + ": " + std::strerror(errno)};
    ErrorManager manager{};
    const bool encoded = encode(file, rgb, width, height, stride, manager);
    const bool closed = std::fclose(file) == 0;
    if (encoded && closed) return {true, {}};
    std::remove(path.c_str());
    return {false, encoded ? std::string("Cannot write file ") + path.string() : std::string(manager.text)};
}

}  // namespace orma
