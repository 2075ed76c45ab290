// One open document of the embedded Word: its package, the parsed main part and styles (the single
// source of truth), the position index of the main story and the document's selection.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "automation/ooxml/desktop.h"
#include "automation/ooxml/package.h"
#include "automation/ooxml/story_index.h"
#include "automation/ooxml/styles.h"
#include "automation/ooxml/table_grid.h"
#include "automation/ooxml/wml.h"
#include "automation/ooxml/xml_part.h"

namespace automation::ooxml {

class WordState;

// What the selection, a range, Font, ParagraphFormat and Borders act on: a stretch of text, or a
// rectangular block of cells of one table.
struct Area {
    enum class Kind { Text, Block };
    Kind kind = Kind::Text;
    int start = 0;
    int end = 0;
    pugi::xml_node table;      // Block: the table
    int row1 = 0, row2 = 0;    // Block: 1-based rows, inclusive
    int grid1 = 0, grid2 = 0;  // Block: 0-based grid columns, inclusive
};

// The changeable parts of a document as they stood at one moment.
struct PartsSnapshot {
    std::string main;
    std::optional<std::string> styles;
    // Every other part of the package (relationships, content types, embedded objects, pictures), which
    // commands such as the conversion of embedded worksheets change or remove. Unchanged parts are shared
    // between snapshots, so a step costs only what it changed.
    std::map<std::string, std::shared_ptr<const std::string>> others;
};

class DocumentModel {
public:
    DocumentModel(std::string path, Package package, std::shared_ptr<WordState> word);

    const std::string& path() const { return path_; }
    // The package the document was read from; parts other than the main one and the styles are
    // changed in it directly (after such a change call textChanged or formatChanged).
    Package& package() { return package_; }
    // The Word this document belongs to; fails with 462 once that Word is gone.
    std::shared_ptr<WordState> word() const;
    // Fails with 462 after Quit, and when the document has been closed.
    void check() const;
    bool closed() const { return closed_; }
    void markClosed() { closed_ = true; }

    pugi::xml_node body() const { return body_; }
    pugi::xml_node documentElement() const { return main_->root(); }
    const Styles& styles() const { return styles_; }
    // The styles part's root, created (with its relationship) when the document has none.
    pugi::xml_node stylesRoot() const { return stylesPart_ ? stylesPart_->root() : pugi::xml_node(); }
    // What the elements and attributes added to the main story share their text from.
    wml::StringPool& pool() { return main_->pool(); }

    // The position index; rebuilt when text changed since it was built.
    StoryIndex& index();
    // The grid of a table, built once and kept until the text or structure changes (a text change
    // ends the reference). The format run asks for each table's grid at every step: built anew each
    // time, the 1,000-table report took 2.4 s of user time instead of 0.6 s.
    const TableGrid& grid(pugi::xml_node tbl);
    // Whether no cell or row of the table has borders of its own, as noted for the content as it is
    // now; nothing when it was not noted since the last change. The borders code notes it when it looks:
    // without the note, each of the format run's border reads and writes walks every cell and row
    // again, and the 1,000-table report takes 0.84 s of CPU time instead of 0.65 s.
    std::optional<bool> onlyTableBorders(pugi::xml_node tbl) const;
    void noteOnlyTableBorders(pugi::xml_node tbl, bool only);

    // Whether node still stands in the main story (views check this before touching a node).
    bool isLive(pugi::xml_node node) { return index().contains(node); }

    // Call after every change: text edits invalidate the position index, formatting does not.
    void textChanged();
    // The same after whole tables, rows or cells that held the given stretches of positions were
    // removed; the stretches are in document order and do not overlap.
    void textRemoved(const std::vector<Span>& stretches);
    // The same after rows r1..r2 of tbl (holding no table) went with the positions of text: the
    // table's grid loses those rows, the other tables' grids stay as they are.
    void rowsRemoved(pugi::xml_node tbl, int r1, int r2, Span text);
    // The same after field number index of the index's list was unlinked without moving any position.
    void fieldUnlinked(int index);
    void formatChanged(bool stylesToo = false);
    std::uint64_t textVersion() const { return textVersion_; }
    // Counts every change of content or formatting (not of the selection).
    std::uint64_t contentVersion() const { return contentVersion_; }
    bool saved() const { return !dirty_; }

