// The window tests run inside one QApplication on the offscreen platform, on a screen of 1366 x 768
// at 100 % unless GRIDWRIGHT_TEST_SCREEN names another ("1920x1080@1.5": 150 %).
//
// `gw_shell_tests --renderer-child` is no test: it starts a page renderer and waits to be killed
// (see RendererTest.DiesWithItsProgram).
#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstring>

#include "shell/page_renderer.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--renderer-child") == 0) {
        QCoreApplication app(argc, argv);
        shell::PageRenderer renderer;
        renderer.show(QStringLiteral("/nonexistent/document.docx"));
        return QCoreApplication::exec();
    }
    QTemporaryFile screens;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariable("QT_QPA_PLATFORM") == "offscreen") {
        const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)@([\\d.]+)$"))
                                                 .match(qEnvironmentVariable("GRIDWRIGHT_TEST_SCREEN", "1366x768@1"));
        if (size.hasMatch() && screens.open()) {
            // The offscreen platform takes the screen's size in device pixels.
            screens.write(QStringLiteral("{\"screens\": [{\"name\": \"Screen\", \"x\": 0, \"y\": 0, \"width\": %1, "
                                         "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": %3}]}")
                              .arg(size.captured(1), size.captured(2), size.captured(3))
                              .toUtf8());
            screens.flush();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
        } else {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // Settings such as the recent files go to a test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setOrganizationName(QStringLiteral("GridwrightTests"));
    QApplication::setApplicationName(QStringLiteral("GridwrightTests"));
    QSettings().clear();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
