// The document window's side of gridwright-render, the process that draws pages with LibreOffice.
// Every request is answered through a signal; the window thread never waits for the process. A
// crash or hang of the process only costs the pictures: a new process takes up the document at once,
// a few times at most for one version of it, and the next version shown tries again.
#pragma once

#include <QByteArray>
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

class QLockFile;
class QTimer;

namespace shell {

// Where one of Word's tables stands on one page (twips, in the coordinates of the page rectangles).
struct TablePlace {
    int table = 0;  // Word's Tables.Item number
    int page = 0;
    QRect rect;
};

class PageRenderer : public QObject {
    Q_OBJECT
public:
    // How often one version of a document gets a new process after the last one crashed or hung.
    static constexpr int kMaxRestarts = 2;

    explicit PageRenderer(QObject* parent = nullptr);
    ~PageRenderer() override;

    // The renderer program: GRIDWRIGHT_RENDERER, else beside this program or where `cmake --install`
    // puts it, else the build's own.
    static QString program();

    // Draws the .docx at path from now on: its pages, then where its tables stand. Pictures asked
    // for an earlier document and not yet drawn are dropped.
    void show(const QString& path);
    // A picture of page (0 based) width pixels wide; asking again for the same page replaces the
    // earlier request while it waits.
    void requestPage(int page, int width);
    // True while a document is being loaded or its tables are being found.
    bool busy() const;
    // LibreOffice's user profile for this program's renderers: kept in the user's cache folder so that
    // only the very first start pays for setting it up. Empty when the folder cannot be written.
    static QString sharedProfile();
    // The profile the renderer runs with: the shared one unless another renderer has it, then one of
    // its own that goes with it.
    QString profileInUse() const { return profileInUse_; }

signals:
    // The pages of the document last shown (twips).
    void pagesReady(const QVector<QRect>& pages);
    void pageReady(int page, const QImage& image);
    void tablesReady(const QVector<TablePlace>& places);
    // Drawing pages is not possible (LibreOffice missing, or the renderer failed): a Chinese note.
    void unavailable(const QString& message);
    void busyChanged(bool busy);

private:
    enum class Kind { Load, Tables, Render };
    struct Request {
        Kind kind;
        int generation = 0;
        QString path;
        int page = 0;
        int width = 0;
    };
    enum class Reading { Ready, Header, PageLines, TableLines, Pixels };

    void start();
    void sendNext();
    void readAnswers();
    bool readLine(QByteArray& line);
    void handleHeader(const QList<QByteArray>& fields);
    void pagesLoaded();
    void finishRequest();
    void failed(const QString& message);
    void lost(const QString& message);
    void stopProcess();
    QString chooseProfile();
    void setBusy(bool busy);

    QTemporaryDir profile_;                   // a profile of its own, when the shared one is in use
    std::unique_ptr<QLockFile> profileLock_;  // held while this renderer uses the shared profile
    QString profileInUse_;
    QProcess* process_ = nullptr;
    QTimer* watchdog_;
    QByteArray buffer_;
    std::deque<Request> queue_;
    std::optional<Request> current_;
    QString shownPath_;  // the document last asked for
    int restarts_ = 0;   // new processes started for it so far
    Reading reading_ = Reading::Ready;
    int linesLeft_ = 0;
    QVector<QRect> pages_;
    QVector<TablePlace> places_;
    QImage image_;
    int imagePage_ = 0;
    qsizetype imageBytes_ = 0;
    int generation_ = 0;
    bool holdTables_ = false;  // the first pictures of a new load go before the search for tables
    bool ready_ = false;
    bool busy_ = false;
    bool gaveUp_ = false;
};

}  // namespace shell
