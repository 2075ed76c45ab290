// Replacing a file so that it is never left half written.
#pragma once

#include <string>

namespace automation::ooxml {

// Fails with automation::Error (SaveFailed): "无法保存文件“path”：" followed by the reason.
[[noreturn]] void failSave(const std::string& path, const std::string& reason);

// Writes a temporary file beside the target and renames it over the target once it is complete and
// on disk; on any failure the temporary file is removed and the target stays as it was. Fails as
// failSave does, naming the path as the caller gave it.
void replaceFile(const std::string& shownPath, const std::string& bytes);

}  // namespace automation::ooxml
