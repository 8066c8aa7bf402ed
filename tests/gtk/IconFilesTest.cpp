#include "platform/gtk/IconFiles.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "GtkTestSupport.h"

namespace {

// The share of opaque, light pixels: the drawn text.
double lightShare(const std::string& path) {
  GdkPixbuf* image = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (image == nullptr) return -1;
  const int width = gdk_pixbuf_get_width(image);
  const int height = gdk_pixbuf_get_height(image);
  const int stride = gdk_pixbuf_get_rowstride(image);
  const int channels = gdk_pixbuf_get_n_channels(image);
  const guchar* pixels = gdk_pixbuf_read_pixels(image);
  int light = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const guchar* pixel = pixels + y * stride + x * channels;
      if (pixel[0] > 200 && pixel[1] > 200 && pixel[2] > 200 && pixel[3] > 200) ++light;
    }
  }
  g_object_unref(image);
  return static_cast<double>(light) / (width * height);
}

// Needs the resources registered, hence the started backend.
using IconFilesTest = GtkViewTest;

TEST_F(IconFilesTest, DrawsTheTitleLegiblyAndCleansUpAfterItself) {
  std::unique_ptr<IconFiles> files = IconFiles::create();
  ASSERT_NE(files, nullptr);
  const std::string directory = files->directory();

  const std::string thermometer = files->thermometer();
  EXPECT_TRUE(std::filesystem::is_regular_file(thermometer));
  EXPECT_GT(std::filesystem::file_size(thermometer), 100u);

  const std::string hot = files->writeTitleIcon("104 °F");
  const std::string cold = files->writeTitleIcon(" 5 °C");
  // Enough of the badge is text to be read, and not so much that it is a blot.
  EXPECT_GT(lightShare(hot), 0.08);
  EXPECT_LT(lightShare(hot), 0.6);
  EXPECT_GT(lightShare(cold), 0.05);
  EXPECT_NE(hot, cold);

  files.reset();
  EXPECT_FALSE(std::filesystem::exists(directory));
}

}  // namespace
