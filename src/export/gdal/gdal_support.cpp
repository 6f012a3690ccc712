#include "export/gdal/gdal_support.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "export/export_error.h"

namespace terrak {
namespace {

void CPL_STDCALL KeepMessage(CPLErr level, CPLErrorNum, const char* message) {
  auto* messages = static_cast<GdalMessages*>(CPLGetErrorHandlerUserData());
  if (messages && level >= CE_Warning) messages->Add(level >= CE_Failure, message);
}

}  // namespace

void EnsureGdalDrivers() {
  if (GDALGetDriverCount() == 0) GDALAllRegister();
}

GdalMessages::GdalMessages() { CPLPushErrorHandlerEx(KeepMessage, this); }

GdalMessages::~GdalMessages() { CPLPopErrorHandler(); }

void GdalMessages::Add(bool failure, const char* message) {
  const std::string text = message ? message : "";
  if (failure)
    lastError_ = text;
  else
    warnings_.push_back(text);
}

GdalWorkFolder::GdalWorkFolder(const std::string& diskParent) {
  if (diskParent.empty()) {
    // The object's address keeps folders of simultaneous exports apart.
    char name[64];
    std::snprintf(name, sizeof name, "/vsimem/terrak-export-%p", static_cast<const void*>(this));
    path_ = name;
    VSIMkdir(path_.c_str(), 0700);
    return;
  }
  std::string pattern = diskParent + "/.terrak-dem-XXXXXX";
  if (!::mkdtemp(pattern.data()))
    throw ExportError("No folder for the DEM's temporary file could be made in " + diskParent +
                      ": " + std::strerror(errno));
  path_ = pattern;
}

GdalWorkFolder::~GdalWorkFolder() { VSIRmdirRecursive(path_.c_str()); }

std::vector<MemoryFile> GdalWorkFolder::Files() const {
  std::vector<MemoryFile> files;
  char** names = VSIReadDir(path_.c_str());
  for (char** n = names; n && *n; ++n) {
    MemoryFile file;
    file.Name = *n;
    if (file.Name == "." || file.Name == "..") continue;
    const std::string path = Path(file.Name);
    VSIStatBufL stat;
    VSILFILE* handle = VSIStatL(path.c_str(), &stat) == 0 && VSI_ISREG(stat.st_mode)
                           ? VSIFOpenL(path.c_str(), "rb")
                           : nullptr;
    if (!handle) continue;
    file.Bytes.resize(static_cast<std::size_t>(stat.st_size));
    const std::size_t read = VSIFReadL(file.Bytes.data(), 1, file.Bytes.size(), handle);
    VSIFCloseL(handle);
    if (read != file.Bytes.size()) {
      CSLDestroy(names);
      throw ExportError("GDAL's file " + file.Name + " could not be read back");
    }
    files.push_back(std::move(file));
  }
  CSLDestroy(names);
  std::sort(files.begin(), files.end(),
            [](const MemoryFile& a, const MemoryFile& b) { return a.Name < b.Name; });
  return files;
}

}  // namespace terrak
