// Pictures of every window, for the documentation: the welcome window, the main window narrow and
// wide, the line-style picker, the single-table window, the about window and the document window
// before and after a format run.
#pragma once

#include <QString>

namespace shell {

// Writes the PNG files into folder; document (optional) is opened in the embedded Word first.
// Returns 0 when every picture was written.
int takeScreenshots(const QString& folder, const QString& document);

}  // namespace shell
