// The main window's painted background: yellow is see-through and shapes the
// window around the controls.
#include <gtest/gtest.h>

#include "app/main_artwork.h"
#include "app_test_support.h"

namespace tamlo {
namespace {

TEST(MainArtworkTest, YellowIsSeeThrough_EverythingElseShapesTheWindow) {
  const QImage picture = PaintMainBackground();
  ASSERT_EQ(picture.size(), QSize(957, 534));
  const QRegion shape = ShapeFromArtwork(picture);
  for (const QPoint corner : {QPoint(0, 0), QPoint(956, 0), QPoint(0, 533), QPoint(956, 533)}) {
    EXPECT_EQ(picture.pixel(corner), kTransparentColour);
    EXPECT_FALSE(shape.contains(corner));
  }
  // The controls' corners all lie on the window.
  for (const QPoint inside : {QPoint(21, 12), QPoint(21, 244), QPoint(18, 488), QPoint(940, 34), QPoint(953, 514)}) {
    EXPECT_NE(picture.pixel(inside), kTransparentColour);
    EXPECT_TRUE(shape.contains(inside));
  }
}

}  // namespace
}  // namespace tamlo
