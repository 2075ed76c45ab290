#include "shell/screenshots.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QTextStream>
#include <QThread>

#include "shell/about_window.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/picker_window.h"
#include "shell/program.h"
#include "shell/prompts.h"
#include "shell/single_table_window.h"
#include "shell/welcome_window.h"

namespace shell {

namespace {

void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 400) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

// Until the document window shows the pages of the current version and has found its tables (at most a
// minute).
void waitForPages(DocumentWindow* window) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 60'000 && window && window->renderer() &&
           (window->renderer()->busy() || !window->pageView()->visiblePagesDrawn())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
}

bool saveImage(const QImage& picture, const QDir& folder, const QString& name) {
    // A palette of 256 colours keeps the files small; the windows use few colours anyway.
    const QImage image =
        picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither | Qt::NoOpaqueDetection);
    const bool ok = image.save(folder.filePath(name), "PNG", 9);
    QTextStream(stdout) << (ok ? "写入 " : "未能写入 ") << folder.filePath(name) << '\n';
    return ok;
}

bool save(QWidget* window, const QDir& folder, const QString& name) {
    if (!window) return false;
    settle();
    return saveImage(window->grab().toImage(), folder, name);
}

// The document window with the small single-table window over its top right corner.
bool saveSingleTableMode(QWidget* documentWindow, QWidget* small, const QDir& folder, const QString& name) {
    if (!documentWindow || !small) return false;
    settle();
    QImage picture = documentWindow->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage over = small->grab().toImage();
    QPainter painter(&picture);
    const QPoint at(picture.width() - over.width() - 30, 60);
    painter.fillRect(QRect(at, over.size()).adjusted(-2, -2, 2, 2), Qt::darkGray);
    painter.drawImage(at, over);
    painter.end();
    return saveImage(picture, folder, name);
}

}  // namespace

int takeScreenshots(const QString& folder, const QString& document) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) return 1;
    prompts().message = [](QWidget*, const QString&) {};

    Program program(backend::startHostedWord());
    MainWindow* main = program.mainWindow();
    bool ok = save(main->welcomeWindow(), dir, QStringLiteral("welcome-window.png"));

    if (!document.isEmpty()) {
        try {
            program.word()->Documents()->Open(document.toUtf8().toStdString());
        } catch (const std::exception& error) {
            QTextStream(stderr) << QString::fromStdString(error.what()) << '\n';
            return 1;
        }
    }
    main->welcomeWindow()->hide();
    main->watchTick();
    ok = save(main, dir, QStringLiteral("main-window.png")) && ok;
    main->toggleWidth();
    ok = save(main, dir, QStringLiteral("main-window-wide.png")) && ok;
    main->toggleWidth();

    main->openPicker();
    if (QRadioButton* option = main->pickerWindow()->option(QStringLiteral("Option5"))) option->setChecked(true);
    ok = save(main->pickerWindow(), dir, QStringLiteral("picker-window.png")) && ok;
    main->pickerWindow()->close();

    main->showAbout();
    ok = save(main->aboutWindow(), dir, QStringLiteral("about-window.png")) && ok;
    main->aboutWindow()->close();

    DocumentWindow* wordWindow = program.wordWindow();
    if (!document.isEmpty() && wordWindow) {
        wordWindow->resize(900, 680);
        waitForPages(wordWindow);
        ok = save(wordWindow, dir, QStringLiteral("document-before.png")) && ok;
        main->combo(settings::Field::HeaderRowAlign)->setEditText(QStringLiteral("居中"));
        main->combo(settings::Field::OtherAreaAlign)->setEditText(QStringLiteral("居右"));
        main->combo(settings::Field::FontSize)->setEditText(QStringLiteral("五号"));
        main->startFormatRun();
        waitForPages(wordWindow);
        ok = save(wordWindow, dir, QStringLiteral("document-after.png")) && ok;
        wordWindow->selectTableNumber(2);
        waitForPages(wordWindow);
        ok = save(wordWindow, dir, QStringLiteral("document-table-selected.png")) && ok;
        emit wordWindow->singleTableModeRequested();
        ok = saveSingleTableMode(wordWindow, main->singleTableWindow(), dir, QStringLiteral("single-table-mode.png")) &&
             ok;
    }

    main->enterSingleTableMode();
    ok = save(main->singleTableWindow(), dir, QStringLiteral("single-table-window.png")) && ok;
    return ok ? 0 : 1;
}

}  // namespace shell
