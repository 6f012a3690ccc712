#include "export/gdal/gdal_support.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>

#include <algorithm>
#include <cstdio>

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

GdalMemoryFolder::GdalMemoryFolder() {
  // The object's address keeps folders of simultaneous exports apart.
  char name[64];
  std::snprintf(name, sizeof name, "/vsimem/terrak-export-%p", static_cast<const void*>(this));
  path_ = name;
  VSIMkdir(path_.c_str(), 0700);
}

GdalMemoryFolder::~GdalMemoryFolder() { VSIRmdirRecursive(path_.c_str()); }

std::vector<MemoryFile> GdalMemoryFolder::Files() const {
  std::vector<MemoryFile> files;
  char** names = VSIReadDir(path_.c_str());
  for (char** n = names; n && *n; ++n) {
    MemoryFile file;
    file.Name = *n;
    vsi_l_offset length = 0;
    const GByte* data = VSIGetMemFileBuffer(Path(file.Name).c_str(), &length, FALSE);
    if (data) file.Bytes.assign(data, data + length);
    files.push_back(std::move(file));
  }
  CSLDestroy(names);
  std::sort(files.begin(), files.end(),
            [](const MemoryFile& a, const MemoryFile& b) { return a.Name < b.Name; });
  return files;
}

}  // namespace terrak
