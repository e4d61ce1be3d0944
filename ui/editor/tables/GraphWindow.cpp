#include "ui/editor/tables/GraphWindow.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/compare.h"
#include "core/image.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/ViewFollower.h"

namespace trimlet {

namespace {

// Colours told apart also by most colour-blind eyes; lines past the last take them again.
const QColor kLineColours[] = {QColor(0x00, 0x72, 0xB2), QColor(0xD5, 0x5E, 0x00),
                               QColor(0x00, 0x9E, 0x73), QColor(0xCC, 0x79, 0xA7),
                               QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9)};
constexpr int kShownNames = 8;  // names in the key; more lines are counted
constexpr int kMargin = 12;
constexpr int kLevels = 5;

QString caption(std::string_view text, const QString& fallback) {
  const QString trimmed =
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
  return trimmed.isEmpty() ? fallback : trimmed;
}

// The values as a path through the points that have one, in graph coordinates.
QPainterPath path(const std::vector<double>& values) {
  QPainterPath line;
  bool drawing = false;
  for (size_t x = 0; x < values.size(); ++x) {
    if (!std::isfinite(values[x])) {
      drawing = false;
    } else if (drawing) {
      line.lineTo(static_cast<double>(x), values[x]);
    } else {
      line.moveTo(static_cast<double>(x), values[x]);
      drawing = true;
    }
  }
  return line;
}

}  // namespace

GraphWindow::GraphWindow(const Comparison& comparison, const ImageWatch& watch, QWidget* parent)
    : QDialog(parent),
      comparison_(comparison),
      follower_(new ViewFollower(
          this, watch,
          [this](const ImageChange& change) {
            return item_ != nullptr && change.touches(place_.first, place_.cols * place_.rows);
          },
          [this] { refresh(); })) {
  setObjectName("frmGraph");
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(&watch, &ImageWatch::referenceChanged, this, &GraphWindow::refresh);
}

void GraphWindow::plot(const ECU_Item& item, const TablePlace& place, const GraphLines& lines,
                       const CellUnits& units) {
  item_ = &item;
  place_ = place;
  lines_ = lines;
  units_ = units;
  // Lines along the rows run across the columns' axis, and the other way round.
  acrossTitle_ = QString::fromStdString(lines.rows ? item.Xlabel : item.Ylabel);
  linesTitle_ = QString::fromStdString(lines.rows ? item.Ylabel : item.Xlabel);
  setWindowTitle(QString::fromStdString(item.Name) + (units.raw ? " (raw values)" : ""));
  positions_.clear();
  const int count = lines.rows ? place.cols : place.rows;
  for (int p = 0; p < count; ++p)
    positions_ << caption(lines.rows ? columnCaption(item, p) : rowCaption(item, p),
                          QString::number(p));
  refresh();
}

void GraphWindow::refresh() {
  follower_->caughtUp();
  curves_.clear();
  if (item_ == nullptr) return;
  const double none = std::numeric_limits<double>::quiet_NaN();
  for (int l = lines_.first; l <= lines_.last; ++l) {
    Curve curve;
    curve.name = lines_.rows ? caption(rowCaption(*item_, l), QString("Row %1").arg(l))
                             : caption(columnCaption(*item_, l), QString("Column %1").arg(l));
    for (int p = 0; p < static_cast<int>(positions_.size()); ++p) {
      const int record = lines_.rows ? place_.record(p, l) : place_.record(l, p);
      const std::optional<int> now = imageByte(record);
      const std::optional<int> reference = comparison_.referenceByte(record);
      curve.now.push_back(now ? units_.shown(*now) : none);
      curve.reference.push_back(reference ? units_.shown(*reference) : none);
    }
    curves_.push_back(std::move(curve));
  }
  update();
}

QSize GraphWindow::sizeHint() const { return {640, 420}; }

std::optional<GraphWindow::Range> GraphWindow::valueRange() const {
  Range range{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (const Curve& curve : curves_)
    for (const auto* values : {&curve.now, &curve.reference})
      for (const double v : *values)
        if (std::isfinite(v)) {
          range.low = std::min(range.low, v);
          range.high = std::max(range.high, v);
        }
  if (!(range.low <= range.high)) return std::nullopt;
  if (range.low == range.high) {  // a flat line runs across the middle
    range.low -= 1;
    range.high += 1;
  }
  return range;
}

GraphWindow::Layout GraphWindow::layOut(const Range& range) const {
  const QFontMetrics metrics = fontMetrics();
  Layout layout;
  layout.line = metrics.height();
  for (int k = 0; k < kLevels; ++k) {
    layout.levels << QString::number(range.low + (range.high - range.low) * k / (kLevels - 1), 'g',
                                     5);
    layout.labels = std::max(layout.labels, metrics.horizontalAdvance(layout.levels.back()));
  }
  const int left = kMargin + layout.labels + 6;
  layout.area = QRect(left, kMargin + 3 * layout.line, width() - left - 2 * kMargin,
                      height() - 6 * layout.line - 2 * kMargin);
  return layout;
}

double GraphWindow::positionX(const Layout& layout, int p) const {
  const int count = static_cast<int>(positions_.size());
  const double span = std::max(count - 1, 1);
  return layout.area.left() + layout.area.width() * (count > 1 ? p / span : 0.5);
}

void GraphWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  painter.setPen(palette().color(QPalette::Text));
  const std::optional<Range> range = valueRange();
  if (!range) {
    painter.drawText(rect(), Qt::AlignCenter, "No values to draw");
    return;
  }
  paintKey(painter);
  const Layout layout = layOut(*range);
  if (layout.area.width() < 10 || layout.area.height() < 10) return;
  paintLevels(painter, layout);
  paintPositions(painter, layout);
  paintCurves(painter, layout, *range);
}

