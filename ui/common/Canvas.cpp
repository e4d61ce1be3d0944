#include "ui/common/Canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace trimlet {

namespace {

// Antialiasing is kept for ordinary drawings and dropped for very large ones, where it
// would cost more than it shows.
constexpr size_t kAntialiasLimit = 50000;

// One pre-drawn circle, stamped for every point: far cheaper than a painter call each.
QPixmap circleStamp(double radiusPx, const QColor& color, qreal ratio, bool antialias) {
  const int size = static_cast<int>(std::ceil(2 * radiusPx + 3));
  QPixmap stamp(QSize(size, size) * ratio);
  stamp.setDevicePixelRatio(ratio);
  stamp.fill(Qt::transparent);
  QPainter painter(&stamp);
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  QPen pen(color);
  pen.setCosmetic(true);
  painter.setPen(pen);
  painter.drawEllipse(QPointF(size / 2.0, size / 2.0), radiusPx, radiusPx);
  return stamp;
}

// Clips a line to a box around the widget (Liang-Barsky), so far-away or non-finite
// coordinates never reach the painter. False when nothing of the line is inside.
bool clipLine(QLineF& line, const QRectF& box) {
  const double dx = line.dx();
  const double dy = line.dy();
  double t0 = 0;
  double t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {line.x1() - box.left(), box.right() - line.x1(), line.y1() - box.top(),
                       box.bottom() - line.y1()};
  for (int k = 0; k < 4; ++k) {
    if (!std::isfinite(p[k]) || !std::isfinite(q[k])) return false;
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const QPointF start = line.p1();
  line = QLineF(start.x() + t0 * dx, start.y() + t0 * dy, start.x() + t1 * dx, start.y() + t1 * dy);
  return true;
}

}  // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setForegroundRole(QPalette::Text);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::setScale(double left, double top, double width, double height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  update();
}

void Canvas::setScaleLeft(double left) { setScale(left, top_, width_, height_); }
void Canvas::setScaleTop(double top) { setScale(left_, top, width_, height_); }
void Canvas::setScaleWidth(double width) { setScale(left_, top_, width, height_); }
void Canvas::setScaleHeight(double height) { setScale(left_, top_, width_, height); }

void Canvas::setDrawWidth(int pixels) { drawWidth_ = pixels; }

void Canvas::Cls() {
  primitives_.clear();
  requestPaint();
}

void Canvas::reserve(size_t more) { primitives_.reserve(primitives_.size() + more); }

void Canvas::requestPaint() {
  if (paintPending_) return;
  paintPending_ = true;
  update();
}

void Canvas::Line(double x1, double y1, double x2, double y2) {
  primitives_.push_back({Primitive::Kind::Line, x1, y1, x2, y2, 0, drawWidth_});
  requestPaint();
}

void Canvas::Circle(double x, double y, double radius) {
  primitives_.push_back({Primitive::Kind::Circle, x, y, 0, 0, radius, drawWidth_});
  requestPaint();
}

int Canvas::count(Primitive::Kind kind) const {
  return static_cast<int>(std::count_if(primitives_.begin(), primitives_.end(),
                                        [kind](const Primitive& p) { return p.kind == kind; }));
}

QSize Canvas::sizeHint() const { return {240, 200}; }
QSize Canvas::minimumSizeHint() const { return {40, 40}; }

void Canvas::paintEvent(QPaintEvent* event) {
  paintPending_ = false;
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().color(backgroundRole()));
  if (primitives_.empty() || width_ == 0 || height_ == 0) return;

  const double sx = width() / width_;
  const double sy = height() / height_;
  const auto mapX = [&](double x) { return (x - left_) * sx; };
  const auto mapY = [&](double y) { return (y - top_) * sy; };
  const QColor color = palette().color(foregroundRole());
  const bool antialias = primitives_.size() < kAntialiasLimit;
  const QRectF box = QRectF(rect()).adjusted(-64, -64, 64, 64);
  painter.setRenderHint(QPainter::Antialiasing, antialias);

  // Everything is drawn in one colour, so the order of drawing does not show: one pass over
  // the primitives stamps the circles and gathers the lines, which then go to the painter in
  // one batch per pen width.
  for (LineBatch& batch : lineBatches_) batch.lines.clear();
  const auto batchFor = [this](int width) -> std::vector<QLineF>& {
    for (LineBatch& batch : lineBatches_)
      if (batch.width == width) return batch.lines;
    lineBatches_.push_back({width, {}});
    return lineBatches_.back().lines;
  };
  QPixmap stamp;
  double stampRadius = -1;
  for (const Primitive& p : primitives_) {
    if (p.kind == Primitive::Kind::Line) {
      QLineF line(mapX(p.x1), mapY(p.y1), mapX(p.x2), mapY(p.y2));
      if (clipLine(line, box)) batchFor(p.width).push_back(line);
      continue;
    }
    const double radiusPx = std::fabs(p.radius * sx);  // round on screen
    const QPointF centre(mapX(p.x1), mapY(p.y1));
    if (!std::isfinite(radiusPx) ||
        !box.adjusted(-radiusPx, -radiusPx, radiusPx, radiusPx).contains(centre))
      continue;
    if (p.width == 1 && radiusPx <= 32) {
      if (radiusPx != stampRadius) {
        stamp = circleStamp(radiusPx, color, devicePixelRatioF(), antialias);
        stampRadius = radiusPx;
      }
      const double half = stamp.width() / stamp.devicePixelRatio() / 2.0;
      painter.drawPixmap(QPointF(centre.x() - half, centre.y() - half), stamp);
    } else {
      QPen pen(color, p.width);
      pen.setCosmetic(true);
      painter.setPen(pen);
      painter.drawEllipse(centre, radiusPx, radiusPx);
    }
  }
  for (const LineBatch& batch : lineBatches_) {
    if (batch.lines.empty()) continue;
    QPen pen(color, batch.width);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLines(batch.lines.data(), static_cast<int>(batch.lines.size()));
  }
}

}  // namespace trimlet
