// The pages of the document window: pictures drawn by the page renderer, stacked one below the
// other, with zoom (fit width, 100 %, Ctrl+wheel), the selected table outlined, and a small note
// while a new picture of the document is being prepared. Only the pages in sight are painted and
// asked for, and only the pictures of pages near them are kept.
#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QVector>

#include <optional>

#include "shell/page_renderer.h"

namespace shell {

class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);

    // Pictures kept beyond those in sight: the nearest pages' ones.
    static constexpr int kKeptPictures = 24;

    // A new layout of the document: pictures of pages that still exist stay until new ones come.
    // complete is false for the first pages of a long document, whose whole layout is still to come.
    void setPages(const QVector<QRect>& pages, bool complete = true);
    bool pagesComplete() const { return complete_; }
    void setPageImage(int page, const QImage& image);
    void setTablePlaces(const QVector<TablePlace>& places);
    const QVector<TablePlace>& tablePlaces() const { return places_; }
    // The outlined table (0: none).
    void setSelectedTable(int table);
    int selectedTable() const { return selected_; }
    void setUpdating(bool updating);
    bool updating() const { return updating_; }
    // A line in place of the pages (no document, LibreOffice missing); empty for none.
    void setNotice(const QString& text);
    const QString& notice() const { return notice_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    // The pages' rectangles in document twips.
    const QVector<QRect>& pageRects() const { return pages_; }
    // True when every page in sight shows a picture of the current layout at the current zoom.
    bool visiblePagesDrawn() const;
    const QImage& pageImage(int page) const { return images_.at(page); }

    // Zoom: pixels per twip; fitWidth follows the window's width.
    void setFitWidth();
    void setZoomPercent(int percent);
    int zoomPercent() const;
    bool fitsWidth() const { return fitWidth_; }

    // Scrolls so that the table's first place is in sight.
    void scrollToTable(int table);
    // The page, and the point on it in document twips, under a point of the viewport.
    std::optional<QPoint> documentPoint(const QPoint& viewportPoint) const;
    // The table whose place holds this document point (0 for none).
    int tableAt(const QPoint& documentTwips) const;
    // The viewport point of a document point (for tests and the context menu).
    QPoint viewportPoint(const QPoint& documentTwips) const;
    // The page first in sight (0 based).
    int currentPage() const;

signals:
    // A picture of this page, width pixels wide, is wanted.
    void pageWanted(int page, int width);
    void clicked(const QPoint& documentTwips);
    void doubleClicked(const QPoint& documentTwips);
    void contextMenuWanted(const QPoint& documentTwips, const QPoint& globalPos);
    void zoomChanged();
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    double scale() const;  // pixels per twip
    void relayout();
    QRect pageRectOnCanvas(int page) const;  // pixels, in canvas coordinates
    QPoint canvasOffset() const;
    void askForVisiblePages();
    void dropFarPictures();

    QVector<QRect> pages_;  // twips
    int widestPage_ = 0;    // twips; what fit-width zooms to
    QVector<QImage> images_;
    QVector<bool> fresh_;  // the picture shows the current layout at the current width, or is asked for
    QVector<bool> drawn_;  // the picture shows the current layout at the current width
    QVector<int> tops_;    // canvas y of each page
    QVector<TablePlace> places_;
    QString notice_;
    int selected_ = 0;
    bool updating_ = false;
    bool fitWidth_ = true;
    double zoom_ = 1.0 / 15.0;  // 100 %: 96 pixels per inch
    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
    int lastPage_ = -1;
    bool complete_ = true;
    int wheelRest_ = 0;  // Ctrl+wheel turned by less than a notch so far
};

}  // namespace shell
