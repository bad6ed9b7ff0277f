// Built against an installed copy of the library, through CMake and through pkg-config.
#include "kvrchart.h"

int main(int argc, char** argv) {
  kvr::TBitmap bmp(40, 30);
  bmp.Canvas()->Brush()->SetColor(kvr::clRed);
  bmp.Canvas()->Rectangle(5, 5, 35, 25);
  bmp.Canvas()->TextOut(8, 8, "ok");
  if (argc > 1) bmp.SaveToFile(argv[1]);
  // Braced points reach the plain overload.
  if (kvr::DistanceToSegment({1, 2}, {0, 0}, {3, 0}) != 2.0) return 2;
  return bmp.Canvas()->Pixels(20, 20) == kvr::clRed ? 0 : 1;
}
