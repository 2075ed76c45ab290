// gridwright: the windows. `gridwright FILE.docx...` opens the files in the embedded Word;
// `gridwright --screenshot DIR [document.docx]` writes a picture of every window into DIR and ends.
#include <cstring>
#include <iostream>

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

namespace {

// What --help prints, laid out like gridwright-batch's help (the manual page is made from it).
constexpr const char* kHelp =
    "Gridwright：为 Word 文档中的所有表格设置统一的格式，并整理表格周围的文字。\n"
    "启动后打开内置 Word 的文档窗口、欢迎窗口和排版工具的主窗口。\n"
    "用法: gridwright [选项] [文档.docx...]\n"
    "\n"
    "参数:\n"
    "  文档.docx               在文档窗口中打开的文档，可以有多个\n"
    "\n"
    "选项:\n"
    "  -h,--help               显示本帮助并退出\n"
    "  --screenshot 文件夹 [文档.docx]\n"
    "                          把每个窗口的截图存入文件夹后退出；给出文档时先打开它\n"
    "\n"
    "不打开窗口、成批处理文档请用命令行版 gridwright-batch（见 gridwright-batch --help）。\n";

bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Before Qt starts, so that the help needs no display.
    if (asksForHelp(argc, argv)) {
        std::cout << kHelp;
        return 0;
    }
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