    void save(const std::optional<std::string>& path);
    // Writes the document as it stands to path without touching its name or saved state.
    void saveCopy(const std::string& path);
    // The same, with only the first paragraphs and tables of the body that hold maxParagraphs paragraphs
    // (those in tables count; at least one block), ended by the page setup of the section the last of
    // them belongs to. False, and nothing written, when the body holds no more.
    bool saveBeginning(const std::string& path, int maxParagraphs);

    // Never reused while the program runs.
    std::uint64_t id() const { return id_; }
    PartsSnapshot snapshot();
    // Back to the snapshot's parts; the selection goes to the start. saved: the file holds them.
    void restore(const PartsSnapshot& parts, bool saved);

    Area& selection() { return selection_; }

    // 22 inches: Word's widest page, and so the widest its side margins, a cell or a grid column can be.
    static constexpr long kWidestTwips = 31680;

    // The page's text width in twips for the section holding position (from its w:sectPr). Which section
    // each body element belongs to is noted in one walk until the structure changes: looked for anew
    // on every call, the 1,000-table report's format run took 0.99 s of CPU time instead of 0.64 s.
    long textWidthTwips(pugi::xml_node nearNode);

private:
    void textEdited();
    // What every change of text does, apart from dropping the tables' grids.
    void textMoved();
    // The w:sectPr ending the section of a child of w:body (the body's own after the last break), or an empty node.
    pugi::xml_node sectionOf(pugi::xml_node top);
    void storeChangedParts();
    void storeChangedStyles();
    // Makes main the main part and finds its body.
    void setMain(std::unique_ptr<XmlPart> main);
    void parseStyles(std::string bytes);

    std::string path_;
    std::uint64_t id_;
    Package package_;
    std::weak_ptr<WordState> word_;  // the Word owns its documents, not the other way round
    std::unique_ptr<XmlPart> main_;
    std::unique_ptr<XmlPart> stylesPart_;
    std::string stylesName_;
    pugi::xml_node body_;
    Styles styles_;
    std::unique_ptr<StoryIndex> index_;
    std::size_t mainPartSize_ = 0;                                          // as read, to size the index
    std::map<std::string, std::shared_ptr<const std::string>> otherParts_;  // the last snapshot's, to share
    std::optional<std::uint64_t> otherPartsEdits_;  // the package's edits when otherParts_ was taken
    std::unordered_map<pugi::xml_node_struct*, TableGrid> grids_;
    std::unordered_map<pugi::xml_node_struct*, std::pair<std::uint64_t, bool>>
        onlyTableBorders_;                                                         // content version, answer
    std::unordered_map<pugi::xml_node_struct*, pugi::xml_node_struct*> sections_;  // body child -> its w:sectPr
    std::uint64_t textVersion_ = 0;
    std::uint64_t contentVersion_ = 0;
    bool dirty_ = false;
    bool mainChanged_ = false;
    bool stylesChanged_ = false;
    bool closed_ = false;
    Area selection_;
};

// What every object of one embedded Word shares: whether it still runs, its documents, its options.
class WordState {
public:
    bool running = true;
    bool visible = false;
    int displayAlerts = -1;
    std::vector<std::shared_ptr<DocumentModel>> documents;  // in opening order
    std::shared_ptr<DocumentModel> active;
    std::function<std::optional<std::string>()> chooser;
    std::function<void()> changeListener;
    // The clipboard and the Excel this Word's embedded objects open in.
    std::shared_ptr<Desktop> desktop = std::make_shared<Desktop>();

    void check() const;
    void notifyChange() const {
        if (changeListener) changeListener();
    }
};

}  // namespace automation::ooxml
