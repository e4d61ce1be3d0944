// Opening the real editor window offscreen on a BIN and an ECU file written by the test.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "core/state.h"
#include "support/TempDir.h"
#include "ui/editor/frmEditor.h"

class QComboBox;
class QScrollBar;

namespace trimlet::test {

// The text of an ECU file that declares `items` in this order.
[[nodiscard]] std::string ecuText(const std::vector<ECU_Item>& items);

// A single-value, flag, array or map item with the fields the tests care about.
[[nodiscard]] ECU_Item valueItem(const std::string& name, const std::string& address, int bytes,
                                 double factor = 1, double offset = 0, int operation = 0);
[[nodiscard]] ECU_Item flagItem(const std::string& name, const std::string& address,
                                const std::string& yaxis = "");
[[nodiscard]] ECU_Item tableItem(const std::string& name, const std::string& address, int cols,
                                 int rows);

// For death tests: opens the editor on the two files in the child process, answering each
// message it shows and writing it to the error stream as "message: TEXT", then "still running"
// if the program did not end.
void openAndReportMessages(const std::string& bin, const std::string& ecu);

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Writes both files, points BIN_Path and ECU_Path at them and runs the start-up; true when
  // the window stayed open (it is then shown and active).
  bool open(const std::vector<unsigned char>& bin, const std::string& ecu);

  template <class T>
  T* child(const QString& name) const {
    T* found = editor->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }

  // Picks the list entry named `name` as the user does (every pick raises the click).
  void pick(const QString& list, const QString& name) const;
  // A real mouse click on the upper (up = true) or lower arrow of a spin control.
  static void clickArrow(QScrollBar* spin, bool up);

  // The image record's value exactly as stored ("5 " after an edit).
  [[nodiscard]] static std::string stored(int record);

  TempDir dir;
  std::string binPath;
  std::string ecuPath;
  std::unique_ptr<frmEditor> editor;
};

}  // namespace trimlet::test
