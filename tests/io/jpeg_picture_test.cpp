#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <QFile>

#include <jpeglib.h>

#include "io/jpeg_picture.h"

namespace keelrun {
namespace {

// A grey JPEG picture of the given size, made with libjpeg.
std::string greyJpeg(int width, int height)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width), 128);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char *>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

TEST(JpegPicture, DecodesAndRefusesDamage)
{
    const auto picture = readJpegFile(KEELRUN_TEST_DATA "/tiny.jpg");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 8);
    EXPECT_EQ(picture->height, 6);
    EXPECT_NEAR(picture->rgb[0], 200, 6);
    EXPECT_NEAR(picture->rgb[1], 30, 6);
    EXPECT_FALSE(decodeJpeg("not a picture"));
    QFile file(KEELRUN_TEST_DATA "/tiny.jpg");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    EXPECT_FALSE(decodeJpeg(std::string_view(whole.constData(), static_cast<std::size_t>(whole.size() - 20))));
    EXPECT_FALSE(decodeJpeg(""));
}


TEST(JpegPicture, LargePicturesAreScaledDownToFit)
{
    const auto wide = decodeJpeg(greyJpeg(5000, 40));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->width, 2500);
    EXPECT_EQ(wide->height, 20);
    EXPECT_NEAR(wide->rgb[0], 128, 2);
    const auto tall = decodeJpeg(greyJpeg(16, 20000));
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->height, 2500);
    EXPECT_EQ(decodeJpeg(greyJpeg(4096, 8))->width, 4096);
}

}  // namespace
}  // namespace keelrun
