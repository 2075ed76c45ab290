#include "utilities/utilities.h"

namespace utilities {

UtilityResult noDocument(commands::CommandHost& host) {
    host.showMessage(kNoDocumentMessage);
    UtilityResult result;
    result.noDocument = true;
    return result;
}

}  // namespace utilities
