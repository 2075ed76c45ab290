// One document's side of gridwright-render, the process that draws pages with LibreOffice. Every
// request is answered through a signal; the window thread never waits for the process. A crash or a
// hang of the process only costs the pictures: a new process takes up the document at once, a few
// times at most for one version of it, and the next version shown tries again. A process still
// working (using the processor, or reporting progress) is never taken for hung, however long a large
// document takes; it never outlives the program that started it.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QLockFile;
class QTimer;

namespace shell {

// Where one of Word's tables stands on one page (twips, in the coordinates of the page rectangles).
struct TablePlace {
    int table = 0;  // Word's Tables.Item number
    int page = 0;
    QRect rect;
};

// A solid area of one table mark on a page (twips), as the renderer found it.
struct MarkBox {
    int code = 0;
    QRect rect;
};

// The tables (numbered from 1, at most tables) that the marks of pages 0, 1, ... stand for, up to the
// first page not probed yet. The codes repeat every 64 tables and the tables run down the pages in
// order: a box is the first table, from the last one placed on, whose code it has.
QVector<TablePlace> locateTables(const std::vector<std::optional<std::vector<MarkBox>>>& pages, int tables);

class PageRenderer : public QObject {
    Q_OBJECT
public:
    // How often one version of a document gets a new process after the last one crashed or hung.
    static constexpr int kMaxRestarts = 2;
    // Shared LibreOffice profiles, so that the renderers of several documents start quickly side by side.
    static constexpr int kSharedProfiles = 4;

    explicit PageRenderer(QObject* parent = nullptr);
    ~PageRenderer() override;

    // The renderer program: GRIDWRIGHT_RENDERER, else beside this program or where `cmake --install`
    // puts it, else the build's own.
    static QString program();

    // Draws the .docx at path from now on: its pages, then where its tables stand. beginning, when
    // given, is a copy of its first pages, drawn first (pagesReady with complete false). Pictures asked
    // for an earlier version and not yet drawn are dropped; a process still loading an earlier version
    // is replaced.
    void show(const QString& path, const QString& beginning = QString());
    // A picture of page (0 based) width pixels wide; asking again for the same page replaces the
    // earlier request while it waits. A renderer that gave back its process starts a new one.
    void requestPage(int page, int width);
    // Whether show() finds the tables (the default): a copy to print is drawn as it is, with no marks.
    void setFindsTables(bool finds) { findsTables_ = finds; }
    // Writes LibreOffice's own PDF of the .docx at path to target, after what was asked before
    // (pdfSaved answers).
    void exportPdf(const QString& path, const QString& target);
    // Ends the process and with it LibreOffice's memory; the pictures drawn stay where they are, and
    // the next request loads the document again.
    void stop();
    bool running() const { return process_ != nullptr; }
    // True while a version is being loaded (pagesReady with complete true still to come).
    bool loading() const { return loading_; }
    // True while a version is being loaded or its tables are still being found.
    bool busy() const;
    // LibreOffice's user profile for this program's renderers (the first of the shared ones): kept in
    // the user's cache folder so that only the very first start pays for setting it up. Empty when
    // the folder cannot be written.
    static QString sharedProfile();
    // The profile the renderer runs with: a shared one that no other renderer has, else one of its own
    // that goes with it.
    QString profileInUse() const { return profileInUse_; }

signals:
    // The pages of the version last shown (twips); complete is false for those of its beginning copy.
    void pagesReady(const QVector<QRect>& pages, bool complete);
    void pageReady(int page, const QImage& image);
    // Where its tables stand, as far as they have been found.
    void tablesReady(const QVector<TablePlace>& places);
    // Drawing pages is not possible (LibreOffice missing, or the renderer failed): a Chinese note.
    void unavailable(const QString& message);
    void loadingChanged(bool loading);
    // How a long load is going, in Chinese; empty once it is over.
    void progress(const QString& text);
    // The PDF asked for is written (error empty), or could not be (a Chinese note).
    void pdfSaved(const QString& error);

private:
    enum class Kind { Load, Render, Probe, Pdf };
    struct Request {
        Kind kind = Kind::Load;
        int generation = 0;
        QString path = {};
        bool complete = true;  // Load: the whole document, not its beginning
        QString target = {};   // Pdf
        int page = 0;
        int width = 0;
    };
    enum class Reading { Ready, Header, PageLines, BoxLines, Pixels };

    void start();
    void sendNext();
    void readAnswers();
    bool readLine(QByteArray& line);
    void handleHeader(const QList<QByteArray>& fields);
    void pagesLoaded();
    void boxesRead();
    void finishRequest();
    void watch();
    void failed(const QString& message);
    void lost(const QString& message);
    void stopProcess();
    bool pdfPending() const;
    QString chooseProfile();
    void setLoading(bool loading);
    void enqueue(Request request);

    QTemporaryDir profile_;                   // a profile of its own, when every shared one is in use
    std::unique_ptr<QLockFile> profileLock_;  // held while this renderer uses a shared profile
    QString profileInUse_;
    QProcess* process_ = nullptr;
    QTimer* watchdog_;
    QElapsedTimer requestClock_;  // since the current request was sent
    qint64 cpuAtCheck_ = -1;      // the process's processor time at the last check
    QByteArray buffer_;
    std::deque<Request> queue_;
    std::optional<Request> current_;
    QString shownPath_;  // the whole document last asked for
    QString beginning_;  // and its beginning copy
    int restarts_ = 0;   // new processes started for it so far
    Reading reading_ = Reading::Ready;
    int linesLeft_ = 0;
    QVector<QRect> pages_;
    int tableCount_ = 0;                                      // in the document loaded last
    std::vector<std::optional<std::vector<MarkBox>>> marks_;  // by page, once probed
    std::vector<MarkBox> boxes_;
    int boxesPage_ = 0;
    QImage image_;
    int imagePage_ = 0;
    qsizetype imageBytes_ = 0;
    int generation_ = 0;
    bool ready_ = false;
    bool findsTables_ = true;
    bool holdProbes_ = false;  // the first pictures of a load go before the search for its tables
    bool loading_ = false;
    bool gaveUp_ = false;
};

}  // namespace shell
