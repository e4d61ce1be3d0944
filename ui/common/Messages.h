// The one way the windows show message boxes: the program's title, OK or Yes/No.
#pragma once

#include <QString>
#include <vector>

#include "core/document.h"

class QWidget;

namespace trimlet {

inline constexpr char kProgramTitle[] = "Trimlet";

enum class MessageIcon { None, Critical };

// Shows a modal message with an OK button; `details`, when given, behind its "Show Details..."
// button.
void showMessage(QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::None,
                 const QString& details = QString());

// The button Enter presses in a question: No where Yes would lose data.
enum class DefaultAnswer { Yes, No };

// Tells why the settings file could not be written, the first time a write fails in a start.
void tellSettingsWriteProblem(QWidget* parent);

// Shows each notice of an open in turn, the critical ones with the critical icon.
void showNotices(QWidget* parent, const std::vector<Notice>& notices);

// What Esc and the window's close button do to a question: answer No, nothing (the question
// stays until Yes or No is clicked), or put it off (it is asked again another time).
enum class Escape { AnswersNo, Ignored, PutsOff };
enum class Answer { Yes, No, PutOff };

// Asks a modal Yes/No question.
[[nodiscard]] Answer ask(QWidget* parent, const QString& text, DefaultAnswer answer, Escape escape);
// Asks a modal Yes/No question that Esc answers No; true for Yes.
[[nodiscard]] bool askYesNo(QWidget* parent, const QString& text,
                            DefaultAnswer answer = DefaultAnswer::Yes);

// What the user chose for a report of what a patch would do.
enum class ApplyChoice { Apply, ApplyRest, Cancel };

// Shows the report of a patch before it is applied: "Apply" when it applies whole, "Apply the
// rest" when only part of it does, and Cancel, which Esc presses.
[[nodiscard]] ApplyChoice askApply(QWidget* parent, const QString& report, bool whole, bool part);

}  // namespace trimlet
