#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "platform/qt/qt_image_stretcher.h"
#include "support/file_faults.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

// The image loader opens the name itself: a fifo or a folder named like the map image must be
// refused before it gets there, not waited on.
TEST(QtImageStretcher, RefusesWhatIsNoRegularFileAndSaysWhatItFound) {
  testing::TempFolder folder;
  testing::HangGuard guard;
  testing::MakeFifo(folder.File("map.bmp"));
  const std::unique_ptr<ImageStretcher> stretcher = MakeQtImageStretcher();
  const ImagePalette palette{};
  EXPECT_EQ(testing::FileErrorReason(
                [&] { stretcher->StretchUpsideDown(folder.File("map.bmp"), 4, 4, palette); }),
            "it is a fifo (a named pipe), not a file");
  EXPECT_THROW(stretcher->StretchUpsideDown(folder.Path(), 4, 4, palette), FileError);
}

}  // namespace
}  // namespace terrak
