// Making the windows' controls the one way: named, plain, never taking Enter by themselves.
#pragma once

#include <QString>
#include <Qt>

class QLabel;
class QPushButton;
class QWidget;

namespace trimlet {

class Canvas;
class SpinControl;
class TextBox;

// A label that shows its caption as written: taken as markup, a caption from the ECU file could
// make the label load any file it names as a picture.
[[nodiscard]] QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent);

// A button that is never the window's default, so Enter cannot press it unseen.
[[nodiscard]] QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent);

[[nodiscard]] TextBox* makeTextBox(const QString& name, const QString& text, QWidget* parent);

// A spin control; arrowsOnly makes it as long as its two arrow buttons.
[[nodiscard]] SpinControl* makeSpin(const QString& name, Qt::Orientation orientation,
                                    QWidget* parent, bool arrowsOnly = true);

// A picture box with its user coordinates.
[[nodiscard]] Canvas* makePicture(const QString& name, double left, double top, double width,
                                  double height, QWidget* parent);

}  // namespace trimlet
