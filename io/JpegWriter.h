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
/// default (75). Encoder errors are reported, never fatal to the program;
/// a partly written file is removed.
JpegWriteResult writeJpeg(const std::filesystem::path& path, const std::uint8_t* rgb, int width, int height,
                          std::size_t stride);

}  // namespace orma
