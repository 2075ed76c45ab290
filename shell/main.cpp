// gridwright: the windows. `gridwright FILE.docx...` opens the files in the embedded Word;
// `gridwright --screenshot DIR [document.docx]` writes a picture of every window into DIR and ends.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QTranslator>

#include "backend/word_start.h"
#include "shell/document_window.h"

#include "shell/program.h"
#include "shell/screenshots.h"

int main(int argc, char** argv) {
    backend::useLargePageHeap(argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gridwright"));
    QApplication::setOrganizationName(QStringLiteral("Gridwright"));
    // Qt's own dialogs (file chooser, message box buttons) speak Chinese like the rest.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);
    QApplication::setQuitOnLastWindowClosed(false);
    QFont font = QApplication::font();
    font.setPointSize(9);
    QApplication::setFont(font);

    const QStringList arguments = QApplication::arguments();
    const int screenshot = static_cast<int>(arguments.indexOf(QStringLiteral("--screenshot")));
    if (screenshot > 0 && screenshot + 1 < arguments.size()) {
        const QString document = screenshot + 2 < arguments.size() ? arguments.at(screenshot + 2) : QString();
        return shell::takeScreenshots(arguments.at(screenshot + 1), document);
    }

    backend::HostedWord word;
    try {
        word = backend::startHostedWord();
    } catch (const automation::Error& error) {
        QMessageBox::critical(
            nullptr, QStringLiteral("Gridwright"),
            QStringLiteral("无法启动 Word，程序不能运行。\n") + QString::fromStdString(error.message()));
        return 1;
    }
    shell::Program program(std::move(word));
    QStringList files;
    for (const QString& argument : arguments.mid(1))
        if (!argument.startsWith(QStringLiteral("--"))) files << argument;
    program.openAtStart(files);
    QObject::connect(&program, &shell::Program::finished, &app, &QApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
