#include "shell/recent_files.h"

#include <QSettings>

namespace shell::recent {

namespace {

QString key() { return QString::fromLatin1(kSettingsKey); }

void store(const QStringList& list) { QSettings().setValue(key(), list); }

}  // namespace

QStringList files() { return QSettings().value(key()).toStringList(); }

void add(const QString& path) {
    if (path.isEmpty()) return;
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kMaxFiles) list.removeLast();
    store(list);
}

void remove(const QString& path) {
    QStringList list = files();
    if (list.removeAll(path) > 0) store(list);
}

}  // namespace shell::recent
