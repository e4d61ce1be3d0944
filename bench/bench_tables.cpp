// Drawing and editing a map: the wire frame, a full key press and the work on a whole selection
// (paste, interpolation, copy), against a hand-made baseline that draws the same frame with one
// polyline per row and column and stamped circles.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <memory>
#include <vector>

#include "application.h"
#include "core/document.h"
#include "core/image.h"
#include "core/state.h"
#include "core/table.h"
#include "ui/common/Canvas.h"
#include "ui/common/DropDown.h"
#include "ui/common/ImageWatch.h"
#include "ui/editor/EditorFields.h"
#include "ui/editor/tables/CellActions.h"
#include "ui/editor/tables/CellEditor.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/editor/tables/TablePanel.h"
#include "ui/graph/Projection.h"
#include "ui/graph/WireFrame.h"

namespace {

using trimlet::Canvas;
using trimlet::EditorFields;
using trimlet::TableKind;
using trimlet::TablePanel;

constexpr int kImageWidth = 1000;
constexpr int kImageHeight = 800;

// A map of size × size cells at address 0 with a smooth surface, chosen in a maps panel whose
// picture is 1000 × 800 pixels.
struct MapFixture {
  explicit MapFixture(int size) {
    trimlet::bench::ensureApplication();
    trimlet::resetState();
    const int cells = size * size;
    trimlet::BIN_FileBytes = cells + 16;
    for (int i = 0; i < cells + 16; ++i) {
      const int r = i / size;
      const int c = i % size;
      const double v = 128 + 100 * std::sin(c * 0.05) * std::cos(r * 0.04);
      trimlet::writeImageByte(i, static_cast<int>(std::lround(v)));
    }
    trimlet::BIN_Size = cells + 32;
    trimlet::ECU_Count = 1;
    trimlet::ECU_Item& item = trimlet::ECU_Items[1];
    item.Address = "0";
    item.Cols = static_cast<int16_t>(size);
    item.Rows = static_cast<int16_t>(size);
    item.Name = "Map";
    fields.MapIndex[1] = 1;
    fields.MapCount = 1;
    panel = std::make_unique<TablePanel>(
        TableKind::Maps,
        trimlet::TableFields{fields.MapIndex, fields.MapCols, fields.MapRows, fields.MapRaw,
                             fields.Saved, fields.RotAngle, fields.MapMaxX, fields.MapMinY,
                             fields.ArrayCols, fields.ArrayRows, document, watch});
    panel->resize(1600, 1000);
    canvas = panel->findChild<Canvas*>("picMap");
    canvas->resize(kImageWidth, kImageHeight);
    panel->grid()->resize(600, 600);
    panel->list()->addItem("Map");
    panel->list()->setCurrentIndex(0);
    panel->cmbDim_Click();
    // A block in the middle of the map, as a user would select it.
    QAbstractItemModel* model = panel->grid()->model();
    panel->grid()->selectionModel()->select(
        QItemSelection(model->index(size / 4, size / 4), model->index(size / 2, size / 2)),
        QItemSelectionModel::ClearAndSelect);
  }

  void paintCanvas() { canvas->render(&image); }

  // The map's values as the image holds them.
  const trimlet::PointTable& values() {
    trimlet::readTable({0, fields.MapCols, fields.MapRows}, *table);
    return *table;
  }

  EditorFields fields;
  trimlet::Document document{"", ""};
  trimlet::ImageWatch watch;
  std::unique_ptr<TablePanel> panel;
  std::unique_ptr<trimlet::PointTable> table = std::make_unique<trimlet::PointTable>();
  Canvas* canvas = nullptr;
  QImage image{kImageWidth, kImageHeight, QImage::Format_ARGB32_Premultiplied};
};

void BM_DrawMap(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    map.panel->Draw_Map();
    map.paintCanvas();
  }
  state.counters["points"] = static_cast<double>(state.range(0) * state.range(0));
}
BENCHMARK(BM_DrawMap)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

// The picture alone, drawn as Draw_Map draws it: the same frame as the baseline below.
void BM_WireFrame(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  const EditorFields& f = map.fields;
  Canvas& canvas = *map.canvas;
  trimlet::WireFrame frame;
  frame.read({0, f.MapCols, f.MapRows});
  for (auto _ : state) {
    frame.draw(canvas, trimlet::Projection(f.RotAngle), 100, 1, f.MapMaxX, f.MapMinY);
    map.paintCanvas();
  }
}
BENCHMARK(BM_WireFrame)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

