// "删除文档中的所有外部链接": every field of the main text becomes its current result.
#include <string>

#include "commands/active_document.h"
#include "commands/pass_over.h"
#include "utilities/utilities.h"

namespace utilities {

std::string unlinkedFieldsMessage(int count) { return "完成! 共删除" + std::to_string(count) + "处链接."; }

// Unlinking shrinks the collection under the walk. The walk keeps the number of the first field not
// yet visited: after a successful unlink the next field moves up to that number; after a failed one
// the field stays and the walk steps past it. Unlinking a field also turns the fields nested in it into
// plain text; they leave the collection with it. Every field present at the start counts once: the
// ones visited (unlinked or not) and the nested ones that went with an unlinked field.
UtilityResult unlinkFields(automation::Application& word, commands::CommandHost& host) {
    UtilityResult result;
    const automation::DocumentPtr document = commands::activeDocument(word);
    if (!document) return noDocument(host);
    const automation::FieldsPtr fields = document->Fields();
    int remaining = fields->Count();

    commands::PassOver passOver(true);
    int next = 1;
    // Unlinking never adds fields, so at most `remaining` steps are needed.
    for (int steps = remaining; steps > 0 && next <= remaining; --steps) {
        int after = remaining;
        const bool unlinked = passOver.run([&] {
            fields->Item(next)->Unlink();
            after = fields->Count();
        });
        if (unlinked && after < remaining) {
            result.count += remaining - after;
            remaining = after;
        } else {
            // The field stays a field; it is still counted, and the walk goes on behind it.
            ++result.count;
            ++next;
            passOver.run([&] { remaining = fields->Count(); });
        }
    }

    result.passedOver = passOver.failures();
    host.showMessage(unlinkedFieldsMessage(result.count));
    return result;
}

}  // namespace utilities
