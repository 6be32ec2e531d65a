#include "io/JpegWriter.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <string_view>

#include "io/SafeFile.h"

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

/// The compressed picture is collected in memory (malloc'd, owned by the
/// caller, so nothing leaks when the encoder jumps out), then saved as a
/// whole, so that a failed write never leaves half a picture.
struct MemoryDestination {
    jpeg_destination_mgr base;
    JOCTET* data = nullptr;
    std::size_t capacity = 0;
    std::size_t size = 0;
};

MemoryDestination* destinationOf(j_compress_ptr info) { return reinterpret_cast<MemoryDestination*>(info->dest); }

extern "C" void initDestination(j_compress_ptr info) {
    MemoryDestination* dest = destinationOf(info);
    dest->capacity = 64 * 1024;
    dest->data = static_cast<JOCTET*>(std::malloc(dest->capacity));
    if (dest->data == nullptr) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    dest->base.next_output_byte = dest->data;
    dest->base.free_in_buffer = dest->capacity;
}

extern "C" boolean emptyOutputBuffer(j_compress_ptr info) {
    MemoryDestination* dest = destinationOf(info);
    const std::size_t grown = dest->capacity * 2;
    auto* data = static_cast<JOCTET*>(std::realloc(dest->data, grown));
    if (data == nullptr) ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
    dest->data = data;
    dest->base.next_output_byte = data + dest->capacity;
    dest->base.free_in_buffer = grown - dest->capacity;
    dest->capacity = grown;
    return TRUE;
}

extern "C" void termDestination(j_compress_ptr info) {
    MemoryDestination* dest = destinationOf(info);
    dest->size = dest->capacity - dest->base.free_in_buffer;
}

/// Runs the encoder; no C++ object with a destructor lives across setjmp.
/// Returns false with the error text in `manager` when the encoder fails.
bool encode(MemoryDestination& dest, const std::uint8_t* rgb, int width, int height, std::size_t stride,
            ErrorManager& manager) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = onJpegError;
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    dest.base.init_destination = initDestination;
    dest.base.empty_output_buffer = emptyOutputBuffer;
    dest.base.term_destination = termDestination;
    info.dest = &dest.base;
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
    ErrorManager manager{};
    MemoryDestination dest{};
    const bool encoded = encode(dest, rgb, width, height, stride, manager);
    const std::string_view bytes(reinterpret_cast<const char*>(dest.data), encoded ? dest.size : 0);
    // The user chose the name in a save dialog, so an existing picture is replaced.
    const FileResult saved = encoded ? writeWholeFile(path, bytes, ExistingFile::Replace) : FileResult{};
    std::free(dest.data);
    if (!encoded) return {false, std::string(manager.text)};
    if (!saved) return {false, saved.describe(path.string())};
    return {true, {}};
}

}  // namespace orma
