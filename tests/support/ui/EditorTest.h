// The real editor window, opened offscreen on a BIN and an ECU file written for the test, and
// what a user does in it: pick an entry, click an arrow or a box, type and leave a box, select
// cells and press a key, answer a message. It brings the controls a scenario reads.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "core/state.h"
#include "support/TempDir.h"
#include "ui/editor/frmEditor.h"
#include "ui/viewer/frmView.h"

class QDialog;

namespace trimlet::test {

// The text of an ECU file that declares `items` in this order.
[[nodiscard]] std::string ecuText(const std::vector<ECU_Item>& items);

// Items with the fields the tests care about; names must be unique within a file.
inline ECU_Item valueItem(const std::string& name, const std::string& address, int16_t bytes,
                          double factor = 1, double offset = 0, int16_t operation = 0) {
  return {address, 1, 1, bytes, 0, offset, operation, factor, name, "", "", name + " units", ""};
}
inline ECU_Item flagItem(const std::string& name, const std::string& address,
                         const std::string& yaxis = "") {
  return {address, 1, 1, 1, 80, 0, 0, 0, name, "Bit", yaxis, "Checked means on", name + " word"};
}
inline ECU_Item tableItem(const std::string& name, const std::string& address, int16_t cols,
                          int16_t rows, const std::string& yaxis = "",
                          const std::string& xaxis = "") {
  return {address, cols, rows, 1, 0, 0, 0, 1, name, "Y title", yaxis, "X title", xaxis};
}

// Records the message boxes shown while `action` runs and answers each with the next answer
// (the last one for any after it; the box's only button when it has no such one; NoButton
// presses Esc, and a box still up after it is answered again). Returns their texts in order;
// lastMessages() has the rest.
QStringList answerMessages(const std::function<void()>& action,
                           const std::vector<QMessageBox::StandardButton>& answers);
inline QStringList answerMessages(const std::function<void()>& action,
                                  QMessageBox::StandardButton answer = QMessageBox::Ok) {
  return answerMessages(action, std::vector{answer});
}

// Runs `action`; the first time a modal window named `name` is up, hands it to `handle`, which
// must close it. A window still up afterwards is rejected so that a failing test cannot hang.
int whileModal(const QString& name, const std::function<void(QDialog*)>& handle,
               const std::function<void()>& action);

struct SeenMessage {
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;  // what Enter presses
  QString details;
};
[[nodiscard]] const std::vector<SeenMessage>& lastMessages();

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Writes both files and runs the start-up; true when the window stayed open (then shown and
  // active). Messages shown on the way are in `messages`, answered with `answers`.
  bool open(const std::vector<unsigned char>& bin, const std::string& ecu,
            const std::vector<QMessageBox::StandardButton>& answers = {QMessageBox::Ok});
  bool open(const std::vector<unsigned char>& bin, const std::vector<ECU_Item>& items,
            const std::vector<QMessageBox::StandardButton>& answers = {QMessageBox::Ok}) {
    return open(bin, ecuText(items), answers);
  }

  // The controls of the window the test drives: the editor, or the viewer once opened.
  template <class T = QWidget>
  T* child(const QString& name) const {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  // Opens the viewer on the files open() wrote; it is then the window the test drives.
  void openViewer();

  // Shows the list's tab and picks its entry `name` (every pick raises the click).
  void pick(const QString& list, const QString& name) const;
  // Shows the list's tab as a click on it does, and lets the views catch up with the image.
  void showTab(const QString& list) const;
  void click(const QString& name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
  // A mouse click on the upper (up = true) or lower arrow of a spin control.
  void clickArrow(const QString& spin, bool up) const { clickArrow(child<QScrollBar>(spin), up); }
  static void clickArrow(QScrollBar* spin, bool up);
  // Clicks into the box, types `text` over what it holds and (when told) leaves it with Tab.
  void type(const QString& box, const QString& text, bool leave = true) const;
  // Selects grid rows top..bottom and columns left..right (row 1 is the top data row).
  void select(const QString& grid, int top, int left, int bottom, int right) const;
  void press(const QString& grid, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const {
    QTest::keyClick(child(grid), key, modifiers);
  }
  // A grid cell's text, header captions included (row 0, column 0).
  [[nodiscard]] QString cell(const QString& grid, int row, int col) const;

  [[nodiscard]] QString text(const QString& name) const;  // of a label, box or button
  [[nodiscard]] QAction* action(const QString& name) const { return child<QAction>(name); }

  // The image record's value exactly as stored ("5 " after an edit), and `count` of them.
  [[nodiscard]] static std::string stored(int record);
  [[nodiscard]] static std::vector<std::string> records(int first, int count);
  [[nodiscard]] bool saved() const { return editor->fields().Saved; }

  TempDir dir;
  std::string binPath;
  std::string ecuPath;
  QStringList messages;
  std::unique_ptr<frmEditor> editor;
  std::unique_ptr<frmView> viewer;
  QWidget* window = nullptr;
};

}  // namespace trimlet::test
