// The list behind 文件 > 最近打开的文件: the documents opened or saved last, the newest first, kept in
// the user's settings from one start of the program to the next.
#pragma once

#include <QString>
#include <QStringList>

namespace shell::recent {

inline constexpr int kMaxFiles = 8;
// The settings key the list is kept under (a list of full paths).
inline constexpr const char* kSettingsKey = "recentFiles";

QStringList files();
// Puts path at the top of the list; the oldest beyond kMaxFiles go.
void add(const QString& path);
void remove(const QString& path);

}  // namespace shell::recent
