#include <gtest/gtest.h>

#include <jpeglib.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "io/JpegWriter.h"

namespace orma {
namespace {

namespace fs = std::filesystem;

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

Decoded decode(const fs::path& path) {
    Decoded out;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return out;
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.rgb.resize(static_cast<std::size_t>(out.width * out.height * 3));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + static_cast<std::size_t>(info.output_scanline) * out.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return out;
}

TEST(JpegWriter, PictureWithRowPaddingDecodesToItsSizeAndColours) {
    // 32 x 16: left half red, right half blue; rows padded to 100 bytes.
    constexpr int w = 32, h = 16;
    constexpr std::size_t stride = 100;
    std::vector<std::uint8_t> pixels(stride * h, 0x77);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = pixels.data() + y * stride + x * 3;
            p[0] = x < w / 2 ? 255 : 0;
            p[1] = 0;
            p[2] = x < w / 2 ? 0 : 255;
        }
    }
    const fs::path path = fs::temp_directory_path() / "orma_jpeg_writer_test.jpg";
    const JpegWriteResult result = writeJpeg(path, pixels.data(), w, h, stride);
    ASSERT_TRUE(result.ok) << result.error;
    const Decoded image = decode(path);
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h);
    const auto at = [&](int x, int y, int c) { return static_cast<int>(image.rgb[(y * w + x) * 3 + c]); };
    EXPECT_GT(at(4, 8, 0), 200);   // red stays red
    EXPECT_LT(at(4, 8, 2), 60);
    EXPECT_GT(at(27, 8, 2), 200);  // blue stays blue
    EXPECT_LT(at(27, 8, 0), 60);
    fs::remove(path);
}

TEST(JpegWriter, FailuresAreReportedAndLeaveNoFile) {
    const std::uint8_t pixel[3] = {1, 2, 3};
    const fs::path missingDir = fs::temp_directory_path() / "orma-no-such-dir" / "x.jpg";
    const JpegWriteResult unwritable = writeJpeg(missingDir, pixel, 1, 1, 3);
    EXPECT_FALSE(unwritable.ok);
    EXPECT_FALSE(unwritable.error.empty());

    const fs::path path = fs::temp_directory_path() / "orma_jpeg_empty.jpg";
    fs::remove(path);
    EXPECT_FALSE(writeJpeg(path, pixel, 0, 1, 3).ok);
    EXPECT_FALSE(writeJpeg(path, pixel, 1, 1, 2).ok);  // stride shorter than a row
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace orma
