// Word's object model as Gridwright uses it: the objects a backend must provide.
//
// Every object is a handle (a shared pointer to an interface) that a backend may back with its own
// storage or with an IDispatch pointer. Handles never hand out references into a backend's storage.
// Every member may fail; a failure is an automation::Error carrying Word's error number. Any member
// fails with 462 once Word has quit (or its process has gone) and with 5825 once the object it stands
// for has been deleted; the comments below name the further cases in which Word refuses a member,
// each in one line, and a member refused leaves the document as it was.
// Text is UTF-8; positions and lengths are Word's (UTF-16 code units of the story).
// Collections count from 1. An optional argument left empty is "omitted": Word keeps its own value.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "automation/constants.h"
#include "automation/error.h"

namespace automation {

class Application;
class Documents;
class Document;
class Dialogs;
class Dialog;
class Selection;
class Range;
class Find;
class Replacement;
class Tables;
class Table;
class Rows;
class Row;
class Columns;
class Column;
class Cells;
class Cell;
class Borders;
class Border;
class Font;
class ParagraphFormat;
class Paragraphs;
class Paragraph;
class InlineShapes;
class InlineShape;
class OLEFormat;
class Fields;
class Field;

using ApplicationPtr = std::shared_ptr<Application>;
using DocumentsPtr = std::shared_ptr<Documents>;
using DocumentPtr = std::shared_ptr<Document>;
using DialogsPtr = std::shared_ptr<Dialogs>;
using DialogPtr = std::shared_ptr<Dialog>;
using SelectionPtr = std::shared_ptr<Selection>;
using RangePtr = std::shared_ptr<Range>;
using FindPtr = std::shared_ptr<Find>;
using ReplacementPtr = std::shared_ptr<Replacement>;
using TablesPtr = std::shared_ptr<Tables>;
using TablePtr = std::shared_ptr<Table>;
using RowsPtr = std::shared_ptr<Rows>;
using RowPtr = std::shared_ptr<Row>;
using ColumnsPtr = std::shared_ptr<Columns>;
using ColumnPtr = std::shared_ptr<Column>;
using CellsPtr = std::shared_ptr<Cells>;
using CellPtr = std::shared_ptr<Cell>;
using BordersPtr = std::shared_ptr<Borders>;
using BorderPtr = std::shared_ptr<Border>;
using FontPtr = std::shared_ptr<Font>;
using ParagraphFormatPtr = std::shared_ptr<ParagraphFormat>;
using ParagraphsPtr = std::shared_ptr<Paragraphs>;
using ParagraphPtr = std::shared_ptr<Paragraph>;
using InlineShapesPtr = std::shared_ptr<InlineShapes>;
using InlineShapePtr = std::shared_ptr<InlineShape>;
using OLEFormatPtr = std::shared_ptr<OLEFormat>;
using FieldsPtr = std::shared_ptr<Fields>;
using FieldPtr = std::shared_ptr<Field>;

class Application {
public:
    virtual ~Application() = default;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void Activate() = 0;
    virtual DocumentsPtr Documents() = 0;
    // Fails with 4248 when no document is open.
    virtual DocumentPtr ActiveDocument() = 0;
    // Fails with 4248 when no document is open.
    virtual SelectionPtr Selection() = 0;
    virtual DialogsPtr Dialogs() = 0;
    virtual int DisplayAlerts() = 0;
    virtual void SetDisplayAlerts(int level) = 0;
    // Ends this Word; afterwards every call fails with 462.
    virtual void Quit() = 0;
};

class Documents {
public:
    virtual ~Documents() = default;
    virtual int Count() = 0;
    // Fails with 5941 when index is not 1 to Count().
    virtual DocumentPtr Item(int index) = 0;
    // Fails with 5174 when the file cannot be read or is no Word document (5 for an empty path).
    virtual DocumentPtr Open(const std::string& path) = 0;
};

class Document {
public:
    virtual ~Document() = default;
    virtual std::string FullName() = 0;
    // Both arguments optional: an omitted start is 0, an omitted end is the end of the main story.
    // Fails with 4608 when start or end lies outside the main story.
    virtual RangePtr Range(std::optional<int> start = std::nullopt, std::optional<int> end = std::nullopt) = 0;
    virtual RangePtr Content() = 0;
    virtual TablesPtr Tables() = 0;
    virtual ParagraphsPtr Paragraphs() = 0;
    virtual FieldsPtr Fields() = 0;
    virtual InlineShapesPtr InlineShapes() = 0;
    // True when nothing changed since the document was opened or last saved.
    virtual bool Saved() = 0;
    // Fails with 5153 when the file cannot be written; the file on disk is then as it was.
    virtual void Save() = 0;
    // Fails with 5153 when the file cannot be written; the file on disk is then as it was.
    virtual void SaveAs(const std::string& path) = 0;
    virtual void UndoClear() = 0;
    // Closes the document; saveChanges omitted or wdDoNotSaveChanges drops unsaved changes.
    virtual void Close(std::optional<int> saveChanges = std::nullopt) = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Fails with 5 for a dialog this Word does not offer (the embedded Word offers wdDialogFileOpen).
    virtual DialogPtr Item(int which) = 0;
};

class Dialog {
public:
    virtual ~Dialog() = default;
    // Shows the dialog modally; returns -1 for OK, 0 for cancel, as Word does. The Open dialog fails
    // with 5174 when the chosen file cannot be opened.
    virtual int Show() = 0;
};

// What a Range and the Selection have in common.
class TextSpan {
public:
    virtual ~TextSpan() = default;
    virtual int Start() = 0;
    virtual int End() = 0;
    virtual std::string Text() = 0;
    virtual TablesPtr Tables() = 0;
    virtual FontPtr Font() = 0;
    virtual ParagraphFormatPtr ParagraphFormat() = 0;
    virtual FindPtr Find() = 0;
    virtual ParagraphsPtr Paragraphs() = 0;
};

class Range : public TextSpan {
public:
    virtual void Select() = 0;
};

class Selection : public TextSpan {
public:
    // Fails with 4605 when the selection is not inside a table.
    virtual RowsPtr Rows() = 0;
    // Fails with 4605 when the selection is not inside a table.
    virtual CellsPtr Cells() = 0;
    // Fails with 4605 when the selection is not inside a table.
    virtual ColumnsPtr Columns() = 0;
    virtual BordersPtr Borders() = 0;
    virtual RangePtr Range() = 0;
    // Pastes the clipboard in place of the selection; recovery type wdPasteDefault keeps the source's
    // formatting. Fails with 4198 when the clipboard holds nothing Word can paste; nothing is pasted then.
    virtual void PasteAndFormat(int type) = 0;
};

// The fifteen optional arguments of Find.Execute, in Word's order.
struct FindExecuteArgs {
    std::optional<std::string> FindText;
    std::optional<bool> MatchCase;
    std::optional<bool> MatchWholeWord;
    std::optional<bool> MatchWildcards;
    std::optional<bool> MatchSoundsLike;
    std::optional<bool> MatchAllWordForms;
    std::optional<bool> Forward;
    std::optional<int> Wrap;
    std::optional<bool> Format;
    std::optional<std::string> ReplaceWith;
    std::optional<int> Replace;
    std::optional<bool> MatchKashida;
    std::optional<bool> MatchDiacritics;
    std::optional<bool> MatchAlefHamza;
    std::optional<bool> MatchControl;
};

class Find {
public:
    virtual ~Find() = default;
    virtual void ClearFormatting() = 0;
    virtual std::string Text() = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual ReplacementPtr Replacement() = 0;
    virtual bool Format() = 0;
    virtual void SetFormat(bool value) = 0;
    virtual bool MatchCase() = 0;
    virtual void SetMatchCase(bool value) = 0;
    virtual bool MatchWholeWord() = 0;
    virtual void SetMatchWholeWord(bool value) = 0;
    virtual bool MatchWildcards() = 0;
    virtual void SetMatchWildcards(bool value) = 0;
    virtual int Wrap() = 0;
    // Fails with 4608 when value is not wdFindStop, wdFindContinue or wdFindAsk.
    virtual void SetWrap(int value) = 0;
    virtual bool Forward() = 0;
    virtual void SetForward(bool value) = 0;
    // Returns the found flag. Fails with 5560 when the text (with MatchWildcards) or the replacement is no
    // valid pattern, and with 5 when Replace is not wdReplaceNone, wdReplaceOne or wdReplaceAll.
    virtual bool Execute(const FindExecuteArgs& args = {}) = 0;
};

class Replacement {
public:
    virtual ~Replacement() = default;
    virtual void ClearFormatting() = 0;
    virtual std::string Text() = 0;
    virtual void SetText(const std::string& text) = 0;
};

class Tables {
public:
    virtual ~Tables() = default;
    virtual int Count() = 0;
    // Fails with 5941 when index is not 1 to Count().
    virtual TablePtr Item(int index) = 0;
};

class Table {
public:
    virtual ~Table() = default;
    virtual void Select() = 0;
    virtual RangePtr Range() = 0;
    // Fails with 5941 when the row has no such cell or the cell continues a vertical merge.
    virtual CellPtr Cell(int row, int column) = 0;
    virtual RowsPtr Rows() = 0;
    virtual ColumnsPtr Columns() = 0;
    virtual TablesPtr Tables() = 0;
    virtual BordersPtr Borders() = 0;
    virtual int PreferredWidthType() = 0;
    // Fails with 4608 when type is no wdPreferredWidthType.
    virtual void SetPreferredWidthType(int type) = 0;
    virtual float PreferredWidth() = 0;
    // Fails with 4608 when value is outside 0 to 1584 points (0 to 600 for a width in percent).
    virtual void SetPreferredWidth(float value) = 0;
    virtual bool AllowAutoFit() = 0;
    virtual void SetAllowAutoFit(bool value) = 0;
    // Fails with 4608 when behavior is not wdAutoFitContent, wdAutoFitFixed or wdAutoFitWindow.
    virtual void AutoFitBehavior(int behavior) = 0;
    virtual void Delete() = 0;
};

class Rows {
public:
    virtual ~Rows() = default;
    virtual int Count() = 0;
    // Fails with 5991 when the table has vertically merged cells, 5941 when index is not 1 to Count().
    virtual RowPtr Item(int index) = 0;
    virtual int HeightRule() = 0;
    // Fails with 4608 when rule is no wdRowHeightRule.
    virtual void SetHeightRule(int rule) = 0;
    virtual float Height() = 0;
    // Fails with 4608 when points is outside 0 to 1584.
    virtual void SetHeight(float points) = 0;
    virtual bool HeadingFormat() = 0;
    virtual void SetHeadingFormat(bool value) = 0;
    virtual float LeftIndent() = 0;
    // Fails with 4608 when points is outside -1584 to 1584.
    virtual void SetLeftIndent(float points) = 0;
    virtual void Delete() = 0;
};

class Row {
public:
    virtual ~Row() = default;
    virtual int Index() = 0;
    virtual void Select() = 0;
    virtual RangePtr Range() = 0;
    virtual CellsPtr Cells() = 0;
    virtual void Delete() = 0;
};

class Columns {
public:
    virtual ~Columns() = default;
    virtual int Count() = 0;
    // Fails with 5992 when the rows do not all have the same cells on the same grid columns, 5941 when
    // index is not 1 to Count().
    virtual ColumnPtr Item(int index) = 0;
};

class Column {
public:
    virtual ~Column() = default;
    virtual int Index() = 0;
    // Fails with 5992 when the rows no longer have the same cells on the same grid columns.
    virtual void Select() = 0;
    // Fails with 5992 when the rows no longer have the same cells on the same grid columns.
    virtual CellsPtr Cells() = 0;
    // Fails with 5992 when the rows no longer have the same cells on the same grid columns.
    virtual void Delete() = 0;
};

class Cells {
public:
    virtual ~Cells() = default;
    virtual int Count() = 0;
    // Fails with 5941 when index is not 1 to Count().
    virtual CellPtr Item(int index) = 0;
    virtual int VerticalAlignment() = 0;
    // Fails with 4608 when alignment is no wdCellVerticalAlignment.
    virtual void SetVerticalAlignment(int alignment) = 0;
};

class Cell {
public:
    virtual ~Cell() = default;
    virtual RangePtr Range() = 0;
    virtual int RowIndex() = 0;
    virtual int ColumnIndex() = 0;
    virtual void Select() = 0;
    virtual int VerticalAlignment() = 0;
    // Fails with 4608 when alignment is no wdCellVerticalAlignment.
    virtual void SetVerticalAlignment(int alignment) = 0;
    virtual float RightPadding() = 0;
    // Fails with 4608 when points is outside 0 to 1584.
    virtual void SetRightPadding(float points) = 0;
};

class Borders {
public:
    virtual ~Borders() = default;
    // edge: wdBorderTop .. wdBorderVertical. Fails with 5941 for any other edge.
    virtual BorderPtr Item(int edge) = 0;
};

class Border {
public:
    virtual ~Border() = default;
    // The effective line: 0 for none, wdUndefined when the edge is mixed.
    virtual int LineStyle() = 0;
    // Fails with 4608 when style is no wdLineStyle, 4605 on an edge that paragraphs do not have.
    virtual void SetLineStyle(int style) = 0;
    virtual int LineWidth() = 0;
    // Fails with 4608 for a width Word does not offer with the edge's style (lineWidthsOffered), 4605
    // on an edge that paragraphs do not have.
    virtual void SetLineWidth(int width) = 0;
};

class Font {
public:
    virtual ~Font() = default;
    // Empty when mixed.
    virtual std::string Name() = 0;
    // Fails with 5 when name is empty.
    virtual void SetName(const std::string& name) = 0;
    // wdUndefined when mixed.
    virtual float Size() = 0;
    // Fails with 4608 when points is outside 1 to 1638.
    virtual void SetSize(float points) = 0;
};

// Getters give wdUndefined when the paragraphs disagree. Setters fail with 4608 when the value lies
// outside the range Word takes: lengths in points -1584 to 1584 (spacing 0 to 1584, line spacing 0.7
// to 1584), lines and characters -1584 to 1584, alignments and rules outside their enumerations.
class ParagraphFormat {
public:
    virtual ~ParagraphFormat() = default;
    virtual int Alignment() = 0;
    virtual void SetAlignment(int alignment) = 0;
    virtual float LineSpacing() = 0;
    virtual void SetLineSpacing(float points) = 0;
    virtual int LineSpacingRule() = 0;
    virtual void SetLineSpacingRule(int rule) = 0;
    virtual float SpaceBefore() = 0;
    virtual void SetSpaceBefore(float points) = 0;
    virtual float SpaceAfter() = 0;
    virtual void SetSpaceAfter(float points) = 0;
    virtual bool SpaceBeforeAuto() = 0;
    virtual void SetSpaceBeforeAuto(bool value) = 0;
    virtual bool SpaceAfterAuto() = 0;
    virtual void SetSpaceAfterAuto(bool value) = 0;
    virtual float LineUnitBefore() = 0;
    virtual void SetLineUnitBefore(float lines) = 0;
    virtual float LineUnitAfter() = 0;
    virtual void SetLineUnitAfter(float lines) = 0;
    virtual bool WordWrap() = 0;
    virtual void SetWordWrap(bool value) = 0;
    virtual float CharacterUnitLeftIndent() = 0;
    virtual void SetCharacterUnitLeftIndent(float chars) = 0;
    virtual float CharacterUnitRightIndent() = 0;
    virtual void SetCharacterUnitRightIndent(float chars) = 0;
    virtual float CharacterUnitFirstLineIndent() = 0;
    virtual void SetCharacterUnitFirstLineIndent(float chars) = 0;
    virtual float LeftIndent() = 0;
    virtual void SetLeftIndent(float points) = 0;
    virtual float RightIndent() = 0;
    virtual void SetRightIndent(float points) = 0;
};

class Paragraphs {
public:
    virtual ~Paragraphs() = default;
    virtual int Count() = 0;
    // Fails with 5941 when index is not 1 to Count().
    virtual ParagraphPtr Item(int index) = 0;
};

class Paragraph {
public:
    virtual ~Paragraph() = default;
    virtual RangePtr Range() = 0;
    virtual ParagraphFormatPtr Format() = 0;
};

class InlineShapes {
public:
    virtual ~InlineShapes() = default;
    virtual int Count() = 0;
    // Fails with 5941 when index is not 1 to Count().
    virtual InlineShapePtr Item(int index) = 0;
};

class InlineShape {
public:
    virtual ~InlineShape() = default;
    // wdInlineShapeEmbeddedOLEObject, wdInlineShapePicture, ...
    virtual int Type() = 0;
    // Fails with 4605 when the shape is not an OLE object.
    virtual OLEFormatPtr OLEFormat() = 0;
    virtual RangePtr Range() = 0;
};

class OLEFormat {
public:
    virtual ~OLEFormat() = default;
    virtual std::string ProgID() = 0;
    // Opens the object for editing in its server (an "Excel.Sheet.8" worksheet in the running Excel,
    // as that Excel's active workbook); the object becomes Word's selection. Fails with 4198 when no
    // server can open it (the embedded Word opens only Excel 97-2003 worksheets).
    virtual void Edit() = 0;
};

class Fields {
public:
    virtual ~Fields() = default;
    virtual int Count() = 0;
    // Fails with 5941 when index is not 1 to Count().
    virtual FieldPtr Item(int index) = 0;
};

class Field {
public:
    virtual ~Field() = default;
    // The field code without its markers, for example " PAGE ".
    virtual std::string Code() = 0;
    virtual RangePtr Result() = 0;
    // Replaces the field with its current result. Fails with 4605 when the field's code or result
    // crosses the structure of a table.
    virtual void Unlink() = 0;
};

}  // namespace automation
