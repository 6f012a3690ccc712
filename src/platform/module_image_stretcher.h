#pragma once
// An image stretcher that opens the image module the first time an image is read, so a program
// without windows loads Qt Gui (and its fonts, X11 and ICU libraries) only for a map image.
#include <memory>
#include <string>
#include <vector>

#include "platform/image_stretcher.h"

namespace terrak {

// Takes the module from the first of candidates that exists. When it cannot be used, reading an
// image throws a FileError that says why.
std::unique_ptr<ImageStretcher> MakeModuleImageStretcher(std::vector<std::string> candidates);

// The program's image module: beside the executable, in the installed module folder or in the
// build tree.
std::unique_ptr<ImageStretcher> MakeProgramImageStretcher();

}  // namespace terrak
