// Opening a window on the two files: load the image, parse the items, say what went wrong.
#pragma once

#include <QString>

class QWidget;

namespace trimlet {

// Runs Load_BIN and Parse_ECU and shows the user any failure over `parent`: a refused BIN
// file or a rejected ECU file with the critical icon (false: the window must close), a broken
// item with "ECU File Error" (true: the window goes on). Leaves the default mouse pointer.
[[nodiscard]] bool openImageAndItems(QWidget* parent);

// For the details of an ECU message box: the first problem of the file named by ECU_Path that
// makes the editor show `message`, with its line; empty when the check finds none.
[[nodiscard]] QString ecuProblemDetails(const char* message);

}  // namespace trimlet
