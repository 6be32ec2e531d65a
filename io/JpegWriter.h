#pragma once
// Writes a picture as a baseline JPEG file with libjpeg's default settings.

#include <cstdint>
#include <filesystem>
#include <string>

namespace orma {

/// Outcome of a write: ok, or the reason it failed (file system or encoder).
struct JpegWriteResult {
    bool ok = false;
    std::string error;  ///< empty when ok
};

/// `rgb` holds `height` rows of `width` pixels, 3 bytes each (R, G, B), rows
/// `stride` bytes apart (stride >= 3 * width). Quality is the encoder's
/// default (75). Encoder errors are reported, never fatal to the program.
/// The picture is compressed in memory and saved safely (io/SafeFile.h): a
/// failed write leaves no file, or the previous one, never half a picture.
/// An existing file that cannot be read or is not a regular file is left.
JpegWriteResult writeJpeg(const std::filesystem::path& path, const std::uint8_t* rgb, int width, int height,
                          std::size_t stride);

}  // namespace orma
