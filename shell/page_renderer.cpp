#include "shell/page_renderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

namespace shell {

namespace {

constexpr int kLoadTimeoutMs = 180'000;   // a large document's load, or finding its tables
constexpr int kRenderTimeoutMs = 30'000;  // one page
constexpr int kMaxPages = 100'000;
constexpr int kMaxPicture = 8000;

const char* kNoLibreOffice = "未能启动 LibreOffice，无法显示页面。其他功能照常可用。";
const char* kCrashed = "LibreOffice 意外退出，页面显示已停止。其他功能照常可用。";

int number(const QList<QByteArray>& fields, int index) { return index < fields.size() ? fields.at(index).toInt() : 0; }

}  // namespace

PageRenderer::PageRenderer(QObject* parent) : QObject(parent), watchdog_(new QTimer(this)) {
    watchdog_->setSingleShot(true);
    connect(watchdog_, &QTimer::timeout, this,
            [this] { lost(QStringLiteral("LibreOffice 没有响应，页面显示已停止。其他功能照常可用。")); });
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

bool PageRenderer::busy() const { return busy_; }

QString PageRenderer::sharedProfile() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) return QString();
    return QDir(cache).filePath(QStringLiteral("gridwright/libreoffice-profile"));
}

// The shared profile when this program can have it to itself; a lock beside it says who has it (a lock
// left behind by a program that crashed is recognised by its process number and taken over).
QString PageRenderer::chooseProfile() {
    const QString shared = sharedProfile();
    if (!profileLock_ && !shared.isEmpty() && QDir().mkpath(QFileInfo(shared).path())) {
        auto lock = std::make_unique<QLockFile>(shared + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) profileLock_ = std::move(lock);
    }
    profileInUse_ = profileLock_ ? shared : QDir(profile_.path()).filePath(QStringLiteral("profile"));
    return profileInUse_;
}

void PageRenderer::setBusy(bool busy) {
    if (busy_ == busy) return;
    busy_ = busy;
    emit busyChanged(busy);
}

