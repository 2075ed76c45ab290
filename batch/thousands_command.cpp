#include "batch/thousands_command.h"

#include "engine/thousands_separators.h"

namespace batch {

void addThousandsCommand(CommandRegistry& registry) {
    registry.add({"thousands", "给正文（表内表外）所有带小数点的4位以上数字加千分位符号", "",
                  [](CommandContext& context, const std::string&) { engine::addThousandsSeparators(context.word); }});
}

}  // namespace batch
