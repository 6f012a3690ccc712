// The real main window with the real Mapper map beside the project: the height tag asked in the
// real dialog, the contours selected and drawn, a contour traced with the mouse and given a
// height, Save, and "3D-Views" at once.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "mainwindow/ui/heighttag.h"
#include "mainwindow/ui/window_under_test.h"
#include "mapfile/format_of_map.h"
#include "mapfile/mapper/mapper_map.h"
#include "support/outside_data.h"

namespace terrak {
namespace {

TEST(RealMapWindow, OpenChooseTheTagTraceGiveAHeightSaveAndFly) {
  const std::string realMap = testing::RealMapperMap();
  TERRAK_SKIP_WITHOUT_FILE(realMap);
  testing::WindowUnderTest w;
  AppState& app = w.App;
  const std::string map = w.Folder.File("mas-nau.omap");
  std::filesystem::copy_file(realMap, map);
  std::filesystem::permissions(map, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  int viewers = 0;
  w.Form->OpenViewerHook = [&](const ViewerRequest&) { return ++viewers, false; };

  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<THeightTagForm*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    ASSERT_GT(dialog->taglistbox()->count(), 0);
    EXPECT_EQ(dialog->taglistbox()->item(0)->text().toStdString(), "f321610 (103 objects)");
    dialog->taglistbox()->setCurrentRow(0);
    dialog->accept();
  });
  w.Open(map);
  ASSERT_TRUE(app.Model.Format);
  ASSERT_NE(HeightTagsOf(app.Model), nullptr);
  EXPECT_EQ(HeightTagsOf(app.Model)->HeightTag(), "f321610");
  ASSERT_EQ(app.Model.SelectedSymbols.size(), 2u);
  ASSERT_EQ(app.Model.MapObjects.size(), 103u);

  // The contours are drawn on the window.
  QApplication::processEvents();
  const QImage& picture = w.Picture();
  int drawn = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) drawn += picture.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_GT(drawn, 1000);

  // A click on a contour traces it; Ins gives the traced objects 312.5 m.
  const std::optional<QPoint> press =
      testing::PressPointOnALine(app, Rect{10, 10, picture.width() - 10, picture.height() - 40});
  ASSERT_TRUE(press);
  QTest::mouseClick(w.Form->Surface(), Qt::LeftButton, Qt::NoModifier, *press);
  ASSERT_TRUE(app.Window.TraceExists);
  const TracedObjectList traced = app.Window.TracedObjects;
  w.Dialogs.InputAnswers = {"312.5"};
  w.Trigger(MenuItem::Elevations);
  w.Trigger(MenuItem::Savemap);

  auto saved = mapper::MapperMap::Open(testing::ReadBytes(map));
  auto original = mapper::MapperMap::Open(testing::ReadBytes(realMap));
  saved->SetHeightTag("f321610");
  original->SetHeightTag("f321610");
  const auto contours = [](std::int32_t s) { return s == 101000 || s == 102000; };
  const ObjectsRead after = saved->ReadObjects(contours);
  const ObjectsRead before = original->ReadObjects(contours);
  ASSERT_EQ(after.Objects.size(), before.Objects.size());
  for (std::size_t i = 0; i < after.Objects.size(); ++i) {
    const bool wasTraced = std::find(traced.begin(), traced.end(), static_cast<std::int32_t>(i)) !=
                           traced.end();
    EXPECT_EQ(after.Objects[i].HeightTenths, wasTraced ? 3125 : before.Objects[i].HeightTenths)
        << i;
    EXPECT_EQ(after.Objects[i].Points, before.Objects[i].Points);
  }

  // Every contour carries a height: "3D-Views" goes to the viewer at once.
  w.Trigger(MenuItem::N3DViews1);
  EXPECT_EQ(viewers, 1);
}

}  // namespace
}  // namespace terrak
