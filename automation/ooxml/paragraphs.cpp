// Paragraphs of the main story.
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

}  // namespace

ParagraphsPtr makeParagraphs(const ModelPtr& model, const Area& area) {
    return std::make_shared<ParagraphsImpl>(model, area);
}
ParagraphPtr makeParagraph(const ModelPtr& model, pugi::xml_node p) {
    return std::make_shared<ParagraphImpl>(model, p);
}

}  // namespace automation::ooxml