void PageRenderer::start() {
    process_ = new QProcess(this);
    process_->setProgram(program());
    process_->setArguments({chooseProfile()});
    process_->setStandardErrorFile(QProcess::nullDevice());
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

void PageRenderer::show(const QString& path) {
    if (gaveUp_) return;
    if (path != shownPath_) restarts_ = 0;
    shownPath_ = path;
    ++generation_;
    std::erase_if(queue_, [](const Request&) { return true; });
    queue_.push_back({Kind::Load, generation_, path});
    queue_.push_back({Kind::Tables, generation_, path});
    setBusy(true);
    if (!process_) start();
    sendNext();
}

void PageRenderer::requestPage(int page, int width) {
    if (gaveUp_ || !process_) return;
    std::erase_if(queue_, [page](const Request& r) { return r.kind == Kind::Render && r.page == page; });
    // Pictures go before the search for tables, which takes longer.
    auto at = std::find_if(queue_.begin(), queue_.end(), [](const Request& r) { return r.kind == Kind::Tables; });
    queue_.insert(at, {Kind::Render, generation_, QString(), page, width});
    sendNext();
}

void PageRenderer::sendNext() {
    if (!process_ || !ready_ || current_ || queue_.empty()) return;
    if (holdTables_ && queue_.front().kind == Kind::Tables) return;
    current_ = queue_.front();
    queue_.pop_front();
    QByteArray line;
    switch (current_->kind) {
        case Kind::Load: line = "load\t" + QFile::encodeName(current_->path); break;
        case Kind::Tables: line = "tables\t" + QFile::encodeName(current_->path); break;
        case Kind::Render:
            line = "render\t" + QByteArray::number(current_->page) + '\t' + QByteArray::number(current_->width);
            break;
    }
    process_->write(line + '\n');
    watchdog_->start(current_->kind == Kind::Render ? kRenderTimeoutMs : kLoadTimeoutMs);
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
            holdTables_ = false;
            finishRequest();
            continue;
        }
        QByteArray line;
        if (!readLine(line)) return;
        const QList<QByteArray> fields = line.split('\t');
        if (reading_ == Reading::PageLines) {
            pages_.append(QRect(number(fields, 1), number(fields, 2), number(fields, 3), number(fields, 4)));
            if (--linesLeft_ == 0) pagesLoaded();
        } else if (reading_ == Reading::TableLines) {
            places_.append({number(fields, 1), number(fields, 2),
                            QRect(number(fields, 3), number(fields, 4), number(fields, 5), number(fields, 6))});
            if (--linesLeft_ == 0) {
                if (current_ && current_->generation == generation_) emit tablesReady(places_);
                finishRequest();
            }
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
    } else if (!current_) {
        failed(QStringLiteral("页面显示程序的回答无法理解，页面显示已停止。"));
    } else if (word == "loaded") {
        pages_.clear();
        linesLeft_ = std::clamp(number(fields, 1), 0, kMaxPages);
        reading_ = Reading::PageLines;
        if (linesLeft_ == 0) pagesLoaded();
    } else if (word == "tables") {
        places_.clear();
        linesLeft_ = std::max(0, number(fields, 1));
        reading_ = Reading::TableLines;
        if (linesLeft_ == 0) {
            if (current_->generation == generation_) emit tablesReady(places_);
            finishRequest();
        }
    } else if (word == "image") {
        imagePage_ = number(fields, 1);
        const int width = number(fields, 2);
        const int height = number(fields, 3);
        if (width < 1 || height < 1 || width > kMaxPicture || height > 4 * kMaxPicture)
            return failed(QStringLiteral("页面显示程序的回答无法理解，页面显示已停止。"));
        image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        imageBytes_ = image_.sizeInBytes();
        reading_ = Reading::Pixels;
    } else {
        // failed: this one request; the pictures of a document LibreOffice cannot read stay away.
        if (current_->kind == Kind::Load && current_->generation == generation_) {
            emit unavailable(
                QStringLiteral("LibreOffice 无法显示这个文档：%1").arg(QString::fromUtf8(fields.value(1))));
        }
        finishRequest();
    }
}

// The window asks for the pages in sight once it knows them; the tables wait for the first of those
// pictures, or a second at most.
void PageRenderer::pagesLoaded() {
    if (current_ && current_->generation == generation_) {
        holdTables_ = !pages_.isEmpty();
        if (holdTables_) {
            QTimer::singleShot(1000, this, [this] {
                holdTables_ = false;
                sendNext();
            });
        }
        emit pagesReady(pages_);
    }
    finishRequest();
}

void PageRenderer::finishRequest() {
    watchdog_->stop();
    reading_ = Reading::Header;
    current_.reset();
    const bool pending =
        std::any_of(queue_.begin(), queue_.end(), [](const Request& r) { return r.kind != Kind::Render; });
    if (!pending) setBusy(false);
    sendNext();
}

void PageRenderer::failed(const QString& message) {
    stopProcess();
    emit unavailable(message);
}

// The process crashed, hung or ended by itself: a new one takes up the document shown, unless this
// version of it has had its restarts already (a document that crashes LibreOffice every time).
void PageRenderer::lost(const QString& message) {
    stopProcess();
    if (gaveUp_ || shownPath_.isEmpty() || restarts_ >= kMaxRestarts) {
        emit unavailable(message);
        return;
    }
    ++restarts_;
    // A profile LibreOffice was writing when it died could be what kills it again: the last try sets
    // up a new one (the lock keeps every other renderer out of it meanwhile).
    if (restarts_ == kMaxRestarts && profileLock_) QDir(profileInUse_).removeRecursively();
    show(shownPath_);
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
    holdTables_ = false;
    current_.reset();
    queue_.clear();
    buffer_.clear();
    reading_ = Reading::Header;
    setBusy(false);
}

}  // namespace shell
