#include "shell/page_renderer.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>

#include "shell/renderer/table_marks.h"

namespace shell {

namespace {

// A process that used no processor time for this long, and said nothing, is hung; one that works
// goes on however long it takes.
constexpr int kCheckMs = 15'000;
// After this long a load says in the status bar that it is still going on.
constexpr int kSlowLoadMs = 30'000;
// A load of a version no longer wanted that has taken this long already gives way to the new one.
constexpr int kReplaceLoadMs = 2'000;
// The first pictures of a load go before the search for its tables, or a second at most.
constexpr int kHoldProbesMs = 1'000;
constexpr int kMaxPages = 100'000;
constexpr int kMaxBoxes = 10'000;
constexpr int kMaxPicture = 8000;

const char* kNoLibreOffice = "未能启动 LibreOffice，无法显示页面。其他功能照常可用。";
const char* kCrashed = "LibreOffice 意外退出，页面显示已停止。其他功能照常可用。";
const char* kGarbled = "页面显示程序的回答无法理解，页面显示已停止。";

int number(const QList<QByteArray>& fields, int index) { return index < fields.size() ? fields.at(index).toInt() : 0; }

// The processor time a process has used so far (clock ticks); -1 when it cannot be read.
qint64 processorTime(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = file.readAll();
    const qsizetype end = text.lastIndexOf(')');
    if (end < 0) return -1;
    // After the name: state, parent, ..., user time (the 14th field) and system time (the 15th).
    const QList<QByteArray> fields = text.mid(end + 2).split(' ');
    if (fields.size() < 13) return -1;
    return fields.at(11).toLongLong() + fields.at(12).toLongLong();
}

}  // namespace

QVector<TablePlace> locateTables(const std::vector<std::optional<std::vector<MarkBox>>>& pages, int tables) {
    QVector<TablePlace> places;
    int last = 1;
    for (std::size_t page = 0; page < pages.size() && pages[page]; ++page) {
        for (const MarkBox& box : *pages[page]) {
            if (box.code < 0 || box.code >= render::kMarkCodes) continue;
            // The first table from the last one placed (which may go on from the page before) with this code.
            const int table =
                last + ((box.code - (last - 1) % render::kMarkCodes) + render::kMarkCodes) % render::kMarkCodes;
            if (table > tables) continue;
            places.append({table, static_cast<int>(page), box.rect});
            last = table;
        }
    }
    return places;
}

PageRenderer::PageRenderer(QObject* parent) : QObject(parent), watchdog_(new QTimer(this)) {
    watchdog_->setSingleShot(true);
    connect(watchdog_, &QTimer::timeout, this, &PageRenderer::watch);
}

PageRenderer::~PageRenderer() {
    // The renderer holds nothing but copies: ending it at once loses nothing.
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(2000);
    }
}

QString PageRenderer::program() {
    const QString fromEnvironment = qEnvironmentVariable("GRIDWRIGHT_RENDERER");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QStringLiteral("gridwright-render"));
    if (QFileInfo(beside).isExecutable()) return beside;
    const QString installed = here.filePath(QStringLiteral("../libexec/gridwright/gridwright-render"));
    if (QFileInfo(installed).isExecutable()) return installed;
#ifdef GRIDWRIGHT_RENDERER
    return QStringLiteral(GRIDWRIGHT_RENDERER);
#else
    return beside;
#endif
}

bool PageRenderer::busy() const {
    return loading_ || (current_ && current_->kind == Kind::Probe) ||
           std::any_of(queue_.begin(), queue_.end(), [](const Request& r) { return r.kind != Kind::Render; });
}

QString PageRenderer::sharedProfile() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) return QString();
    return QDir(cache).filePath(QStringLiteral("gridwright/libreoffice-profile"));
}