// What the lines are, each line's colour and name, what solid and dashed mean.
void GraphWindow::paintKey(QPainter& painter) const {
  const QFontMetrics metrics = fontMetrics();
  const int line = metrics.height();
  int x = kMargin;
  if (!linesTitle_.isEmpty()) {
    painter.drawText(x, kMargin + metrics.ascent(), linesTitle_ + ":");
    x += 12 + metrics.horizontalAdvance(linesTitle_ + ":");
  }
  for (size_t i = 0; i < curves_.size() && i < kShownNames; ++i) {
    painter.setPen(QPen(kLineColours[i % std::size(kLineColours)], 2));
    painter.drawLine(x, kMargin + line / 2, x + 16, kMargin + line / 2);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(x + 20, kMargin + metrics.ascent(), curves_[i].name);
    x += 28 + metrics.horizontalAdvance(curves_[i].name);
  }
  if (curves_.size() > kShownNames)
    painter.drawText(x, kMargin + metrics.ascent(),
                     QString("and %1 more").arg(curves_.size() - kShownNames));
  painter.drawText(QRect(kMargin, kMargin + line, width() - 2 * kMargin, line), Qt::AlignLeft,
                   "Solid: the image now. Dashed: the reference.");
}

// The levels up the left side, each with a faint line across, the frame and the axis's title.
void GraphWindow::paintLevels(QPainter& painter, const Layout& layout) const {
  const QRect& area = layout.area;
  for (int k = 0; k < kLevels; ++k) {
    const int y = area.bottom() - area.height() * k / (kLevels - 1);
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(area.left(), y, area.right(), y);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(kMargin, y - layout.line / 2, layout.labels, layout.line),
                     Qt::AlignRight, layout.levels[k]);
  }
  painter.drawRect(area);
  painter.drawText(QRect(area.left(), area.bottom() + 6 + layout.line, area.width(), layout.line),
                   Qt::AlignHCenter, acrossTitle_);
}

// Captions along the bottom, as many as fit side by side.
void GraphWindow::paintPositions(QPainter& painter, const Layout& layout) const {
  const QFontMetrics metrics = fontMetrics();
  const QRect& area = layout.area;
  const int count = static_cast<int>(positions_.size());
  int widest = 0;
  for (const QString& text : positions_) widest = std::max(widest, metrics.horizontalAdvance(text));
  const int every =
      std::max(1, static_cast<int>(std::ceil(double(widest + 8) * count / area.width())));
  for (int p = 0; p < count; p += every) {
    const int centre = static_cast<int>(positionX(layout, p));
    painter.drawLine(centre, area.bottom(), centre, area.bottom() + 4);
    painter.drawText(QRect(centre - widest, area.bottom() + 6, 2 * widest, layout.line),
                     Qt::AlignHCenter, positions_[p]);
  }
}

// The lines in graph coordinates, mapped once; cosmetic pens keep their width in pixels.
void GraphWindow::paintCurves(QPainter& painter, const Layout& layout, const Range& range) const {
  const QRect& area = layout.area;
  const int count = static_cast<int>(positions_.size());
  QTransform toArea;
  toArea.translate(positionX(layout, 0), area.bottom());
  toArea.scale(count > 1 ? area.width() / double(count - 1) : 1,
               -area.height() / (range.high - range.low));
  toArea.translate(0, -range.low);
  painter.setClipRect(area.adjusted(-2, -2, 2, 2));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setTransform(toArea);
  for (size_t i = 0; i < curves_.size(); ++i) {
    const QColor& colour = kLineColours[i % std::size(kLineColours)];
    QPen dashed(colour, 1, Qt::DashLine);
    dashed.setCosmetic(true);
    painter.setPen(dashed);
    painter.drawPath(path(curves_[i].reference));
    QPen solid(colour, 2);
    solid.setCosmetic(true);
    painter.setPen(solid);
    painter.drawPath(path(curves_[i].now));
    if (count == 1 && std::isfinite(curves_[i].now.front()))
      painter.drawPoint(QPointF(0, curves_[i].now.front()));
  }
}

}  // namespace trimlet
