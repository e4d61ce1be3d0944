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

// User coordinates to the widget's pixels, and the box around the widget beyond which
// nothing is painted: far-away or non-finite coordinates never reach the painter.
struct Mapping {
  double left, top, sx, sy;
  QRectF box;

  [[nodiscard]] QPointF operator()(double x, double y) const {
    return {(x - left) * sx, (y - top) * sy};
  }
};

// Draws circles in one colour, stamping the small thin ones from one pre-drawn image: far
// cheaper than a painter call each.
class CircleStamper {
 public:
  CircleStamper(QPainter& painter, const QColor& color, qreal ratio, bool antialias,
                const QRectF& box)
      : painter_(painter), color_(color), ratio_(ratio), antialias_(antialias), box_(box) {}

  void draw(const QPointF& centre, double radiusPx, int width) {
    if (!std::isfinite(radiusPx) ||
        !box_.adjusted(-radiusPx, -radiusPx, radiusPx, radiusPx).contains(centre))
      return;
    if (width == 1 && radiusPx <= 32) {
      if (radiusPx != stampRadius_) makeStamp(radiusPx);
      painter_.drawPixmap(QPointF(centre.x() - half_, centre.y() - half_), stamp_);
    } else {
      QPen pen(color_, width);
      pen.setCosmetic(true);
      painter_.setPen(pen);
      painter_.drawEllipse(centre, radiusPx, radiusPx);
    }
  }

 private:
  void makeStamp(double radiusPx) {
    const int size = static_cast<int>(std::ceil(2 * radiusPx + 3));
    stamp_ = QPixmap(QSize(size, size) * ratio_);
    stamp_.setDevicePixelRatio(ratio_);
    stamp_.fill(Qt::transparent);
    QPainter painter(&stamp_);
    painter.setRenderHint(QPainter::Antialiasing, antialias_);
    QPen pen(color_);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawEllipse(QPointF(size / 2.0, size / 2.0), radiusPx, radiusPx);
    stampRadius_ = radiusPx;
    half_ = size / 2.0;
  }

  QPainter& painter_;
  QColor color_;
  qreal ratio_;
  bool antialias_;
  QRectF box_;
  QPixmap stamp_;
  double stampRadius_ = -1;
  double half_ = 0;
};

// Clips a line to the box (Liang-Barsky). False when nothing of the line is inside.
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

QPen linePen(const QColor& color, int width) {
  QPen pen(color, width);
  pen.setCosmetic(true);
  return pen;
}

}  // namespace

struct Canvas::PaintBuffers {
  std::vector<QPointF> mapped;                             // a mesh's points in pixels
  std::vector<QPointF> column;                             // one column of them
  std::vector<std::pair<int, std::vector<QLineF>>> lines;  // by pen width
};

namespace {

// One paint of a canvas. Everything is drawn in one colour, so the order of drawing does not
// show: circles are stamped as they come and lines are gathered into one batch per pen width.
class Paint {
 public:
  Paint(QPainter& painter, const Mapping& map, const QColor& color, bool antialias, qreal ratio,
        Canvas::PaintBuffers& buffers)
      : painter_(painter),
        map_(map),
        color_(color),
        circles_(painter, color, ratio, antialias, map.box),
        buffers_(buffers) {
    for (auto& [width, lines] : buffers_.lines) lines.clear();
  }

  void primitive(const Canvas::Primitive& p) {
    if (p.kind == Canvas::Primitive::Kind::Circle) {
      circles_.draw(map_(p.x1, p.y1), std::fabs(p.radius * map_.sx), p.width);  // round on screen
    } else {
      line(QLineF(map_(p.x1, p.y1), map_(p.x2, p.y2)), p.width);
    }
  }

