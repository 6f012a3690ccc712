// The image stretcher that reads through the image module: the picture as the module's Qt reader
// gives it, its file errors arriving whole, and a missing module reported as a file error.
#include "platform/module_image_stretcher.h"

#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "mapbuild/bmp_image.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::FileErrorReason;
using testing::TempFolder;
using testing::ThrownText;

#ifdef TERRAK_IMAGE_MODULE_PATH

TEST(ModuleImageStretcher, StretchesUpsideDownToTheNearestPaletteColourThroughTheModule) {
  TempFolder folder;
  // 4 x 2 pixels: the top row red, green, blue, white; the bottom row all black.
  testing::IndexedImage source;
  source.Pixels.Resize(4, 2, 0);
  source.Palette[1] = MakeColour(250, 0, 0);
  source.Palette[2] = MakeColour(0, 250, 0);
  source.Palette[3] = MakeColour(0, 0, 250);
  source.Palette[4] = MakeColour(255, 255, 255);
  for (std::int64_t x = 0; x < 4; ++x) source.Pixels(x, 0) = static_cast<std::uint8_t>(x + 1);
  const std::string file = folder.File("map.bmp");
  testing::WriteBytes(file, testing::EncodeBmp(source));

  ImagePalette palette{};
  palette.fill(MakeColour(128, 128, 128));
  palette[0] = kBlack;
  palette[7] = MakeColour(255, 0, 0);
  palette[8] = MakeColour(0, 255, 0);
  palette[9] = MakeColour(0, 0, 255);
  palette[10] = kWhite;
  const auto stretcher =
      MakeModuleImageStretcher({folder.File("none.so"), TERRAK_IMAGE_MODULE_PATH});
  // Twice as wide: every source pixel covers two picture pixels.
  const terrak::IndexedImage picture = stretcher->StretchUpsideDown(file, 8, 2, palette);
  ASSERT_EQ(picture.Width, 8);
  ASSERT_EQ(picture.Height, 2);
  EXPECT_EQ(picture.Pixels,
            (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 7, 7, 8, 8, 9, 9, 10, 10}));

  // The reader's refusal keeps its file and reason across the module.
  const std::string text = folder.File("notes.bmp");
  testing::WriteText(text, "no image here\n");
  const auto readText = [&] { stretcher->StretchUpsideDown(text, 8, 2, palette); };
  EXPECT_EQ(ThrownText<FileError>(readText, &FileError::FileName), text);
  EXPECT_EQ(FileErrorReason(readText), "it cannot be read as an image");
  // A folder is refused before the reader opens it.
  EXPECT_THROW(stretcher->StretchUpsideDown(folder.Path(), 8, 2, palette), FileError);
}

#endif

TEST(ModuleImageStretcher, AModuleThatCannotBeLoadedIsAFileErrorOfTheImage) {
  TempFolder folder;
  const std::string broken = folder.File("terrak-qtimage.so");
  testing::WriteText(broken, "not a shared object\n");
  for (const std::string& candidate : {folder.File("missing.so"), broken}) {
    const auto stretcher = MakeModuleImageStretcher({candidate});
    const auto read = [&] { stretcher->StretchUpsideDown(folder.File("map.bmp"), 4, 4, {}); };
    EXPECT_EQ(ThrownText<FileError>(read, &FileError::FileName), folder.File("map.bmp"));
    const std::string reason = FileErrorReason(read);
    EXPECT_EQ(reason.rfind("the image module could not be loaded: ", 0), 0u) << reason;
    EXPECT_NE(reason.find(candidate), std::string::npos) << reason;
  }
}

}  // namespace
}  // namespace terrak
