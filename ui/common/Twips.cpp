#include "ui/common/Twips.h"

#include <QWidget>
#include <cmath>

namespace trimlet {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

int twipsToPixelsX(const QWidget* widget, double twips) {
  return static_cast<int>(std::lround(twips * widget->logicalDpiX() / kTwipsPerInch));
}

int twipsToPixelsY(const QWidget* widget, double twips) {
  return static_cast<int>(std::lround(twips * widget->logicalDpiY() / kTwipsPerInch));
}

double pixelsToTwipsX(const QWidget* widget, int pixels) {
  return pixels * kTwipsPerInch / widget->logicalDpiX();
}

double pixelsToTwipsY(const QWidget* widget, int pixels) {
  return pixels * kTwipsPerInch / widget->logicalDpiY();
}

}  // namespace trimlet
