// terrak-mapcompare: how well a picture of a map agrees with another program's picture of it.
//
// usage: terrak-mapcompare OURS.png REFERENCE.png [--shift N] [--distance D]
//                          [--require ALL,COLOURED] [--side-by-side OUT.png [--crop X,Y,W,H]]
// Prints the best shift, the share of all reference pixels and of its coloured (not white)
// pixels whose colour ours matches within the distance (0.1 by default: a tenth of the way
// from black to white). Exit status 1 when --require's shares are not reached, 2 for bad
// arguments or unreadable pictures.
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/file_stream.h"
#include "mapcompare/picture_compare.h"
#include "support/png_image.h"
#include "viewer/picture_output.h"

namespace {

using terrak::Picture;

bool ReadPicture(const std::string& name, Picture& picture) {
  try {
    std::optional<Picture> read = terrak::testing::DecodePng(terrak::ReadWholeFile(name));
    if (!read) return false;
    picture = std::move(*read);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

Picture Crop(const Picture& picture, int x, int y, int w, int h) {
  Picture out;
  out.Reset(w, h, terrak::kWhite);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (x + i >= 0 && y + j >= 0 && x + i < picture.Width && y + j < picture.Height)
        out.At(i, j) = picture.At(x + i, y + j);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: terrak-mapcompare OURS.png REFERENCE.png [--shift N] [--distance D]\n"
                 "         [--require ALL,COLOURED] [--side-by-side OUT.png [--crop X,Y,W,H]]\n";
    return 2;
  }
  int shift = 4;
  double distance = 0.1, needAll = 0, needColoured = 0;
  std::string sideBySide;
  int crop[4] = {0, 0, 0, 0};
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    const std::string value = argv[i + 1];
    if (flag == "--shift") {
      shift = std::stoi(value);
    } else if (flag == "--distance") {
      distance = std::stod(value);
    } else if (flag == "--require") {
      if (std::sscanf(value.c_str(), "%lf,%lf", &needAll, &needColoured) != 2) return 2;
    } else if (flag == "--side-by-side") {
      sideBySide = value;
    } else if (flag == "--crop") {
      if (std::sscanf(value.c_str(), "%d,%d,%d,%d", &crop[0], &crop[1], &crop[2], &crop[3]) != 4)
        return 2;
    } else {
      std::cerr << "terrak-mapcompare: unknown option " << flag << "\n";
      return 2;
    }
  }
  Picture ours, reference;
  if (!ReadPicture(argv[1], ours) || !ReadPicture(argv[2], reference)) {
    std::cerr << "terrak-mapcompare: a picture cannot be read\n";
    return 2;
  }
  const terrak::testing::PictureAgreement agreement =
      terrak::testing::ComparePictures(ours, reference, distance, shift);
  std::printf("agree %.2f %% of %lld pixels, %.2f %% of %lld coloured, shift %d,%d, sizes %dx%d %dx%d\n",
              100 * agreement.Share(), static_cast<long long>(agreement.Compared),
              100 * agreement.ColouredShare(), static_cast<long long>(agreement.Coloured),
              agreement.ShiftX, agreement.ShiftY, ours.Width, ours.Height, reference.Width,
              reference.Height);
  if (!sideBySide.empty()) {
    Picture side = terrak::testing::SideBySide(ours, reference, agreement, distance);
    if (crop[2] > 0 && crop[3] > 0) {
      // The same window of each of the three pictures.
      Picture cropped;
      cropped.Reset(3 * crop[2], crop[3], terrak::kWhite);
      for (int k = 0; k < 3; ++k) {
        const Picture part = Crop(side, k * reference.Width + crop[0], crop[1], crop[2], crop[3]);
        for (int j = 0; j < crop[3]; ++j)
          for (int i = 0; i < crop[2]; ++i) cropped.At(k * crop[2] + i, j) = part.At(i, j);
      }
      side = std::move(cropped);
    }
    terrak::ReplaceFileAtomically(sideBySide, terrak::EncodePng(side));
  }
  return agreement.Share() >= needAll && agreement.ColouredShare() >= needColoured ? 0 : 1;
}
