#include "platform/qt/desktop_paths.h"

#include <QDir>
#include <QStandardPaths>

namespace terrak {

namespace {

std::string Folder(QStandardPaths::StandardLocation location, const QString& below) {
  QString path = QStandardPaths::writableLocation(location);
  if (!below.isEmpty()) path += QLatin1Char('/') + below;
  QDir().mkpath(path);
  return path.toStdString();
}

}  // namespace

SystemPaths DesktopSystemPaths(const std::string& samplesFolder) {
  SystemPaths paths;
  const QString own = QStringLiteral("terrak");
  paths.WorkingCopy = Folder(QStandardPaths::GenericDataLocation, own) + "/" + kWorkingCopyName;
  paths.SettingsFile = Folder(QStandardPaths::GenericConfigLocation, {}) + "/" + kSettingsFileName;
  paths.ExportFolder = Folder(QStandardPaths::HomeLocation, {});
  paths.CacheFolder = Folder(QStandardPaths::GenericCacheLocation, own);
  paths.SamplesFolder = samplesFolder;
  return paths;
}

}  // namespace terrak
