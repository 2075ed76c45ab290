// `--body`, `--tidy`, `--delete-empty-rows`, `--unlink-fields`, `--convert-sheets`: the body-text command and the document
// utilities of the main window, on the command line. `--body` reads the panel from the same settings
// options as `--format` (`--set FIELD=TEXT`, `--settings FILE`); the utilities read no settings.
// Their messages are printed.
#pragma once

#include "batch/commands.h"

namespace batch {

void addDocumentCommands(CommandRegistry& registry);

}  // namespace batch
