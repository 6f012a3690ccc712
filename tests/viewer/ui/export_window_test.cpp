// The Export menu's two windows under the offscreen platform: the options step and the
// progress window with its Cancel button.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "viewer/ui/exportoptions.h"
#include "viewer/ui/exportprogress.h"

namespace terrak {
namespace {

TEST(ExportOptionsForm, EachKindShowsItsFieldsWithTheirRangesAndGivesBackWhatIsSet) {
  const ExportChoices start{
      .DemFormat = "AAIGrid", .Interval = 7, .Exaggeration = 1.5, .PrintWidthMm = 180, .BaseMm = 4};

  TExportOptionsForm dem(ExportKind::Dem, start);
  EXPECT_EQ(dem.windowTitle().toStdString(), "Terrain as DEM");
  ASSERT_NE(dem.Format(), nullptr);
  EXPECT_EQ(dem.Interval(), nullptr);
  EXPECT_EQ(dem.Format()->itemData(0).toString().toStdString(), "GTiff");
  EXPECT_EQ(dem.Format()->currentData().toString().toStdString(), "AAIGrid");
  dem.Format()->setCurrentIndex(dem.Format()->findData(QStringLiteral("XYZ")));
  EXPECT_EQ(dem.Choices().DemFormat, "XYZ");
  EXPECT_EQ(dem.Choices().Interval, 7);  // what the form does not show stays

  TExportOptionsForm glb(ExportKind::Glb, start);
  EXPECT_EQ(std::tuple(glb.Format(), glb.PrintWidth()), std::tuple(nullptr, nullptr));
  ASSERT_NE(glb.Interval(), nullptr);
  EXPECT_EQ(glb.Interval()->value(), 7);
  EXPECT_DOUBLE_EQ(glb.Exaggeration()->value(), 1.5);

  TExportOptionsForm stl(ExportKind::Stl, start);
  ASSERT_NE(stl.PrintWidth(), nullptr);
  ASSERT_NE(stl.Base(), nullptr);
  EXPECT_DOUBLE_EQ(stl.PrintWidth()->value(), 180);
  stl.Interval()->setValue(2);
  stl.Exaggeration()->setValue(3);
  stl.PrintWidth()->setValue(5000);  // beyond the range: held at its end
  stl.Base()->setValue(2.5);
  const ExportChoices c = stl.Choices();
  EXPECT_EQ(c.Interval, 2);
  EXPECT_DOUBLE_EQ(c.Exaggeration, 3);
  EXPECT_DOUBLE_EQ(c.PrintWidthMm, kPrintWidthRange.Max);
  EXPECT_DOUBLE_EQ(c.BaseMm, 2.5);
}

TEST(ExportProgressForm, ShowsTheFractionAndCancelStopsTheNextReport) {
  auto form = std::make_unique<TExportProgressForm>(QStringLiteral("Exporting the DEM"), nullptr);
  QProgressDialog* dialog = form->Dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Exporting the DEM");
  EXPECT_TRUE(form->Report(0.25));
  EXPECT_EQ(dialog->value(), 250);
  EXPECT_TRUE(form->Report(1.0));

  // The press arrives while the export reports its next step.
  QTimer::singleShot(0, dialog, [dialog] {
    QPushButton* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
  });
  EXPECT_FALSE(form->Report(0.5));
  QPointer<QProgressDialog> watch(dialog);
  form.reset();
  EXPECT_TRUE(watch.isNull());
}

}  // namespace
}  // namespace terrak
