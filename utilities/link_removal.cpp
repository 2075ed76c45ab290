// "删除文档中的所有外部链接": every field of the main text becomes its current result.
#include <string>

#include "utilities/form_fields.h"
#include "utilities/pass_over.h"
#include "utilities/utilities.h"

namespace utilities {

std::string unlinkedFieldsMessage(int count) { return "完成! 共删除" + std::to_string(count) + "处链接."; }

// Unlinking shrinks the collection under the walk. The walk keeps the number of the first field not
// yet visited: after a successful unlink the next field moves up to that number; after a failed one
// the field stays and the walk steps past it. Unlinking a field also turns the fields nested in it into
// plain text; they leave the collection with it. Every field present at the start counts once: the
// ones visited (unlinked or not) and the nested ones that went with an unlinked field. Form fields are
// passed by: unlinking them would destroy their state.
UtilityResult unlinkFields(automation::Application& word, settings::CommandHost& host) {
    UtilityResult result;
    automation::DocumentPtr document = activeDocument(word);
    automation::FieldsPtr fields;
    int remaining = 0;
    try {
        if (!document) throw automation::errors::noDocumentOpen();
        fields = document->Fields();
        remaining = fields->Count();
    } catch (const automation::Error&) {
        result.noDocument = true;
        host.showMessage(kNoDocumentMessage);
        return result;
    }

    PassOver passOver(true);
    int next = 1;
    // Unlinking never adds fields, so at most `remaining` steps are needed.
    for (int steps = remaining; steps > 0 && next <= remaining; --steps) {
        // Form fields are no links: they stay as they are and are not counted.
        bool formField = false;
        passOver.run([&] { formField = isFormField(fields->Item(next)->Code()); });
        if (formField) {
            ++next;
            continue;
        }
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
