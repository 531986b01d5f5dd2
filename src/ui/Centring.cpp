// Where a dialog goes when it opens.
#include "ui/Centring.h"

namespace tc {

namespace {

int PlaceOnAxis(int size, int referenceStart, int referenceSize, int areaStart, int areaSize) {
  int start = referenceStart + (referenceSize - size) / 2;
  if (start + size > areaStart + areaSize) start = areaStart + areaSize - size;
  // Checked last, so that a dialog larger than the work area keeps its caption and left edge on screen.
  if (start < areaStart) start = areaStart;
  return start;
}

}  // namespace

Point CentredPosition(const Rect& dialog, const std::optional<Rect>& reference, const Rect& workArea) {
  const Rect& centre = reference ? *reference : workArea;
  return Point{PlaceOnAxis(dialog.width, centre.x, centre.width, workArea.x, workArea.width),
               PlaceOnAxis(dialog.height, centre.y, centre.height, workArea.y, workArea.height)};
}

}  // namespace tc
