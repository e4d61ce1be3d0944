// Opening the editor on the largest image with a full item table, and the handlers of the
// Values and Flags tabs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "application.h"
#include "core/bin_file.h"
#include "core/recovery.h"
#include "core/settings.h"
#include "core/state.h"
#include "ui/editor/FlagsPanel.h"
#include "ui/editor/ValuesPanel.h"
#include "ui/editor/frmEditor.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/editor/tables/TablePanel.h"

namespace {

using trimlet::frmEditor;

// 300 items, a quarter of each class, all inside the image.
std::string fullEcuFile() {
  std::ostringstream out;
  out << "ECU FORMAT 1\n{\nTitle=Bench, Version=1, Author=, Date=, Notes=, Spare=\nItems=300\n}\n";
  for (int i = 0; i < 300; ++i) {
    const int kind = i % 4;  // flag, value, array, map
    const int cols = kind == 2 ? 16 : kind == 3 ? 16 : 1;
    const int rows = kind == 3 ? 16 : 1;
    std::ostringstream address;
    address << std::hex << std::uppercase << 0x1000 + i * 0x200;
    out << "{\nAddress=" << address.str() << ", Cols=" << cols << ", Rows=" << rows
        << ", Bytes=" << (kind == 1 ? 2 : 1) << ", Kind=" << (kind == 0 ? 80 : 0)
        << ", Offset=-40, Operation=0, Factor=0.75\nName=Item " << i
        << "\nYlabel=Load\nYaxis=Fan1 Fan2 Ign  Knk  O2   EGR  Air  Idle\nXlabel=RPM\n"
        << "Xaxis= 10 20 30 40 50 60 70 80 90100110120130140150160\n}\n";
  }
  return out.str();
}

// Writes the largest image and a 300-item ECU file once, and points the state at them.
void prepareFiles() {
  static QTemporaryDir dir;
  static bool written = false;
  if (!written) {
    const QString path = dir.path();
    trimlet::setSettingsFile((path + "/bench.ini").toStdString(), "bench");
    std::string image(static_cast<size_t>(trimlet::kMaxBinFileBytes), '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 % 251);
    std::ofstream((path + "/image.bin").toStdString(), std::ios::binary) << image;
    std::ofstream((path + "/engine.ecu").toStdString()) << fullEcuFile();
    written = true;
  }
  trimlet::BIN_Path = (dir.path() + "/image.bin").toStdString();
  trimlet::ECU_Path = (dir.path() + "/engine.ecu").toStdString();
}

// Notes the window's first paint.
class PaintWatch : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return QObject::eventFilter(watched, event);
  }
};