// The first shared profile that no other renderer has; a lock beside each says who has it (a lock left
// behind by a program that crashed is recognised by its process number and taken over).
QString PageRenderer::chooseProfile() {
    const QString first = sharedProfile();
    for (int i = 1; !profileLock_ && !first.isEmpty() && i <= kSharedProfiles; ++i) {
        const QString shared = i == 1 ? first : first + QStringLiteral("-%1").arg(i);
        if (!QDir().mkpath(QFileInfo(shared).path())) break;
        auto lock = std::make_unique<QLockFile>(shared + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) continue;
        profileLock_ = std::move(lock);
        profileInUse_ = shared;
    }
    if (!profileLock_) profileInUse_ = QDir(profile_.path()).filePath(QStringLiteral("profile"));
    return profileInUse_;
}

void PageRenderer::setLoading(bool loading) {
    if (loading_ == loading) return;
    loading_ = loading;
    emit loadingChanged(loading);
    if (!loading) emit progress(QString());
}

void PageRenderer::start() {
    process_ = new QProcess(this);
    process_->setProgram(program());
    process_->setArguments({chooseProfile()});
    process_->setStandardErrorFile(QProcess::nullDevice());
    // The renderer ends with this program, however the program ends.
    process_->setChildProcessModifier([parent = getpid()] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(1);
    });
    connect(process_, &QProcess::readyReadStandardOutput, this, &PageRenderer::readAnswers);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            gaveUp_ = true;
            failed(QString::fromUtf8(kNoLibreOffice));
        } else if (error == QProcess::Crashed) {
            lost(QString::fromUtf8(kCrashed));
        }
    });
    connect(process_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || !process_) return;
        if (!ready_ && code == 3) {  // 3: LibreOffice itself is missing
            gaveUp_ = true;
            failed(QString::fromUtf8(kNoLibreOffice));
        } else {
            lost(QString::fromUtf8(kCrashed));
        }
    });
    buffer_.clear();
    reading_ = Reading::Header;
    ready_ = false;
    process_->start();
}

void PageRenderer::enqueue(Request request) { queue_.push_back(std::move(request)); }

void PageRenderer::show(const QString& path, const QString& beginning) {
    if (gaveUp_) return;
    if (path != shownPath_) restarts_ = 0;
    shownPath_ = path;
    beginning_ = beginning;
    ++generation_;
    queue_.clear();
    // A large document's load takes minutes: the new version does not wait for the old one.
    if (current_ && current_->kind == Kind::Load && requestClock_.elapsed() > kReplaceLoadMs) stopProcess();
    if (!beginning.isEmpty())
        enqueue({.kind = Kind::Load, .generation = generation_, .path = beginning, .complete = false});
    enqueue({.kind = Kind::Load, .generation = generation_, .path = path});
    setLoading(true);
    if (!process_) start();
    sendNext();
}

void PageRenderer::requestPage(int page, int width) {
    if (gaveUp_) return;
    if (!process_) {
        if (shownPath_.isEmpty()) return;
        show(shownPath_);  // the process was given back: the document is loaded again first
    }
    std::erase_if(queue_, [page](const Request& r) { return r.kind == Kind::Render && r.page == page; });
    // Pictures go before loads and before the search for tables, which take longer.
    auto at = std::find_if(queue_.begin(), queue_.end(), [](const Request& r) { return r.kind != Kind::Render; });
    queue_.insert(at, {.kind = Kind::Render, .generation = generation_, .page = page, .width = width});
    sendNext();
}

void PageRenderer::exportPdf(const QString& path, const QString& target) {
    if (gaveUp_) return emit pdfSaved(QString::fromUtf8(kNoLibreOffice));
    enqueue({.kind = Kind::Pdf, .generation = generation_, .path = path, .target = target});
    if (!process_) start();
    sendNext();
}

void PageRenderer::stop() {
    stopProcess();
    profileLock_.reset();
}

void PageRenderer::sendNext() {
    if (!process_ || !ready_ || current_ || queue_.empty()) return;
    if (holdProbes_ && queue_.front().kind == Kind::Probe) return;
    current_ = queue_.front();
    queue_.pop_front();
    QByteArray line;
    switch (current_->kind) {
        case Kind::Load: line = (findsTables_ ? "load\t" : "open\t") + QFile::encodeName(current_->path); break;
        case Kind::Pdf:
            line = "pdf\t" + QFile::encodeName(current_->path) + '\t' + QFile::encodeName(current_->target);
            break;
        case Kind::Probe: line = "probe\t" + QByteArray::number(current_->page); break;
        case Kind::Render:
            line = "render\t" + QByteArray::number(current_->page) + '\t' + QByteArray::number(current_->width);
            break;
    }
    process_->write(line + '\n');
    requestClock_.start();
    cpuAtCheck_ = processorTime(process_->processId());
    watchdog_->start(kCheckMs);
}

