#include "batch/commands.h"

#include "batch/document_commands.h"
#include "batch/format_command.h"
#include "batch/thousands_command.h"

#include <algorithm>
#include <utility>

namespace batch {

void CommandRegistry::add(Command command) {
    auto same =
        std::find_if(commands_.begin(), commands_.end(), [&](const Command& c) { return c.name == command.name; });
    if (same != commands_.end())
        *same = std::move(command);
    else
        commands_.push_back(std::move(command));
}

void CommandRegistry::addOption(SettingOption option) {
    auto same =
        std::find_if(options_.begin(), options_.end(), [&](const SettingOption& o) { return o.name == option.name; });
    if (same != options_.end())
        *same = std::move(option);
    else
        options_.push_back(std::move(option));
}

const Command* CommandRegistry::find(std::string_view name) const {
    for (const auto& command : commands_)
        if (command.name == name) return &command;
    return nullptr;
}

CommandRegistry defaultCommands() {
    CommandRegistry registry;
    // Each command registers here, in the order its option is listed in the help.
    addFormatCommand(registry);
    addDocumentCommands(registry);
    addThousandsCommand(registry);
    return registry;
}

}  // namespace batch
