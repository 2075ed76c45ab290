// Text crosses into Qt here: the commands and the settings table hold UTF-8, the widgets QString.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace shell {

inline QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

inline std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace shell
