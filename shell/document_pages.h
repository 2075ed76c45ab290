// One open document as the document window shows it: its own pages (a PageView that keeps its
// pictures, its place and its zoom while another document is shown), its own renderer, the copies of
// the versions it drew, and its table list.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "automation/hosted_documents.h"
#include "shell/table_list.h"

class QWidget;

namespace shell {

class PageRenderer;
class PageView;

class DocumentPages : public QObject {
    Q_OBJECT
public:
    // A document of more paragraphs than this (those in tables count) is drawn from a copy of its
    // beginning first: that copy, a few pages, loads in a second or two, the whole document perhaps in
    // minutes.
    static constexpr int kBeginningParagraphs = 300;

    // The copies go into folder; the view is a child of viewParent.
    DocumentPages(std::uint64_t id, const QString& folder, QWidget* viewParent);
    ~DocumentPages() override;

    std::uint64_t id() const { return id_; }
    PageView* view() const { return view_; }
    PageRenderer* renderer() const { return renderer_; }

    // The content version last drawn; none before the first.
    std::optional<std::uint64_t> drawnVersion() const { return drawn_; }
    // Draws the active document, which is this one, as it stands at content version version: a copy for
    // the renderer, and for a long document a copy of its beginning first. Fails with automation::Error
    // when Word cannot write them (the pages shown stay as they are).
    void draw(automation::HostedDocuments& documents, std::uint64_t version);

    // Whether the document is the one on show; a document hidden a while may give back its renderer.
    void setShown(bool shown);
    bool shown() const { return shown_; }
    qint64 hiddenMs() const { return shown_ ? 0 : hidden_.elapsed(); }

    // The table list of the version in tablesVersion.
    std::vector<TableSummary> tables;
    std::optional<std::uint64_t> tablesVersion;

private:
    QString copyPath(int number, const char* kind) const;

    std::uint64_t id_;
    QString folder_;
    PageView* view_;
    PageRenderer* renderer_;
    std::optional<std::uint64_t> drawn_;
    int copies_ = 0;
    bool shown_ = false;
    QElapsedTimer hidden_;
};

}  // namespace shell
