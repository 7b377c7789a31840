// Where the window puts the picture (the largest whole scale that fits,
// centred) and how it reads the desktop's own scale.
#include "platform/Window.h"

#include <gtest/gtest.h>

namespace {

using Platform::DesktopScaleFrom;
using Platform::PlacePicture;

void ExpectPlaced(int areaW, int areaH, int scale, int x, int y) {
  const Platform::Placement at = PlacePicture(areaW, areaH, 555, 600);
  EXPECT_EQ(at.scale, scale) << areaW << " x " << areaH;
  EXPECT_EQ(at.x, x) << areaW << " x " << areaH;
  EXPECT_EQ(at.y, y) << areaW << " x " << areaH;
}

TEST(PlacePictureTest, TheLargestWholeScaleThatFitsBothWaysCentred) {
  ExpectPlaced(555, 600, 1, 0, 0);
  ExpectPlaced(1665, 1800, 3, 0, 0);
  ExpectPlaced(1109, 1200, 1, 277, 300);  // one pixel short of scale 2
  ExpectPlaced(1500, 1700, 2, 195, 250);  // between scales 2 and 3
  ExpectPlaced(2000, 2000, 3, 167, 100);  // a full screen, odd margins rounded down
  ExpectPlaced(3840, 1200, 2, 1365, 0);   // the height decides
}

TEST(PlacePictureTest, AnAreaSmallerThanThePictureKeepsToItsTopLeftCorner) {
  ExpectPlaced(300, 900, 1, 0, 150);
  ExpectPlaced(100, 100, 1, 0, 0);
  const Platform::Placement none = PlacePicture(555, 600, 0, 0);
  EXPECT_EQ(none.scale, 1);
}

TEST(DesktopScaleTest, GdkScaleWhenWholeAndTwoOrMoreElseXftDpi) {
  EXPECT_EQ(DesktopScaleFrom("2", nullptr), 2u);
  EXPECT_EQ(DesktopScaleFrom("3", "Xft.dpi:\t96\n"), 3u);  // GDK_SCALE first
  EXPECT_EQ(DesktopScaleFrom(nullptr, nullptr), 1u);
  // Not whole, or below 2: the X resource decides.
  for (const char* gdk : {"1", "0", "", "2.5", "2x", "-2", " 2", "99999"})
    EXPECT_EQ(DesktopScaleFrom(gdk, "Xft.dpi:\t192\n"), 2u) << '"' << gdk << '"';
}

TEST(DesktopScaleTest, XftDpiOverNinetySixRoundedDown) {
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xft.antialias:\t1\nXft.dpi:\t288\nXft.hinting:\t1\n"), 3u);
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xft.dpi: 287.9"), 2u);  // last line, no newline
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xft.dpi:\t191\n"), 1u);
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xft.dpi:\t144\n"), 1u);  // 1.5 is no whole scale
  // Only that resource, at the start of its line.
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xcursor.dpi:\t192\nXft.dpix:\t192\n"), 1u);
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xft.dpi:\tlarge\n"), 1u);
}

}  // namespace
