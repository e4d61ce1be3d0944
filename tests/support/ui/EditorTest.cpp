#include "support/ui/EditorTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QItemSelectionModel>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "core/hex.h"
#include "core/settings.h"
#include "ui/editor/tables/TableGrid.h"

namespace trimlet::test {

namespace {
std::vector<SeenMessage> g_seen;

bool shownActive(QWidget* window) {
  window->show();
  QApplication::setActiveWindow(window);
  return QTest::qWaitForWindowActive(window);
}
}  // namespace

std::string ecuText(const std::vector<ECU_Item>& items) {
  std::ostringstream out;
  out << "ECU FORMAT 1\n{\nTitle=Test engine, Version=1, Author=, Date=, Notes=, Spare=\n"
      << "Items=" << items.size() << "\n}\n";
  for (const ECU_Item& item : items) {
    out << "{\nAddress=" << item.Address << ", Cols=" << item.Cols << ", Rows=" << item.Rows
        << ", Bytes=" << item.Bytes << ", Kind=" << item.Kind << ", Offset=" << item.Offset
        << ", Operation=" << item.Operation << ", Factor=" << item.Factor << "\nName=" << item.Name
        << "\nYlabel=" << item.Ylabel << "\nYaxis=" << item.Yaxis << "\nXlabel=" << item.Xlabel
        << "\nXaxis=" << item.Xaxis << "\n}\n";
  }
  return out.str();
}

QStringList answerMessages(const std::function<void()>& action,
                           const std::vector<QMessageBox::StandardButton>& answers) {
  g_seen.clear();
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&answers] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    EXPECT_EQ(box->windowTitle(), "Trimlet");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);  // paths and captions are never markup
    const auto answer = answers.at(std::min(g_seen.size(), answers.size() - 1));
    g_seen.push_back({box->text(), box->icon(), box->standardButtons(),
                      box->standardButton(box->defaultButton()), box->detailedText()});
    if (answer == QMessageBox::NoButton) return QTest::keyClick(box, Qt::Key_Escape);
    QAbstractButton* button = box->button(answer);
    if (button == nullptr) button = box->buttons().value(0);
    button->click();
  });
  timer.start(0);
  action();
  timer.stop();
  QStringList texts;
  for (const SeenMessage& seen : g_seen) texts << seen.text;
  return texts;
}

const std::vector<SeenMessage>& lastMessages() { return g_seen; }

int whileModal(const QString& name, const std::function<void(QDialog*)>& handle,
               const std::function<void()>& action) {
  int seen = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (window == nullptr || window->objectName() != name || !window->isVisible()) return;
    seen++ == 0 ? handle(window) : window->reject();
  });
  timer.start(0);
  action();
  timer.stop();
  return seen;
}

void EditorTest::SetUp() {
  resetState();
  setSettingsFile((dir.path() / "trimlet.ini").string(), "trimlet");
  ::setenv("XDG_STATE_HOME", (dir.path() / "state").c_str(), 1);  // recovery files
}

bool EditorTest::open(const std::vector<unsigned char>& bin, const std::string& ecu,
                      const std::vector<QMessageBox::StandardButton>& answers) {
  binPath = dir.write("image.bin", bin);
  ecuPath = dir.write("engine.ecu", ecu);
  editor = std::make_unique<frmEditor>(binPath, ecuPath);
  window = editor.get();
  bool opened = false;
  messages = answerMessages([&] { opened = editor->Form_Load(); }, answers);
  return opened && shownActive(editor.get());
}

void EditorTest::openViewer() {
  viewer = std::make_unique<frmView>(binPath, ecuPath);
  window = viewer.get();
  ASSERT_TRUE(viewer->Form_Load());
  ASSERT_TRUE(shownActive(viewer.get()));
}

void EditorTest::pick(const QString& list, const QString& name) const {
  auto* combo = child<QComboBox>(list);
  child<QTabWidget>("SSTab1")->setCurrentWidget(combo->parentWidget());
  const int index = combo->findText(name);
  ASSERT_GE(index, 0) << name.toStdString();
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

void EditorTest::showTab(const QString& list) const {
  child<QTabWidget>("SSTab1")->setCurrentWidget(child(list)->parentWidget());
  QCoreApplication::processEvents();
}

// The style draws the arrows at the ends of the bar.
void EditorTest::clickArrow(QScrollBar* spin, bool up) {
  const bool vertical = spin->orientation() == Qt::Vertical;
  const int along = up ? 3 : (vertical ? spin->height() : spin->width()) - 4;
  QTest::mouseClick(
      spin, Qt::LeftButton, Qt::NoModifier,
      vertical ? QPoint(spin->width() / 2, along) : QPoint(along, spin->height() / 2));
}

void EditorTest::type(const QString& box, const QString& text, bool leave) const {
  auto* edit = child<QLineEdit>(box);
  edit->setFocus(Qt::MouseFocusReason);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
  if (leave) QTest::keyClick(edit, Qt::Key_Tab);
}

void EditorTest::select(const QString& grid, int top, int left, int bottom, int right) const {
  auto* view = child<TableGrid>(grid);
  view->selectionModel()->select(QItemSelection(view->model()->index(top - 1, left - 1),
                                                view->model()->index(bottom - 1, right - 1)),
                                 QItemSelectionModel::ClearAndSelect);
}

QString EditorTest::cell(const QString& grid, int row, int col) const {
  return child<TableGrid>(grid)->text(row, col);
}

QString EditorTest::text(const QString& name) const {
  QWidget* control = child(name);
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text();
  return qobject_cast<QAbstractButton*>(control)->text();
}

std::string EditorTest::stored(int record) {
  return std::string(storedValue(BIN_Data[static_cast<size_t>(record)]));
}

std::vector<std::string> EditorTest::records(int first, int count) {
  std::vector<std::string> texts;
  while (count-- > 0) texts.push_back(stored(first++));
  return texts;
}

}  // namespace trimlet::test
