#include "ui/editor/EditorTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <sstream>

#include "core/hex.h"
#include "core/settings.h"

namespace trimlet::test {

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

ECU_Item valueItem(const std::string& name, const std::string& address, int bytes, double factor,
                   double offset, int operation) {
  ECU_Item item;
  item.Address = address;
  item.Cols = 1;
  item.Rows = 1;
  item.Bytes = static_cast<int16_t>(bytes);
  item.Offset = offset;
  item.Operation = static_cast<int16_t>(operation);
  item.Factor = factor;
  item.Name = name;
  item.Xlabel = name + " units";
  return item;
}

ECU_Item flagItem(const std::string& name, const std::string& address, const std::string& yaxis) {
  ECU_Item item;
  item.Address = address;
  item.Cols = 1;
  item.Rows = 1;
  item.Bytes = 1;
  item.Kind = 80;
  item.Name = name;
  item.Ylabel = "Bit";
  item.Yaxis = yaxis;
  item.Xlabel = "Checked means on";
  item.Xaxis = name + " word";
  return item;
}

ECU_Item tableItem(const std::string& name, const std::string& address, int cols, int rows) {
  ECU_Item item;
  item.Address = address;
  item.Cols = static_cast<int16_t>(cols);
  item.Rows = static_cast<int16_t>(rows);
  item.Bytes = 1;
  item.Factor = 1;
  item.Name = name;
  return item;
}

void openAndReportMessages(const std::string& bin, const std::string& ecu) {
  TempDir settings;
  setSettingsFile((settings.path() / "trimlet.ini").string(), "trimlet");
  BIN_Path = bin;
  ECU_Path = ecu;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "message: %s\n", box->text().toStdString().c_str());
      box->button(QMessageBox::Ok)->click();
    }
  });
  answer.start(0);
  frmEditor editor;
  (void)editor.Form_Load();
  std::fprintf(stderr, "still running\n");
}

void EditorTest::SetUp() {
  resetState();
  setSettingsFile((dir.path() / "trimlet.ini").string(), "trimlet");
}

bool EditorTest::open(const std::vector<unsigned char>& bin, const std::string& ecu) {
  binPath = dir.write("image.bin", bin);
  ecuPath = dir.write("engine.ecu", ecu);
  BIN_Path = binPath;
  ECU_Path = ecuPath;
  editor = std::make_unique<frmEditor>();
  if (!editor->Form_Load()) return false;
  editor->show();
  QApplication::setActiveWindow(editor.get());
  return QTest::qWaitForWindowActive(editor.get());
}

void EditorTest::pick(const QString& list, const QString& name) const {
  auto* combo = child<QComboBox>(list);
  const int index = combo->findText(name);
  ASSERT_GE(index, 0) << name.toStdString();
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

void EditorTest::clickArrow(QScrollBar* spin, bool up) {
  QStyleOptionSlider option;
  option.initFrom(spin);
  option.orientation = spin->orientation();
  option.minimum = spin->minimum();
  option.maximum = spin->maximum();
  option.sliderPosition = spin->sliderPosition();
  option.sliderValue = spin->value();
  option.singleStep = spin->singleStep();
  option.pageStep = spin->pageStep();
  option.subControls = QStyle::SC_All;
  const QRect arrow = spin->style()->subControlRect(
      QStyle::CC_ScrollBar, &option, up ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine,
      spin);
  QTest::mouseClick(spin, Qt::LeftButton, Qt::NoModifier, arrow.center());
}

std::string EditorTest::stored(int record) {
  return std::string(storedValue(BIN_Data[static_cast<size_t>(record)]));
}

}  // namespace trimlet::test