void BM_OpenEditorToFirstPaint(benchmark::State& state) {
  trimlet::bench::ensureApplication();
  prepareFiles();
  for (auto _ : state) {
    auto editor = std::make_unique<frmEditor>(trimlet::BIN_Path, trimlet::ECU_Path);
    PaintWatch watch;
    editor->installEventFilter(&watch);
    if (!editor->Form_Load()) state.SkipWithError("the editor did not open");
    editor->show();
    while (!watch.painted) QCoreApplication::processEvents();
    state.PauseTiming();
    editor->removeEventFilter(&watch);
    editor.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenEditorToFirstPaint)->Unit(benchmark::kMillisecond);

// One open editor for the handler benchmarks. Like the application it is never destroyed: at
// exit it would go after Qt's own statics.
frmEditor& openEditor() {
  static frmEditor* editor = [] {
    trimlet::bench::ensureApplication();
    prepareFiles();
    auto* opened = new frmEditor(trimlet::BIN_Path, trimlet::ECU_Path);
    (void)opened->Form_Load();
    opened->show();
    QCoreApplication::processEvents();
    return opened;
  }();
  return *editor;
}

void pick(QComboBox* list, int index) {
  list->setCurrentIndex(index);
  emit list->activated(index);
}

// Picks the list's entries one after another, as a user browsing the items does.
void pickEach(benchmark::State& state, const char* listName) {
  auto* list = openEditor().findChild<QComboBox*>(listName);
  int index = 0;
  for (auto _ : state) {
    pick(list, index);
    index = (index + 1) % list->count();
  }
}

// One cell of a 16 x 16 map stepped in an editor, with all that follows: the history, the list
// marks, the Changes window (open), the views that follow at the next turn of the event loop,
// the grid painted. Arg 1: the largest image with 300 items; Arg 0: a 32 KiB image holding that
// one map. Both are compared with a stock image that differs from them in every seventh byte,
// so the Changes window shows a screenful of rows in both. Each iteration steps the cell and
// undoes the step, timed apart in the thread's processor time (on a shared machine, wall time
// counts the other programs too): the counters give the step, the undo and their ratio from the
// same run. It runs before the benchmarks of the shared editor, which would otherwise hear the
// same changes.
void BM_MapCellStepAndUndo(benchmark::State& state) {
  trimlet::bench::ensureApplication();
  prepareFiles();
  const bool large = state.range(0) != 0;
  static QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  if (!large) {
    std::ofstream(folder + "/small.bin", std::ios::binary)
        << std::string(32768, '\0');  // the same bytes as the large image's first 32 KiB below
    std::ofstream(folder + "/small.ecu")
        << "ECU FORMAT 1\n{\nTitle=Bench, Version=1, Author=, Date=, Notes=, Spare=\nItems=1\n}\n"
           "{\nAddress=1600, Cols=16, Rows=16, Bytes=1, Kind=0, Offset=-40, Operation=0, "
           "Factor=0.75\nName=Map\nYlabel=Load\nYaxis=\nXlabel=RPM\nXaxis=\n}\n";
    trimlet::BIN_Path = folder + "/small.bin";
    trimlet::ECU_Path = folder + "/small.ecu";
  }
  const size_t length = large ? static_cast<size_t>(trimlet::kMaxBinFileBytes) : 32768;
  std::string bytes(length, '\0'), stock(length, '\0');
  for (size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<char>(i * 7 % 251);
    stock[i] = static_cast<char>(i * 7 % 251 + (i % 7 == 0 ? 1 : 0));
  }
  if (!large) std::ofstream(trimlet::BIN_Path, std::ios::binary) << bytes;
  std::ofstream(folder + "/stock.bin", std::ios::binary) << stock;
  trimlet::INI_Write("Reference BIN", trimlet::BIN_Path);
  trimlet::INI_Write("Reference File", folder + "/stock.bin");
  auto editor = std::make_unique<frmEditor>(trimlet::BIN_Path, trimlet::ECU_Path);
  if (!editor->Form_Load()) state.SkipWithError("the editor did not open");
  editor->show();
  auto* list = editor->findChild<QComboBox*>("cmb2Dim");
  pick(list, 0);  // both at 1600
  auto* panel = qobject_cast<trimlet::TablePanel*>(list->parentWidget());
  trimlet::TableGrid* grid = panel->grid();
  grid->selectionModel()->select(grid->model()->index(3, 3), QItemSelectionModel::ClearAndSelect);
  editor->findChild<QAction*>("actChanges")->trigger();
  QAction* undo = editor->findChild<QAction*>("actUndo");
  QImage image(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  QCoreApplication::processEvents();
  // The thread's processor time: on a shared machine, wall time counts the other programs too.
  const auto cpuMicros = [] {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
  };
  const auto timed = [&](const std::function<void()>& work) {
    const double start = cpuMicros();
    work();
    QCoreApplication::processEvents();
    grid->viewport()->render(&image);
    return cpuMicros() - start;
  };
  double step = 0, undone = 0;
  for (auto _ : state) {
    step += timed([&] { panel->grd_KeyDown(Qt::Key_Plus, Qt::NoModifier); });
    undone += timed([&] { undo->trigger(); });
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["step_us"] = step / n;
  state.counters["undo_us"] = undone / n;
  state.counters["undo_per_step"] = undone / step;
  editor.reset();
  trimlet::INI_Write("Reference File", "");
  QCoreApplication::processEvents();
}
BENCHMARK(BM_MapCellStepAndUndo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ValuesPick(benchmark::State& state) { pickEach(state, "cmb0Dim"); }
BENCHMARK(BM_ValuesPick)->Unit(benchmark::kMicrosecond);

void BM_ValuesStep(benchmark::State& state) {
  frmEditor& editor = openEditor();
  pick(editor.findChild<QComboBox*>("cmb0Dim"), 3);
  auto* spin = editor.findChild<QScrollBar*>("scrValue");
  bool up = true;
  for (auto _ : state) {
    spin->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                           : QAbstractSlider::SliderSingleStepAdd);
    up = !up;
  }
}
BENCHMARK(BM_ValuesStep)->Unit(benchmark::kMicrosecond);

void BM_ValuesTypedEntry(benchmark::State& state) {
  frmEditor& editor = openEditor();
  pick(editor.findChild<QComboBox*>("cmb0Dim"), 5);
  auto* raw = editor.findChild<QLineEdit*>("txtValue_Raw");
  auto* panel = editor.findChild<trimlet::ValuesPanel*>();
  for (auto _ : state) {
    raw->setText("1FF");
    panel->txtValue_Raw_LostFocus();
  }
}
BENCHMARK(BM_ValuesTypedEntry)->Unit(benchmark::kMicrosecond);

void BM_FlagsPick(benchmark::State& state) { pickEach(state, "cmbFlag"); }
BENCHMARK(BM_FlagsPick)->Unit(benchmark::kMicrosecond);

void BM_FlagsClick(benchmark::State& state) {
  frmEditor& editor = openEditor();
  pick(editor.findChild<QComboBox*>("cmbFlag"), 7);
  auto* box = editor.findChild<QCheckBox*>("chkFlag(7)");
  for (auto _ : state) box->toggle();
}
BENCHMARK(BM_FlagsClick)->Unit(benchmark::kMicrosecond);

// A "+" or "-" on a whole 16 x 16 map inside the editor, with everything that follows it: the
// history, the marks of the four lists, the tabs and the grid, and the repaint of picture and
// grid. Beside BM_KeyPress/16 of bench_tables, which steps a map panel alone, this is what the
// marks and the history add.
void BM_MapKeyPressWithMarks(benchmark::State& state) {
  frmEditor& editor = openEditor();
  auto* list = editor.findChild<QComboBox*>("cmb2Dim");
  pick(list, 1);
  auto* panel = qobject_cast<trimlet::TablePanel*>(list->parentWidget());
  trimlet::TableGrid* grid = panel->grid();
  grid->selectAll();
  QImage image(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  bool raise = true;
  for (auto _ : state) {
    panel->grd_KeyDown(raise ? Qt::Key_Plus : Qt::Key_Minus, Qt::NoModifier);
    raise = !raise;
    grid->viewport()->render(&image);
  }
}
BENCHMARK(BM_MapKeyPressWithMarks)->Unit(benchmark::kMillisecond);

// What keeping that key press for recovery costs: its 256 records appended to the recovery file
// as the editor will hand them over. Steps 250 ms apart are each written and flushed to the disk
// at once; steps 25 ms apart (a held key) are written together, one write in ten steps.
void BM_RecoveryKeepKeyPress(benchmark::State& state) {
  (void)openEditor();  // the image loaded
  static QTemporaryDir folder;
  ::setenv("XDG_STATE_HOME", folder.path().toLocal8Bit().constData(), 1);
  trimlet::RecoveryWriter writer;
  writer.start(trimlet::BIN_Path, trimlet::imageBytes());
  trimlet::ImageChange step;
  for (int cell = 0; cell < 256; ++cell)
    step.records.push_back({0x1400 + cell, {'4', '0'}, {'4', '1'}});
  auto now = trimlet::RecoveryWriter::Clock::now();
  for (auto _ : state) {
    writer.append(step);
    writer.flushIfDue(now += std::chrono::milliseconds(state.range(0)));
  }
  writer.remove();
}
BENCHMARK(BM_RecoveryKeepKeyPress)->Arg(250)->Arg(25)->Unit(benchmark::kMicrosecond);

// The least that keeping a step on disk takes: one write of as many bytes, flushed.
void BM_RecoveryBaseline_WriteAndFlush(benchmark::State& state) {
  QTemporaryDir folder;
  const int fd = ::open((folder.path() + "/file").toLocal8Bit().constData(),
                        O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  const std::string bytes(256 * 13 + 60, 'x');
  for (auto _ : state) {
    if (::write(fd, bytes.data(), bytes.size()) < 0 || ::fdatasync(fd) != 0)
      state.SkipWithError("the write failed");
  }
  ::close(fd);
}
BENCHMARK(BM_RecoveryBaseline_WriteAndFlush)->Unit(benchmark::kMicrosecond);

// Opening the Changes window when every cell of the 75 maps differs from the reference: 19,200
// changed cells listed with their reference and current values.
void BM_OpenChangesWindow(benchmark::State& state) {
  frmEditor& editor = openEditor();
  auto* list = editor.findChild<QComboBox*>("cmb2Dim");
  auto* panel = qobject_cast<trimlet::TablePanel*>(list->parentWidget());
  for (int map = 0; map < list->count(); ++map) {
    pick(list, map);
    panel->grid()->selectAll();
    panel->grd_KeyDown(map % 2 ? Qt::Key_Plus : Qt::Key_Minus, Qt::NoModifier);
  }
  QAction* changes = editor.findChild<QAction*>("actChanges");
  for (auto _ : state) {
    changes->trigger();
    QWidget* window = editor.findChild<QWidget*>("frmChanges");
    window->repaint();
    state.PauseTiming();
    window->hide();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenChangesWindow)->Unit(benchmark::kMillisecond);
}  // namespace
