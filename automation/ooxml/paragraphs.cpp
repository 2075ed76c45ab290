// Paragraphs of the main story and the inline shapes that stand in it.
#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

class ParagraphImpl final : public Paragraph {
public:
    ParagraphImpl(ModelPtr model, pugi::xml_node p) : model_(std::move(model)), p_(p) {}

    RangePtr Range() override {
        Span s = span();
        return makeRange(model_, s.start, s.end);
    }
    ParagraphFormatPtr Format() override {
        Span s = span();
        return makeParagraphFormat(model_, textArea(s.start, s.end));
    }

private:
    Span span() {
        model_->check();
        requireLive(*model_, p_);
        Span s;
        model_->index().span(p_, s);
        return s;
    }

    ModelPtr model_;
    pugi::xml_node p_;
};

class ParagraphsImpl final : public Paragraphs {
public:
    ParagraphsImpl(ModelPtr model, Area area) : model_(std::move(model)), area_(area) {}

    int Count() override { return static_cast<int>(list().size()); }
    ParagraphPtr Item(int index) override {
        return std::make_shared<ParagraphImpl>(model_, KeptNodes::item(list(), index));
    }

private:
    const std::vector<pugi::xml_node>& list() {
        return paragraphs_.get(*model_, [&] { return areaParagraphs(*model_, area_); });
    }

    ModelPtr model_;
    Area area_;
    KeptNodes paragraphs_;
};

// The OLE class of an embedded object (w:object/o:OLEObject ProgID).
std::string progIdOf(pugi::xml_node object) {
    for (pugi::xml_node c = object.first_child(); c; c = c.next_sibling())
        if (std::string_view(c.name()) == "o:OLEObject") return c.attribute("ProgID").value();
    return {};
}

class OLEFormatImpl final : public OLEFormat {
public:
    explicit OLEFormatImpl(std::string progId) : progId_(std::move(progId)) {}
    std::string ProgID() override { return progId_; }
    void Edit() override { throw errors::notAvailable("没有可编辑该对象的程序"); }

private:
    std::string progId_;
};

class InlineShapeImpl final : public InlineShape {
public:
    InlineShapeImpl(ModelPtr model, pugi::xml_node node, int position)
        : model_(std::move(model)), node_(node), position_(position) {}

    int Type() override {
        model_->check();
        if (wml::is(node_, "object")) {
            for (pugi::xml_node c = node_.first_child(); c; c = c.next_sibling())
                if (std::string_view(c.name()) == "o:OLEObject")
                    return std::string_view(c.attribute("Type").value()) == "Link" ? wdInlineShapeLinkedOLEObject
                                                                                  : wdInlineShapeEmbeddedOLEObject;
        }
        return wdInlineShapePicture;
    }
    OLEFormatPtr OLEFormat() override {
        const int type = Type();
        if (type != wdInlineShapeEmbeddedOLEObject && type != wdInlineShapeLinkedOLEObject)
            throw errors::notAvailable("该图形不是 OLE 对象");
        return std::make_shared<OLEFormatImpl>(progIdOf(node_));
    }
    RangePtr Range() override {
        model_->check();
        return makeRange(model_, position_, position_ + 1);
    }

private:
    ModelPtr model_;
    pugi::xml_node node_;
    int position_;
};

class InlineShapesImpl final : public InlineShapes {
public:
    explicit InlineShapesImpl(ModelPtr model) : model_(std::move(model)) {}

    int Count() override { return static_cast<int>(list().size()); }
    InlineShapePtr Item(int index) override {
        const auto& shapes = list();
        if (index < 1 || index > static_cast<int>(shapes.size())) throw errors::noSuchMember();
        const auto& [node, position] = shapes[static_cast<size_t>(index - 1)];
        return std::make_shared<InlineShapeImpl>(model_, node, position);
    }

private:
    const std::vector<std::pair<pugi::xml_node, int>>& list() {
        model_->check();
        shapes_.clear();
        const StoryIndex& index = model_->index();
        for (const Segment& s : index.segments())
            if (s.kind == SegmentKind::Char && index.text()[static_cast<size_t>(s.start)] == u'\x01')
                shapes_.emplace_back(pugi::xml_node(s.node), s.start);
        return shapes_;
    }

    ModelPtr model_;
    std::vector<std::pair<pugi::xml_node, int>> shapes_;
};

}  // namespace

ParagraphsPtr makeParagraphs(const ModelPtr& model, const Area& area) {
    return std::make_shared<ParagraphsImpl>(model, area);
}
ParagraphPtr makeParagraph(const ModelPtr& model, pugi::xml_node p) { return std::make_shared<ParagraphImpl>(model, p); }
InlineShapesPtr makeInlineShapes(const ModelPtr& model) { return std::make_shared<InlineShapesImpl>(model); }

}  // namespace automation::ooxml
