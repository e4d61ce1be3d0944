// The Hex tab's two costly actions: filling the dump and rebuilding both graphs.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTableView>
#include <memory>

#include "core/image.h"
#include "core/state.h"
#include "ui/common/Canvas.h"
#include "ui/common/TextBox.h"
#include "ui/editor/hex/HexPanel.h"

namespace trimlet {
namespace {

void ensureApplication() {
  static int argc = 1;
  static char name[] = "bench_hex";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() != nullptr) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
}

// An image of `size` bytes as the load leaves it: every byte distinct from its neighbours.
void loadImage(int size) {
  resetState();
  BIN_FileBytes = size;
  for (int i = 0; i < size; ++i) writeImageByte(i, (i * 7) % 251);
  BIN_Size = 16.0 * (size / 16) + 16;
}

struct ShownPanel {
  int16_t rotAngle = 30;
  std::unique_ptr<HexPanel> panel;

  ShownPanel() : panel(std::make_unique<HexPanel>(rotAngle)) {
    panel->resize(1000, 620);
    panel->show();
    QApplication::processEvents();
  }
};

// "Populate Chart" on a 32 KiB image, up to the grid's first paint, on a fresh panel.
void BM_PopulateChart(benchmark::State& state) {
  ensureApplication();
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

// Show_Hex at columns × rows from start 0, with the repaint of both pictures.
void BM_ShowHex(benchmark::State& state) {
  ensureApplication();
  loadImage(256 * 1024);
  ShownPanel shown;
  shown.panel->findChild<TextBox*>("txtStart")->setText("0");
  shown.panel->findChild<TextBox*>("txtCols")->setText(QString::number(state.range(0)));
  shown.panel->findChild<TextBox*>("txtRows")->setText(QString::number(state.range(1)));
  auto* map = shown.panel->findChild<Canvas*>("picHexMap");
  auto* line = shown.panel->findChild<Canvas*>("picHexLine");
  for (auto _ : state) {
    shown.panel->Show_Hex();
    map->repaint();
    line->repaint();
  }
  state.counters["circles"] = map->count(Canvas::Primitive::Kind::Circle);
}
BENCHMARK(BM_ShowHex)->Args({140, 1})->Args({500, 500})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trimlet
