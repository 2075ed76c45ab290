// Members whose behaviour is still being built; they fail honestly until then.
#include "automation/error.h"
#include "automation/ooxml/objects.h"

namespace automation::ooxml {

FindPtr makeFind(const ModelPtr& model, const Area&, bool) {
    model->check();
    throw errors::notAvailable("嵌入式 Word 尚不支持查找和替换");
}

FieldsPtr makeFields(const ModelPtr& model) {
    model->check();
    throw errors::notAvailable("嵌入式 Word 尚不支持域");
}

}  // namespace automation::ooxml
