// A picture box: draws lines and circles in a user coordinate system and keeps them.
#pragma once

#include <QLineF>
#include <QWidget>
#include <vector>

namespace trimlet {

// Everything drawn since the last Cls is kept as primitives in user coordinates and painted
// through one mapping, so the drawing survives being covered and resized.
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

  explicit Canvas(QWidget* parent = nullptr);

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
  // Makes room for `more` primitives at once, for drawings whose size is known beforehand.
  void reserve(size_t more);
  void Line(double x1, double y1, double x2, double y2);
  void Circle(double x, double y, double radius);

  [[nodiscard]] const std::vector<Primitive>& primitives() const { return primitives_; }
  [[nodiscard]] int count(Primitive::Kind kind) const;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // One repaint per batch of drawing calls, however many primitives the batch adds.
  void requestPaint();

  std::vector<Primitive> primitives_;
  // Lines of one pen width in widget coordinates; kept between paints so a large drawing does
  // not allocate its line lists on every paint.
  struct LineBatch {
    int width = 1;
    std::vector<QLineF> lines;
  };
  std::vector<LineBatch> lineBatches_;
  bool paintPending_ = false;
  double left_ = 0, top_ = 0, width_ = 1, height_ = 1;
  int drawWidth_ = 1;
};

}  // namespace trimlet
