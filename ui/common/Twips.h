// Converting window measures given in twips (1/1440 inch) through the screen's logical DPI.
#pragma once

class QWidget;

namespace trimlet {

[[nodiscard]] int twipsToPixelsX(const QWidget* widget, double twips);
[[nodiscard]] int twipsToPixelsY(const QWidget* widget, double twips);
[[nodiscard]] double pixelsToTwipsX(const QWidget* widget, int pixels);
[[nodiscard]] double pixelsToTwipsY(const QWidget* widget, int pixels);

}  // namespace trimlet
