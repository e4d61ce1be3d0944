// A picture box: draws lines, circles and meshes of points in a user coordinate system and
// keeps them.
#pragma once

#include <QPointF>
#include <QWidget>
#include <memory>
#include <vector>

namespace trimlet {

// Everything drawn since the last Cls is kept in user coordinates and painted through one
// mapping, so the drawing survives being covered and resized.
class Canvas : public QWidget {
  Q_OBJECT

 public:
  struct Primitive {
    enum class Kind { Line, Circle };
    Kind kind = Kind::Line;
    double x1 = 0, y1 = 0;  // line start, or circle centre
    double x2 = 0, y2 = 0;  // line end
    double radius = 0;      // circles: in horizontal user units
    int width = 1;          // pen width in pixels
  };

  // Points row after row, each drawn as a circle and joined by a line to the point before it in
  // its row and to the point in the same column of the row before. Kept as one block of points:
  // a large mesh holds hundreds of thousands of them.
  struct PointMesh {
    std::vector<QPointF> points;
    int cols = 0;
    double radius = 0;
    int width = 1;

    [[nodiscard]] int rows() const { return cols > 0 ? static_cast<int>(points.size()) / cols : 0; }
    [[nodiscard]] int lines() const { return rows() * (cols - 1) + (rows() - 1) * cols; }
  };

  // What painting keeps between paints, so a large drawing does not allocate on every paint.
  struct PaintBuffers;

  explicit Canvas(QWidget* parent = nullptr);
  ~Canvas() override;

  // User coordinates: the left edge is x = left, the top edge y = top; y grows downward.
  void setScale(double left, double top, double width, double height);
  void setScaleLeft(double left);
  void setScaleTop(double top);
  void setScaleWidth(double width);
  void setScaleHeight(double height);
  [[nodiscard]] double scaleLeft() const { return left_; }
  [[nodiscard]] double scaleTop() const { return top_; }
  [[nodiscard]] double scaleWidth() const { return width_; }
  [[nodiscard]] double scaleHeight() const { return height_; }

  void setDrawWidth(int pixels);
  [[nodiscard]] int drawWidth() const { return drawWidth_; }

  void Cls();
  void Line(double x1, double y1, double x2, double y2);
  void Circle(double x, double y, double radius);
  // A mesh of `points.size() / cols` rows at the current pen width.
  void Mesh(std::vector<QPointF> points, int cols, double radius);

  [[nodiscard]] const std::vector<Primitive>& primitives() const { return primitives_; }
  [[nodiscard]] const std::vector<PointMesh>& meshes() const { return meshes_; }
  // Lines or circles drawn, those of the meshes included.
  [[nodiscard]] int count(Primitive::Kind kind) const;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // One repaint per batch of drawing calls, however much the batch adds.
  void requestPaint();

  std::vector<Primitive> primitives_;
  std::vector<PointMesh> meshes_;
  std::unique_ptr<PaintBuffers> buffers_;
  bool paintPending_ = false;
  double left_ = 0, top_ = 0, width_ = 1, height_ = 1;
  int drawWidth_ = 1;
};

}  // namespace trimlet
