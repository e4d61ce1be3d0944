// A window that draws rows or columns of a table as lines of value against axis position.
#pragma once

#include <QDialog>
#include <QRect>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/table.h"
#include "core/table_edit.h"

class QPainter;

namespace trimlet {

class Comparison;
class ImageWatch;
class ViewFollower;

// Each line is drawn solid from the image's bytes and dashed from the reference image's, so what
// changed shows by the shape of the line, not by colour alone. It follows every change `watch`
// announces of its cells, and every new reference.
class GraphWindow : public QDialog {
  Q_OBJECT

 public:
  GraphWindow(const Comparison& comparison, const ImageWatch& watch, QWidget* parent);

  // Draws `lines` of `item`, which lies at `place`, in `units`.
  void plot(const ECU_Item& item, const TablePlace& place, const GraphLines& lines,
            const CellUnits& units);
  // Reads the lines' values again from the image and the reference.
  void refresh();

  struct Curve {
    QString name;                   // the row's or column's caption
    std::vector<double> now;        // one value an axis position; NaN where there is none
    std::vector<double> reference;  // the same cells in the reference image
  };
  [[nodiscard]] const std::vector<Curve>& curves() const { return curves_; }
  // The captions along the horizontal axis, one a position.
  [[nodiscard]] const QStringList& positions() const { return positions_; }

  [[nodiscard]] QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The values the curves span, a flat line widened to one either side.
  struct Range {
    double low;
    double high;
  };
  // Where the parts of the picture go in the window as it is now.
  struct Layout {
    int line = 0;        // a line of text's height
    QStringList levels;  // the values up the left side, lowest first
    int labels = 0;      // the widest of them
    QRect area;          // the graph itself
  };
  [[nodiscard]] std::optional<Range> valueRange() const;
  [[nodiscard]] Layout layOut(const Range& range) const;
  // The horizontal place of axis position `p` in the graph.
  [[nodiscard]] double positionX(const Layout& layout, int p) const;
  void paintKey(QPainter& painter) const;
  void paintLevels(QPainter& painter, const Layout& layout) const;
  void paintPositions(QPainter& painter, const Layout& layout) const;
  void paintCurves(QPainter& painter, const Layout& layout, const Range& range) const;

  const Comparison& comparison_;
  ViewFollower* follower_;
  const ECU_Item* item_ = nullptr;
  TablePlace place_;
  GraphLines lines_;
  CellUnits units_;
  std::vector<Curve> curves_;
  QStringList positions_;
  QString acrossTitle_;  // the horizontal axis's title
  QString linesTitle_;   // what names the lines
};

}  // namespace trimlet
