#pragma once
// Where the program keeps its files. The GUI fills this from the desktop's standard places, the
// command-line tool from the environment, tests from a fresh temporary folder; the core only
// reads it and never looks at environment variables itself.
#include <string>

namespace terrak {

struct SystemPaths {
  std::string WorkingCopy;    // the one fixed working copy "OCADCopy.tmp"
  std::string SettingsFile;   // "terrak50.ini"
  std::string ExportFolder;   // where "contoursxyz.csv" and "mapmatrix.csv" go
  std::string CacheFolder;    // where the temporary "stretched.bmp" goes
  std::string SamplesFolder;  // first folder of the Open dialog

  std::string PointsExportFile() const { return ExportFolder + "/contoursxyz.csv"; }
  std::string MatrixExportFile() const { return ExportFolder + "/mapmatrix.csv"; }
  std::string StretchedBitmapFile() const { return CacheFolder + "/stretched.bmp"; }
};

inline constexpr const char* kWorkingCopyName = "OCADCopy.tmp";
inline constexpr const char* kSettingsFileName = "terrak50.ini";

}  // namespace terrak
