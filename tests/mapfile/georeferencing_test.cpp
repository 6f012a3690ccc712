// Placements that cannot be real mean "not georeferenced" in every format that states one (OCAD's
// scale parameter string, Mapper's georeferencing), and a CRS of degrees is no CRS for a map
// placed in metres.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "mapfile/georeferencing.h"
#include "mapfile/mapper/mapper_map.h"
#include "mapfile/ocad9/scale_parameters.h"
#include "mapbuild/mapper_build.h"

namespace terrak {
namespace {

using namespace terrak::testing;

// (Offsets and angles at and beyond their other limits, and not finite:
// SetupGeoreferencing.FieldsThatHoldNoPlaceMeanNotGeoreferenced.)
TEST(Georeferencing, APlacementIsPlausibleWithinTheLimitsOnly) {
  EXPECT_TRUE(IsPlausiblePlacement(-1e8, 1e8, 0, 0.5) && IsPlausiblePlacement(0, 0, 0, 2));
  EXPECT_FALSE(IsPlausiblePlacement(-1.0000001e8, 0, 0) || IsPlausiblePlacement(0, 1.0000001e8, 0));
  for (double factor : {0.4999, 2.0001, std::numeric_limits<double>::quiet_NaN()})
    EXPECT_FALSE(IsPlausiblePlacement(0, 0, 0, factor)) << factor;
}

TEST(Georeferencing, GeographicEpsgCodesAreToldFromProjectedOnes) {
  for (int code : {4326, 4258, 4269, 4230, 4979, 3824, 7844, 4001})
    EXPECT_TRUE(IsGeographicEpsgCode(code)) << code;
  // Projected, geocentric and other codes, some in the middle of the geographic block.
  for (int code : {0, -4326, 3857, 4087, 4088, 4978, 25832, 32632, 32733, 3006, 2056, 4000})
    EXPECT_FALSE(IsGeographicEpsgCode(code)) << code;
}

// OCAD's grid codes and EPSG codes; placements that cannot be real are not georeferenced.
TEST(Georeferencing, ScaleParametersGiveTheCrsAndImplausiblePlacesNone) {
  const struct {
    const char* Text;
    bool Known;
    int Epsg;
    const char* Name;
  } cases[] = {
      {"\tm10000\tx1e308\ty5100000\ti2032", false, 0, ""},
      {"\tm10000\tx600000\ty-1e9\ti2032", false, 0, ""},
      {"\tm10000\tx600000\ty5100000\ta-720\ti2032", false, 0, ""},
      {"\tm10000\tx600000\ty5100000\ta-360\ti2032", true, 32632, "UTM 32N"},
      // An EPSG code of degrees with offsets in metres: placed, but in no CRS.
      {"\tm10000\tx600000\ty5100000\te4326", true, 0, ""},
      {"\tm10000\tx600000\ty5100000\te4258\ti2032", true, 0, ""},
      {"\tm10000\tx600000\ty5100000\te25832", true, 25832, "EPSG:25832"},
      {"\tm10000\ti13002\tx1\ty2", true, 3006, "EPSG:3006"},
      {"\tm10000\ti-2033\tx1", true, 32733, "UTM 33S"},
      {"\tm10000\tr1\te25832\ti2032", true, 25832, "EPSG:25832"},
      {"\tm10000\tr0\tx5\ty5\ti2032", false, 0, ""},  // real-world coordinates switched off
      {"\tm10000\ti1000", false, 0, ""},              // paper coordinates only
      {"\tm10000\tx12\ti4711", true, 0, "OCAD grid 4711"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const ocad9::ScaleParameters p = ocad9::ParseScaleParameters(c.Text);
    EXPECT_EQ(p.Scale, 10000.0);  // the map scale stays, whatever its placement
    EXPECT_EQ(std::tie(p.Georef.Known, p.Georef.EpsgCode, p.Georef.CrsName),
              std::tuple(c.Known, c.Epsg, c.Name));
  }
  // Fields that are not numbers are passed over; a zero or negative scale is no scale.
  EXPECT_FALSE(ocad9::ParseScaleParameters("\tmabc\ta\t\tx").Scale);
  EXPECT_FALSE(ocad9::ParseScaleParameters("\tm-5").Scale);
  EXPECT_FALSE(ocad9::ParseScaleParameters("m10000").Scale);  // the first field has no key
}

TEST(Georeferencing, MapperPlacementsThatCannotBeAPlaceAndCrssOfDegrees) {
  const auto georef = [](const std::string& attributes, const std::string& crs) {
    MapperMapBuilder b;
    b.Georeferencing(attributes, "<projected_crs id=\"EPSG\">" + crs +
                                     "<ref_point x=\"500000\" y=\"6000000\"/></projected_crs>");
    return mapper::MapperMap::Open(TextBytes(b.Build()))->Info().Georef;
  };
  const std::string utm = "<spec language=\"PROJ.4\">+init=epsg:25833</spec><parameter>25833</parameter>";
  // (A plausible one: MapperRead.GeoreferencingWithAPaperReferencePointAndAnEpsgCode.)
  EXPECT_FALSE(georef(" grid_scale_factor=\"3\"", utm).Known);
  EXPECT_FALSE(georef(" grivation=\"400\"", utm).Known);
  // The paper's reference point far off: the paper's origin lies beyond any projection.
  MapperMapBuilder far;
  far.Georeferencing("", "<ref_point x=\"1e12\" y=\"0\"/><projected_crs id=\"EPSG\">" + utm +
                             "<ref_point x=\"500000\" y=\"6000000\"/></projected_crs>");
  EXPECT_FALSE(mapper::MapperMap::Open(TextBytes(far.Build()))->Info().Georef.Known);

  // EPSG 4326 by its code and by its PROJ text: the place stays, the CRS goes.
  const Georeferencing degrees = georef(
      "", "<spec language=\"PROJ.4\">+proj=longlat +datum=WGS84</spec><parameter>4326</parameter>");
  EXPECT_TRUE(degrees.Known);
  EXPECT_EQ(std::tie(degrees.EpsgCode, degrees.CrsName, degrees.CrsDefinition),
            std::tuple(0, "", ""));
  MapperMapBuilder proj;
  proj.Georeferencing("", "<projected_crs id=\"PROJ.4\"><spec language=\"PROJ.4\">+proj=latlong "
                          "+ellps=GRS80</spec><ref_point x=\"5\" y=\"6\"/></projected_crs>");
  const Georeferencing byText = mapper::MapperMap::Open(TextBytes(proj.Build()))->Info().Georef;
  EXPECT_TRUE(byText.Known);
  EXPECT_EQ(byText.CrsDefinition, "");
}

}  // namespace
}  // namespace terrak