  // Each point is mapped once. A mesh wholly inside the box goes to the painter as one polyline
  // per row and per column; others line by line, clipped.
  void mesh(const Canvas::PointMesh& mesh) {
    std::vector<QPointF>& mapped = buffers_.mapped;
    mapped.resize(mesh.points.size());
    bool inside = true;
    for (size_t i = 0; i < mesh.points.size(); ++i) {
      mapped[i] = map_(mesh.points[i].x(), mesh.points[i].y());
      inside = inside && map_.box.contains(mapped[i]);
    }
    const double radiusPx = std::fabs(mesh.radius * map_.sx);
    for (const QPointF& point : mapped) circles_.draw(point, radiusPx, mesh.width);
    const auto at = [&](int c, int r) -> const QPointF& {
      return mapped[static_cast<size_t>(r) * static_cast<size_t>(mesh.cols) +
                    static_cast<size_t>(c)];
    };
    if (!inside) {
      for (int r = 0; r < mesh.rows(); ++r) {
        for (int c = 0; c < mesh.cols; ++c) {
          if (c > 0) line(QLineF(at(c, r), at(c - 1, r)), mesh.width);
          if (r > 0) line(QLineF(at(c, r), at(c, r - 1)), mesh.width);
        }
      }
      return;
    }
    painter_.setPen(linePen(color_, mesh.width));
    for (int r = 0; r < mesh.rows(); ++r) painter_.drawPolyline(&at(0, r), mesh.cols);
    for (int c = 0; c < mesh.cols && mesh.rows() > 1; ++c) {
      buffers_.column.clear();
      for (int r = 0; r < mesh.rows(); ++r) buffers_.column.push_back(at(c, r));
      painter_.drawPolyline(buffers_.column.data(), static_cast<int>(buffers_.column.size()));
    }
  }

  void drawLines() {
    for (const auto& [width, lines] : buffers_.lines) {
      if (lines.empty()) continue;
      painter_.setPen(linePen(color_, width));
      painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
  }

 private:
  void line(QLineF line, int width) {
    if (!clipLine(line, map_.box)) return;
    for (auto& [batchWidth, lines] : buffers_.lines) {
      if (batchWidth == width) {
        lines.push_back(line);
        return;
      }
    }
    buffers_.lines.push_back({width, {line}});
  }

  QPainter& painter_;
  const Mapping& map_;
  QColor color_;
  CircleStamper circles_;
  Canvas::PaintBuffers& buffers_;
};

}  // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent), buffers_(std::make_unique<PaintBuffers>()) {
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
  meshes_.clear();
  requestPaint();
}

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

void Canvas::Mesh(std::vector<QPointF> points, int cols, double radius) {
  if (cols <= 0 || points.empty()) return;
  points.resize(points.size() / static_cast<size_t>(cols) * static_cast<size_t>(cols));
  meshes_.push_back({std::move(points), cols, radius, drawWidth_});
  requestPaint();
}

int Canvas::count(Primitive::Kind kind) const {
  int n = static_cast<int>(std::count_if(primitives_.begin(), primitives_.end(),
                                         [kind](const Primitive& p) { return p.kind == kind; }));
  for (const PointMesh& mesh : meshes_)
    n += kind == Primitive::Kind::Circle ? static_cast<int>(mesh.points.size()) : mesh.lines();
  return n;
}

Canvas::~Canvas() = default;

QSize Canvas::sizeHint() const { return {240, 200}; }
QSize Canvas::minimumSizeHint() const { return {40, 40}; }

void Canvas::paintEvent(QPaintEvent* event) {
  paintPending_ = false;
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().color(backgroundRole()));
  if ((primitives_.empty() && meshes_.empty()) || width_ == 0 || height_ == 0) return;

  const Mapping map{left_, top_, width() / width_, height() / height_,
                    QRectF(rect()).adjusted(-64, -64, 64, 64)};
  size_t shapes = primitives_.size();
  for (const PointMesh& mesh : meshes_) shapes += mesh.points.size() * 3;
  const bool antialias = shapes < kAntialiasLimit;
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  Paint paint(painter, map, palette().color(foregroundRole()), antialias, devicePixelRatioF(),
              *buffers_);
  for (const Primitive& p : primitives_) paint.primitive(p);
  for (const PointMesh& mesh : meshes_) paint.mesh(mesh);
  paint.drawLines();
}

}  // namespace trimlet