// The watchdog: a process that used the processor since the last look is still working.
void PageRenderer::watch() {
    if (!process_ || !current_) return;
    const qint64 used = processorTime(process_->processId());
    if (used < 0 || used <= cpuAtCheck_)
        return lost(QStringLiteral("LibreOffice 没有响应，页面显示已停止。其他功能照常可用。"));
    cpuAtCheck_ = used;
    if (current_->kind == Kind::Load && requestClock_.elapsed() > kSlowLoadMs) {
        emit progress(QStringLiteral("LibreOffice 仍在排版这个文档的页面（已用 %1 秒），其他功能照常可用。")
                          .arg(requestClock_.elapsed() / 1000));
    }
    watchdog_->start(kCheckMs);
}

bool PageRenderer::readLine(QByteArray& line) {
    const qsizetype end = buffer_.indexOf('\n');
    if (end < 0) return false;
    line = buffer_.left(end);
    buffer_.remove(0, end + 1);
    return true;
}

void PageRenderer::readAnswers() {
    if (!process_) return;
    buffer_ += process_->readAllStandardOutput();
    while (process_) {
        if (reading_ == Reading::Pixels) {
            if (buffer_.size() < imageBytes_) return;
            std::memcpy(image_.bits(), buffer_.constData(), static_cast<std::size_t>(imageBytes_));
            buffer_.remove(0, imageBytes_);
            if (current_ && current_->generation == generation_) emit pageReady(imagePage_, image_);
            image_ = QImage();
            holdProbes_ = false;
            finishRequest();
            continue;
        }
        QByteArray line;
        if (!readLine(line)) return;
        const QList<QByteArray> fields = line.split('\t');
        if (reading_ == Reading::PageLines) {
            pages_.append(QRect(number(fields, 1), number(fields, 2), number(fields, 3), number(fields, 4)));
            if (--linesLeft_ == 0) pagesLoaded();
        } else if (reading_ == Reading::BoxLines) {
            boxes_.push_back(
                {number(fields, 1), QRect(number(fields, 2), number(fields, 3), number(fields, 4), number(fields, 5))});
            if (--linesLeft_ == 0) boxesRead();
        } else {
            handleHeader(fields);
        }
    }
}

void PageRenderer::handleHeader(const QList<QByteArray>& fields) {
    const QByteArray& word = fields.value(0);
    if (word == "ready") {
        ready_ = true;
        sendNext();
    } else if (!ready_) {
        gaveUp_ = true;
        failed(QString::fromUtf8(kNoLibreOffice));
    } else if (word == "progress") {
        // LibreOffice reads on: the watchdog waits again, and the status bar tells how far it got.
        watchdog_->start(kCheckMs);
        if (current_ && current_->generation == generation_)
            emit progress(QStringLiteral("LibreOffice 正在读入文档：%1%").arg(number(fields, 1)));
    } else if (!current_) {
        failed(QString::fromUtf8(kGarbled));
    } else if (word == "loaded") {
        pages_.clear();
        linesLeft_ = std::clamp(number(fields, 1), 0, kMaxPages);
        tableCount_ = std::max(0, number(fields, 2));
        reading_ = Reading::PageLines;
        if (linesLeft_ == 0) pagesLoaded();
    } else if (word == "saved") {
        emit pdfSaved(QString());
        finishRequest();
    } else if (word == "boxes") {
        boxes_.clear();
        boxesPage_ = number(fields, 1);
        linesLeft_ = std::clamp(number(fields, 2), 0, kMaxBoxes);
        reading_ = Reading::BoxLines;
        if (linesLeft_ == 0) boxesRead();
    } else if (word == "image") {
        imagePage_ = number(fields, 1);
        const int width = number(fields, 2);
        const int height = number(fields, 3);
        if (width < 1 || height < 1 || width > kMaxPicture || height > 4 * kMaxPicture)
            return failed(QString::fromUtf8(kGarbled));
        image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        imageBytes_ = image_.sizeInBytes();
        reading_ = Reading::Pixels;
    } else {
        // failed: this one request; the pictures of a document LibreOffice cannot read stay away.
        if (current_->kind == Kind::Pdf)
            emit pdfSaved(QStringLiteral("LibreOffice 无法导出 PDF：%1").arg(QString::fromUtf8(fields.value(1))));
        if (current_->kind == Kind::Load && current_->generation == generation_) {
            if (current_->complete) setLoading(false);
            emit unavailable(
                QStringLiteral("LibreOffice 无法显示这个文档：%1").arg(QString::fromUtf8(fields.value(1))));
        }
        finishRequest();
    }
}

