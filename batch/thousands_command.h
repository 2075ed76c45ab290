// `--thousands`: the thousands-separator step of the format run on its own, over the document's main text.
#pragma once

#include "batch/commands.h"

namespace batch {

void addThousandsCommand(CommandRegistry& registry);

}  // namespace batch
