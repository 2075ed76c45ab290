#include "shell/panel_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <filesystem>
#include <vector>

#include "settings/settings_file.h"
#include "shell/main_window.h"
#include "shell/prompts.h"
#include "shell/utf8.h"

namespace shell {

namespace {

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

PanelSettings::PanelSettings(MainWindow& main, QWidget* dialogs, QObject* parent)
    : QObject(parent), main_(main), dialogs_(dialogs) {}

void PanelSettings::load() {
    const QString path = prompts().chooseOpenFile(dialogs_, FileKind::Settings);
    if (!path.isEmpty()) loadFile(path);
}

void PanelSettings::save() {
    QString path = prompts().chooseSaveFile(dialogs_, FileKind::Settings, QStringLiteral("排版设置.txt"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    saveFile(path);
}

bool PanelSettings::loadFile(const QString& path) {
    std::vector<settings::SettingAssignment> assignments;
    if (auto problem = settings::readSettingsFile(localPath(path), utf8(QDir::toNativeSeparators(path)), assignments)) {
        prompts().message(dialogs_, qs(*problem));
        return false;
    }
    main_.applyAssignments(assignments);
    main_.setSettingsFileName(QFileInfo(path).fileName());
    return true;
}

bool PanelSettings::saveFile(const QString& path) {
    if (auto problem =
            settings::writeSettingsFile(localPath(path), utf8(QDir::toNativeSeparators(path)), main_.fieldTexts())) {
        prompts().message(dialogs_, qs(*problem));
        return false;
    }
    main_.setSettingsFileName(QFileInfo(path).fileName());
    return true;
}

bool PanelSettings::startsWithLast() {
    return QSettings().value(QString::fromLatin1(kStartWithLastKey), false).toBool();
}

void PanelSettings::setStartsWithLast(bool on) { QSettings().setValue(QString::fromLatin1(kStartWithLastKey), on); }

QString PanelSettings::lastSettingsPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("last-settings.txt"));
}

void PanelSettings::remember() {
    if (!startsWithLast()) return;
    const QString path = lastSettingsPath();
    // Kept quietly: a settings folder that cannot be written costs only the next start's settings.
    if (QDir().mkpath(QFileInfo(path).path()))
        settings::writeSettingsFile(localPath(path), utf8(path), main_.fieldTexts());
}

void PanelSettings::restoreLast() {
    if (!startsWithLast() || !QFileInfo::exists(lastSettingsPath())) return;
    std::vector<settings::SettingAssignment> assignments;
    if (!settings::readSettingsFile(localPath(lastSettingsPath()), utf8(lastSettingsPath()), assignments))
        main_.applyAssignments(assignments);
}

}  // namespace shell