// A "+" on the selected block: values, the whole map written back, the frame redrawn, the
// cells refilled, then the picture and the grid's cells painted (its headers do not change).
void BM_KeyPress(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  QImage gridImage(map.panel->grid()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  bool raise = true;
  for (auto _ : state) {
    map.panel->grd_KeyDown(raise ? Qt::Key_Plus : Qt::Key_Minus, Qt::NoModifier);
    raise = !raise;
    map.paintCanvas();
    map.panel->grid()->viewport()->render(&gridImage);
  }
}
BENCHMARK(BM_KeyPress)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

// The whole map selected, worked on as a user does it from the grid's context menu: the edit,
// the block written back, the frame redrawn, the cells refilled, picture and cells painted.
void paintAfter(MapFixture& map, QImage& gridImage) {
  map.paintCanvas();
  map.panel->grid()->viewport()->render(&gridImage);
}

void BM_PasteWholeMap(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  map.panel->grid()->selectAll();
  // The map's own text and the same a step higher, pasted in turn so every paste changes it.
  QString texts[2];
  for (QString& text : texts) {
    map.panel->cells().copySelection(false);
    text = QApplication::clipboard()->text();
    map.panel->grd_KeyDown(Qt::Key_Plus, Qt::NoModifier);
  }
  QImage gridImage(map.panel->grid()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  int turn = 0;
  for (auto _ : state) {
    state.PauseTiming();  // a user's paste finds the text on the clipboard
    QApplication::clipboard()->setText(texts[turn++ % 2]);
    state.ResumeTiming();
    map.panel->cells().pasteClipboard();
    paintAfter(map, gridImage);
  }
}
BENCHMARK(BM_PasteWholeMap)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

// One value pasted onto the whole map fills every cell; two values in turn, so each changes it.
void BM_PasteOneValueWholeMap(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  map.panel->grid()->selectAll();
  QImage gridImage(map.panel->grid()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  int turn = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QApplication::clipboard()->setText(turn++ % 2 ? "7" : "9");
    state.ResumeTiming();
    map.panel->cells().pasteClipboard();
    paintAfter(map, gridImage);
  }
}
BENCHMARK(BM_PasteOneValueWholeMap)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

// A number typed into the top-left cell and written into the whole selection with Ctrl+Enter.
void BM_TypeIntoWholeMap(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  trimlet::TableGrid* grid = map.panel->grid();
  grid->selectAll();
  grid->selectionModel()->setCurrentIndex(grid->model()->index(0, 0),
                                          QItemSelectionModel::NoUpdate);
  QImage gridImage(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  int turn = 0;
  for (auto _ : state) {
    map.panel->cells().startTyping(turn++ % 2 ? "7" : "9");
    map.panel->cells().endTyping(trimlet::CellEditor::End::Fill);
    paintAfter(map, gridImage);
  }
}
BENCHMARK(BM_TypeIntoWholeMap)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

// A key typed into the box, in calculated values: the text changes and the preview follows.
void BM_TypingPreview(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  trimlet::ECU_Items[1].Factor = 0.5;  // raw 0..255 is 0..127.5
  map.fields.MapRaw = false;
  trimlet::TableGrid* grid = map.panel->grid();
  grid->selectionModel()->setCurrentIndex(grid->model()->index(0, 0),
                                          QItemSelectionModel::NoUpdate);
  map.panel->cells().startTyping("1");
  QImage image(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  int turn = 0;
  for (auto _ : state) {
    grid->editor()->setText(turn++ % 2 ? "117.3" : "200");
    grid->viewport()->render(&image);
  }
}
BENCHMARK(BM_TypingPreview)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_InterpolateWholeMap(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  map.panel->grid()->selectAll();
  map.panel->cells().copySelection(false);  // the surface, put back before each pass
  QImage gridImage(map.panel->grid()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    state.PauseTiming();
    map.panel->cells().pasteClipboard();
    state.ResumeTiming();
    map.panel->cells().interpolateSelection(trimlet::Direction::Both);
    paintAfter(map, gridImage);
  }
}
BENCHMARK(BM_InterpolateWholeMap)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_CopyWholeMap(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  map.panel->grid()->selectAll();
  for (auto _ : state) map.panel->cells().copySelection(false);
}
BENCHMARK(BM_CopyWholeMap)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

// The same frame drawn straight into an image: axes, one polyline per row and per column,
// and one pre-drawn circle stamped at every point.
void BM_BaselineFrame(benchmark::State& state) {
  MapFixture map(static_cast<int>(state.range(0)));
  const int size = static_cast<int>(state.range(0));
  const EditorFields& f = map.fields;
  const double sx = kImageWidth / 202.0;
  const double sy = kImageHeight / 202.0;
  const auto toPixel = [&](double x, double y) { return QPointF((x + 51) * sx, (y + 151) * sy); };
  std::vector<QPointF> points(static_cast<size_t>(size * size));
  std::vector<QPointF> column(static_cast<size_t>(size));
  const double radius = sx;  // one horizontal unit
  const int stampSize = static_cast<int>(std::ceil(2 * radius + 3));
  QImage image(kImageWidth, kImageHeight, QImage::Format_ARGB32_Premultiplied);
  const trimlet::PointTable& values = map.values();
  const trimlet::Projection projection(f.RotAngle);
  for (auto _ : state) {
    QPixmap stamp(stampSize, stampSize);
    stamp.fill(Qt::transparent);
    {
      QPainter painter(&stamp);
      painter.setPen(QPen(Qt::black, 0));
      painter.drawEllipse(QPointF(stampSize / 2.0, stampSize / 2.0), radius, radius);
    }
    for (int r = 0; r < size; ++r) {
      for (int c = 0; c < size; ++c) {
        const double z = values[static_cast<size_t>(c)][static_cast<size_t>(r)];
        const double x = projection.X_Bar(c, r, z) / f.MapMaxX * 125;
        const double y = projection.Y_Bar(c, r, z) / f.MapMinY * (-125);
        points[static_cast<size_t>(r * size + c)] = toPixel(x, y);
      }
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 2));
    const double ends[3][3] = {{100, 0, 0}, {0, 100, 0}, {0, 0, 100}};
    for (const auto& e : ends) {
      painter.drawLine(toPixel(0, 0), toPixel(projection.X_Bar(e[0], e[1], e[2]),
                                              projection.Y_Bar(e[0], e[1], e[2])));
    }
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    for (int r = 0; r < size; ++r)
      painter.drawPolyline(&points[static_cast<size_t>(r * size)], size);
    for (int c = 0; c < size; ++c) {
      for (int r = 0; r < size; ++r)
        column[static_cast<size_t>(r)] = points[static_cast<size_t>(r * size + c)];
      painter.drawPolyline(column.data(), size);
    }
    const double half = stampSize / 2.0;
    for (const QPointF& p : points) painter.drawPixmap(QPointF(p.x() - half, p.y() - half), stamp);
  }
}
BENCHMARK(BM_BaselineFrame)->Arg(16)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