// The window asks for the pages in sight once it knows them; the search for the tables on them waits
// for the first of those pictures, and goes before the next load.
void PageRenderer::pagesLoaded() {
    if (current_ && current_->generation == generation_) {
        marks_.assign(static_cast<std::size_t>(pages_.size()), std::nullopt);
        auto at = std::find_if(queue_.begin(), queue_.end(), [](const Request& r) { return r.kind == Kind::Load; });
        std::vector<Request> probes;
        for (int page = 0; findsTables_ && page < pages_.size(); ++page)
            probes.push_back({.kind = Kind::Probe, .generation = generation_, .page = page});
        queue_.insert(at, probes.begin(), probes.end());
        holdProbes_ = !probes.empty();
        if (holdProbes_) {
            QTimer::singleShot(kHoldProbesMs, this, [this] {
                holdProbes_ = false;
                sendNext();
            });
        }
        emit pagesReady(pages_, current_->complete);
        emit tablesReady({});
        if (current_->complete) setLoading(false);
    }
    finishRequest();
}

void PageRenderer::boxesRead() {
    if (current_ && current_->generation == generation_ && boxesPage_ >= 0 &&
        boxesPage_ < static_cast<int>(marks_.size())) {
        marks_[static_cast<std::size_t>(boxesPage_)] = std::move(boxes_);
        emit tablesReady(locateTables(marks_, tableCount_));
    }
    boxes_.clear();
    finishRequest();
}

void PageRenderer::finishRequest() {
    watchdog_->stop();
    reading_ = Reading::Header;
    current_.reset();
    sendNext();
}

bool PageRenderer::pdfPending() const {
    return (current_ && current_->kind == Kind::Pdf) ||
           std::any_of(queue_.begin(), queue_.end(), [](const Request& r) { return r.kind == Kind::Pdf; });
}

void PageRenderer::failed(const QString& message) {
    const bool pdf = pdfPending();
    stopProcess();
    emit unavailable(message);
    if (pdf) emit pdfSaved(message);
}

// The process crashed, hung or ended by itself: a new one takes up the document shown, unless this
// version of it has had its restarts already (a document that crashes LibreOffice every time).
void PageRenderer::lost(const QString& message) {
    if (pdfPending()) emit pdfSaved(message);
    stopProcess();
    if (gaveUp_ || shownPath_.isEmpty() || restarts_ >= kMaxRestarts) {
        emit unavailable(message);
        return;
    }
    ++restarts_;
    // A profile LibreOffice was writing when it died could be what kills it again: the last try sets
    // up a new one (the lock keeps every other renderer out of it meanwhile).
    if (restarts_ == kMaxRestarts && profileLock_) QDir(profileInUse_).removeRecursively();
    show(shownPath_, beginning_);
}

void PageRenderer::stopProcess() {
    watchdog_->stop();
    if (process_) {
        QProcess* process = process_;
        process_ = nullptr;
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
        process->deleteLater();
    }
    ready_ = false;
    holdProbes_ = false;
    current_.reset();
    queue_.clear();
    buffer_.clear();
    reading_ = Reading::Header;
    setLoading(false);
}

}  // namespace shell
