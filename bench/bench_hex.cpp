// The Hex tab's two costly actions: filling the dump and rebuilding both graphs.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTableView>
#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "application.h"
#include "core/document.h"
#include "core/image.h"
#include "core/state.h"
#include "ui/common/Canvas.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/TextBox.h"
#include "ui/editor/hex/HexPanel.h"
#include "ui/graph/Projection.h"

namespace trimlet {
namespace {

// An image of `size` bytes as the load leaves it: every byte distinct from its neighbours.
void loadImage(int size) {
  resetState();
  BIN_FileBytes = size;
  for (int i = 0; i < size; ++i) writeImageByte(i, (i * 7) % 251);
  BIN_Size = 16.0 * (size / 16) + 16;
}

struct ShownPanel {
  int16_t rotAngle = 30;
  trimlet::Document document{"", ""};
  trimlet::ImageWatch watch;
  std::unique_ptr<HexPanel> panel;

  ShownPanel() : panel(std::make_unique<HexPanel>(rotAngle, document, watch)) {
    panel->resize(1000, 620);
    panel->show();
    QApplication::processEvents();
  }
};

// "Populate Chart" on a 32 KiB image, up to the grid's first paint, on a fresh panel.
void BM_PopulateChart(benchmark::State& state) {
  trimlet::bench::ensureApplication();
  loadImage(32768);
  for (auto _ : state) {
    state.PauseTiming();
    ShownPanel shown;
    auto* grid = shown.panel->findChild<QTableView*>("grdHex");
    state.ResumeTiming();
    shown.panel->Pop_Hex();
    grid->viewport()->repaint();
    state.PauseTiming();
    shown.panel.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PopulateChart)->Unit(benchmark::kMillisecond);

// Show_Hex at columns × rows from start 0, with both pictures painted (into images of their
// size, as the baseline below paints).
void BM_ShowHex(benchmark::State& state) {
  trimlet::bench::ensureApplication();
  loadImage(256 * 1024);
  ShownPanel shown;
  shown.panel->findChild<TextBox*>("txtStart")->setText("0");
  shown.panel->findChild<TextBox*>("txtCols")->setText(QString::number(state.range(0)));
  shown.panel->findChild<TextBox*>("txtRows")->setText(QString::number(state.range(1)));
  auto* map = shown.panel->findChild<Canvas*>("picHexMap");
  auto* line = shown.panel->findChild<Canvas*>("picHexLine");
  QImage mapImage(map->size(), QImage::Format_ARGB32_Premultiplied);
  QImage lineImage(line->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    shown.panel->Show_Hex();
    map->render(&mapImage);
    line->render(&lineImage);
  }
  state.counters["circles"] = map->count(Canvas::Primitive::Kind::Circle);
}
BENCHMARK(BM_ShowHex)->Args({140, 1})->Args({500, 500})->Unit(benchmark::kMillisecond);

// The same two pictures of 500 x 500 bytes drawn the cheapest way known: each point projected
// once, one polyline per row and per column, one pre-drawn circle stamped at every point, into
// images the size of the two pictures. BM_ShowHex/500/500 is held to 1.5 times this.
void BM_ShowHexBaseline(benchmark::State& state) {
  trimlet::bench::ensureApplication();
  loadImage(256 * 1024);
  ShownPanel shown;
  constexpr int kSide = 500;
  std::vector<double> values(kSide * kSide);
  double xmax = 0, ymin = 0;
  for (int i = 0; i < kSide * kSide; ++i) {
    values[static_cast<size_t>(i)] = imageByte(i).value_or(0);
    Projection(30).widen(i % kSide, i / kSide, values[static_cast<size_t>(i)], xmax, ymin);
  }
  struct Picture {
    Canvas* canvas;
    int16_t angle;
    double radius;
    QImage image;
  };
  std::vector<Picture> pictures;
  for (const auto& [name, angle, radius] :
       {std::tuple{"picHexMap", int16_t{30}, 1.0}, {"picHexLine", int16_t{0}, 0.25}}) {
    auto* canvas = shown.panel->findChild<Canvas*>(name);
    pictures.push_back(
        {canvas, angle, radius, QImage(canvas->size(), QImage::Format_ARGB32_Premultiplied)});
  }
  std::vector<QPointF> points(values.size()), column(kSide);
  for (auto _ : state) {
    for (Picture& p : pictures) {
      const Canvas& c = *p.canvas;
      const double sx = c.width() / c.scaleWidth(), sy = c.height() / c.scaleHeight();
      const Projection projection(p.angle);
      for (size_t i = 0; i < values.size(); ++i) {
        const double col = static_cast<double>(i % kSide), row = static_cast<double>(i / kSide);
        points[i] =
            QPointF((projection.X_Bar(col, row, values[i]) / xmax * 125 - c.scaleLeft()) * sx,
                    (projection.Y_Bar(col, row, values[i]) / ymin * -125 - c.scaleTop()) * sy);
      }
      const double radius = p.radius * sx;
      const int size = static_cast<int>(std::ceil(2 * radius + 3));
      QPixmap stamp(size, size);
      stamp.fill(Qt::transparent);
      {
        QPainter painter(&stamp);
        painter.setPen(QPen(Qt::black, 0));
        painter.drawEllipse(QPointF(size / 2.0, size / 2.0), radius, radius);
      }
      p.image.fill(Qt::white);
      QPainter painter(&p.image);
      QPen pen(Qt::black, 1);
      pen.setCosmetic(true);
      painter.setPen(pen);
      for (int r = 0; r < kSide; ++r)
        painter.drawPolyline(&points[static_cast<size_t>(r * kSide)], kSide);
      for (int col = 0; col < kSide; ++col) {
        for (int r = 0; r < kSide; ++r)
          column[static_cast<size_t>(r)] = points[static_cast<size_t>(r * kSide + col)];
        painter.drawPolyline(column.data(), kSide);
      }
      for (const QPointF& point : points)
        painter.drawPixmap(QPointF(point.x() - size / 2.0, point.y() - size / 2.0), stamp);
    }
  }
}
BENCHMARK(BM_ShowHexBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trimlet
