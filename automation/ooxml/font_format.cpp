// Font and ParagraphFormat of a range, the selection or a paragraph, written as run and paragraph
// properties.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <type_traits>

#include "automation/error.h"
#include "automation/ooxml/objects.h"
#include "automation/ooxml/unicode.h"
#include "automation/ooxml/wml.h"

namespace automation::ooxml {

namespace {

using wml::twips;

struct RunTarget {
    std::vector<pugi::xml_node> runs;  // (run, paragraph) pairs kept side by side
    std::vector<pugi::xml_node> runParas;
    std::vector<pugi::xml_node> markParas;  // paragraphs whose mark is covered
};

RunTarget runTarget(DocumentModel& model, const Area& area) {
    RunTarget t;
    auto paragraphs = areaParagraphs(model, area);
    StoryIndex& index = model.index();
    for (pugi::xml_node p : paragraphs) {
        Span s;
        const bool whole =
            area.kind == Area::Kind::Block || (index.span(p, s) && area.start <= s.start && s.end <= area.end);
        if (whole) {
            for (pugi::xml_node r : wml::descendants(p, "r", {"txbxContent"})) {
                t.runs.push_back(r);
                t.runParas.push_back(p);
            }
            t.markParas.push_back(p);
        }
    }
    if (area.kind == Area::Kind::Text) {
        // Runs of partly covered paragraphs: those with characters inside the range.
        const auto& segments = index.segments();
        int i = index.segmentAt(area.start);
        for (; i >= 0 && i < static_cast<int>(segments.size()) && segments[i].start < area.end; ++i) {
            const Segment& seg = segments[i];
            if (!seg.run) continue;
            pugi::xml_node run(seg.run);
            if (std::find(t.runs.begin(), t.runs.end(), run) != t.runs.end()) continue;
            pugi::xml_node p = run.parent();
            while (p && !wml::is(p, "p")) p = p.parent();
            t.runs.push_back(run);
            t.runParas.push_back(p);
        }
    }
    return t;
}

bool isEastAsianFont(const std::string& name) {
    for (char16_t c : toUtf16(name))
        if (c >= 0x2E80) return true;
    static const std::array<const char*, 30> known = {"simsun",
                                                      "nsimsun",
                                                      "simhei",
                                                      "fangsong",
                                                      "kaiti",
                                                      "microsoft yahei",
                                                      "microsoft yahei ui",
                                                      "ms mincho",
                                                      "ms gothic",
                                                      "ms pmincho",
                                                      "ms pgothic",
                                                      "mingliu",
                                                      "pmingliu",
                                                      "dengxian",
                                                      "microsoft jhenghei",
                                                      "malgun gothic",
                                                      "batang",
                                                      "gulim",
                                                      "dotum",
                                                      "meiryo",
                                                      "yu gothic",
                                                      "yu mincho",
                                                      "fangsong_gb2312",
                                                      "kaiti_gb2312",
                                                      "stsong",
                                                      "stkaiti",
                                                      "stfangsong",
                                                      "stheiti",
                                                      "simsun-extb",
                                                      "lisu"};
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return std::find(known.begin(), known.end(), lower) != known.end();
}

class FontImpl final : public Font {
public:
    FontImpl(ModelPtr model, Area area) : model_(std::move(model)), area_(area) {}

    std::string Name() override {
        RunTarget t = target();
        std::optional<std::string> value;
        const auto& styles = model_->styles();
        auto consider = [&](pugi::xml_node run, pugi::xml_node p) {
            std::string v = styles.runProperty(run, p, "rFonts", "w:ascii").value_or("");
            if (value && *value != v) return false;
            value = v;
            return true;
        };
        for (size_t i = 0; i < t.runs.size(); ++i)
            if (!consider(t.runs[i], t.runParas[i])) return {};
        if (!value)
            for (pugi::xml_node p : t.markParas)
                if (!consider({}, p)) return {};
        return value.value_or("");
    }
    void SetName(const std::string& name) override {
        RunTarget t = target();
        if (name.empty()) throw errors::badParameter("字体名称为空");
        const bool eastAsian = isEastAsianFont(name);
        auto apply = [&](pugi::xml_node rPr) {
            pugi::xml_node fonts = wml::ensure(model_->pool(), rPr, "rFonts", wml::Sequence::RPr);
            wml::setAttr(model_->pool(), fonts, "w:ascii", name);
            wml::setAttr(model_->pool(), fonts, "w:hAnsi", name);
            fonts.remove_attribute("w:asciiTheme");
            fonts.remove_attribute("w:hAnsiTheme");
            if (eastAsian) {
                wml::setAttr(model_->pool(), fonts, "w:eastAsia", name);
                fonts.remove_attribute("w:eastAsiaTheme");
            }
        };
        for (pugi::xml_node r : t.runs) apply(wml::ensureRPr(model_->pool(), r));
        for (pugi::xml_node p : t.markParas) apply(wml::ensureMarkRPr(model_->pool(), p));
        model_->formatChanged();
    }
    float Size() override {
        RunTarget t = target();
        Uniform<float> size;
        const auto& styles = model_->styles();
        auto consider = [&](pugi::xml_node run, pugi::xml_node p) {
            return size.add(wml::halfPointsOf(styles.runProperty(run, p, "sz", "w:val").value_or("20"), 10.0f));
        };
        for (size_t i = 0; i < t.runs.size(); ++i)
            if (!consider(t.runs[i], t.runParas[i])) return size.value(10.0f);
        if (size.empty())
            for (pugi::xml_node p : t.markParas)
                if (!consider({}, p)) break;
        return size.value(10.0f);
    }
    void SetSize(float points) override {
        RunTarget t = target();
        if (!(points >= 1.0f && points <= 1638.0f)) throw errors::valueOutOfRange();
        // Word keeps sizes in half points.
        auto apply = [&](pugi::xml_node rPr) {
            wml::setHalfPoints(model_->pool(), wml::ensure(model_->pool(), rPr, "sz", wml::Sequence::RPr), "w:val",
                               points);
            wml::setHalfPoints(model_->pool(), wml::ensure(model_->pool(), rPr, "szCs", wml::Sequence::RPr), "w:val",
                               points);
        };
        for (pugi::xml_node r : t.runs) apply(wml::ensureRPr(model_->pool(), r));
        for (pugi::xml_node p : t.markParas) apply(wml::ensureMarkRPr(model_->pool(), p));
        model_->formatChanged();
    }

private:
    RunTarget target() {
        model_->check();
        if (area_.kind == Area::Kind::Block) requireLive(*model_, area_.table);
        return runTarget(*model_, area_);
    }

    ModelPtr model_;
    Area area_;
};

// Reads and writes one paragraph property over every paragraph of an area.
class ParagraphFormatImpl final : public ParagraphFormat {
public:
    ParagraphFormatImpl(ModelPtr model, Area area) : model_(std::move(model)), area_(area) {}

    int Alignment() override {
        return readInt([&](pugi::xml_node p) {
            const std::string jc = model_->styles().paragraphProperty(p, "jc", "w:val").value_or("left");
            if (jc == "center") return wdAlignParagraphCenter;
            if (jc == "right" || jc == "end") return wdAlignParagraphRight;
            if (jc == "both" || jc == "mediumKashida" || jc == "highKashida" || jc == "lowKashida" ||
                jc == "thaiDistribute")
                return wdAlignParagraphJustify;
            if (jc == "distribute") return wdAlignParagraphDistribute;
            return wdAlignParagraphLeft;
        });
    }
    void SetAlignment(int alignment) override {
        static const char* names[] = {"left", "center", "right", "both", "distribute"};
        if (alignment < 0 || alignment > 4) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr) {
            wml::setAttr(model_->pool(), wml::ensure(model_->pool(), pPr, "jc", wml::Sequence::PPr), "w:val",
                         names[alignment]);
        });
    }
    float LineSpacing() override {
        return readFloat([&](pugi::xml_node p) { return wml::pointsOf(prop(p, "spacing", "w:line", "240"), 12.0f); });
    }
    void SetLineSpacing(float points) override {
        if (!(points >= 0.7f && points <= 1584.0f)) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr, pugi::xml_node p) {
            const std::string rule = model_->styles().paragraphProperty(p, "spacing", "w:lineRule").value_or("auto");
            pugi::xml_node spacing = wml::ensure(model_->pool(), pPr, "spacing", wml::Sequence::PPr);
            // Single and multiple spacing are kept in 240ths of a line: 12 points make one line.
            wml::setPoints(model_->pool(), spacing, "w:line", points);
            wml::setAttr(model_->pool(), spacing, "w:lineRule", rule == "exact" || rule == "atLeast" ? rule : "auto");
        });
    }
    int LineSpacingRule() override {
        return readInt([&](pugi::xml_node p) {
            const std::string rule = prop(p, "spacing", "w:lineRule", "auto");
            if (rule == "exact") return wdLineSpaceExactly;
            if (rule == "atLeast") return wdLineSpaceAtLeast;
            const long line = twips(wml::pointsOf(prop(p, "spacing", "w:line", "240"), 12.0f));
            return line == 240   ? wdLineSpaceSingle
                   : line == 360 ? wdLineSpace1pt5
                   : line == 480 ? wdLineSpaceDouble
                                 : wdLineSpaceMultiple;
        });
    }
    void SetLineSpacingRule(int rule) override {
        if (rule < 0 || rule > 5) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr, pugi::xml_node p) {
            pugi::xml_node spacing = wml::ensure(model_->pool(), pPr, "spacing", wml::Sequence::PPr);
            const long current = twips(wml::pointsOf(prop(p, "spacing", "w:line", "240"), 12.0f));
            switch (rule) {
                case wdLineSpaceSingle: wml::setAttr(model_->pool(), spacing, "w:line", "240"); break;
                case wdLineSpace1pt5: wml::setAttr(model_->pool(), spacing, "w:line", "360"); break;
                case wdLineSpaceDouble: wml::setAttr(model_->pool(), spacing, "w:line", "480"); break;
                default: wml::setTwips(model_->pool(), spacing, "w:line", current); break;
            }
            wml::setAttr(model_->pool(), spacing, "w:lineRule",
                         rule == wdLineSpaceExactly   ? "exact"
                         : rule == wdLineSpaceAtLeast ? "atLeast"
                                                      : "auto");
        });
    }
    float SpaceBefore() override { return readTwips("w:before"); }
    void SetSpaceBefore(float points) override { writeSpace(points, "w:before", "w:beforeLines"); }
    float SpaceAfter() override { return readTwips("w:after"); }
    void SetSpaceAfter(float points) override { writeSpace(points, "w:after", "w:afterLines"); }
    bool SpaceBeforeAuto() override { return readFlag("spacing", "w:beforeAutospacing"); }
    void SetSpaceBeforeAuto(bool value) override { writeFlag("w:beforeAutospacing", value); }
    bool SpaceAfterAuto() override { return readFlag("spacing", "w:afterAutospacing"); }
    void SetSpaceAfterAuto(bool value) override { writeFlag("w:afterAutospacing", value); }
    float LineUnitBefore() override { return readHundredths("spacing", "w:beforeLines"); }
    void SetLineUnitBefore(float lines) override { writeLines(lines, "w:beforeLines", "w:before"); }
    float LineUnitAfter() override { return readHundredths("spacing", "w:afterLines"); }
    void SetLineUnitAfter(float lines) override { writeLines(lines, "w:afterLines", "w:after"); }
    bool WordWrap() override {
        const auto& paragraphs = target();
        for (pugi::xml_node p : paragraphs) {
            pugi::xml_node e = model_->styles().paragraphElement(p, "wordWrap");
            if (e && !wml::onOff(e)) return false;
        }
        return true;
    }
    void SetWordWrap(bool value) override {
        write([&](pugi::xml_node pPr) {
            wml::setOnOff(model_->pool(), wml::ensure(model_->pool(), pPr, "wordWrap", wml::Sequence::PPr), value);
        });
    }
    float CharacterUnitLeftIndent() override { return readHundredths("ind", "w:leftChars"); }
    void SetCharacterUnitLeftIndent(float chars) override { writeChars(chars, "w:leftChars", "w:left"); }
    float CharacterUnitRightIndent() override { return readHundredths("ind", "w:rightChars"); }
    void SetCharacterUnitRightIndent(float chars) override { writeChars(chars, "w:rightChars", "w:right"); }
    float CharacterUnitFirstLineIndent() override {
        return readFloat([&](pugi::xml_node p) {
            const float hanging = wml::hundredthsOf(prop(p, "ind", "w:hangingChars", ""), 0.0f);
            if (hanging != 0.0f) return -hanging;
            return wml::hundredthsOf(prop(p, "ind", "w:firstLineChars", "0"), 0.0f);
        });
    }
    void SetCharacterUnitFirstLineIndent(float chars) override {
        if (!(chars >= -1584.0f && chars <= 1584.0f)) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr) {
            pugi::xml_node ind = wml::ensure(model_->pool(), pPr, "ind", wml::Sequence::PPr);
            const long hundredths = std::lround(chars * 100.0f);
            ind.remove_attribute("w:hangingChars");
            ind.remove_attribute("w:firstLineChars");
            if (hundredths < 0) {
                wml::setAttr(model_->pool(), ind, "w:hangingChars", std::to_string(-hundredths));
            } else {
                wml::setAttr(model_->pool(), ind, "w:firstLineChars", std::to_string(hundredths));
            }
            if (hundredths == 0) {
                // No indent in characters means no first-line indent at all.
                ind.remove_attribute("w:hanging");
                wml::setAttr(model_->pool(), ind, "w:firstLine", "0");
            }
        });
    }
    float LeftIndent() override { return readIndent("w:left", "w:start"); }
    void SetLeftIndent(float points) override {
        writeIndent(points, "w:left", "w:start", "w:leftChars", "w:startChars");
    }
    float RightIndent() override { return readIndent("w:right", "w:end"); }
    void SetRightIndent(float points) override {
        writeIndent(points, "w:right", "w:end", "w:rightChars", "w:endChars");
    }

private:
    // The paragraphs of the area, found once and kept while the text stays as it is: the run sets
    // several paragraph properties in a row on one ParagraphFormat.
    const std::vector<pugi::xml_node>& target() {
        model_->check();
        if (area_.kind == Area::Kind::Block) requireLive(*model_, area_.table);
        if (!paragraphsVersion_ || *paragraphsVersion_ != model_->textVersion()) {
            paragraphs_ = areaParagraphs(*model_, area_);
            paragraphsVersion_ = model_->textVersion();
        }
        return paragraphs_;
    }
    std::string prop(pugi::xml_node p, std::string_view element, const char* attribute, const char* fallback) {
        return model_->styles().paragraphProperty(p, element, attribute).value_or(fallback);
    }
    template <typename T>
    T readUniform(const std::function<T(pugi::xml_node)>& read) {
        Uniform<T> value;
        for (pugi::xml_node p : target())
            if (!value.add(read(p))) break;
        return value.value(static_cast<T>(wdUndefined));
    }
    int readInt(const std::function<int(pugi::xml_node)>& read) { return readUniform(read); }
    float readFloat(const std::function<float(pugi::xml_node)>& read) { return readUniform(read); }
    float readTwips(const char* attribute) {
        return readFloat([&](pugi::xml_node p) { return wml::pointsOf(prop(p, "spacing", attribute, "0"), 0.0f); });
    }
    float readHundredths(std::string_view element, const char* attribute) {
        return readFloat([&](pugi::xml_node p) { return wml::hundredthsOf(prop(p, element, attribute, "0"), 0.0f); });
    }
    float readIndent(const char* attribute, const char* alias) {
        return readFloat([&](pugi::xml_node p) {
            std::string v = prop(p, "ind", attribute, "");
            if (v.empty()) v = prop(p, "ind", alias, "0");
            return wml::pointsOf(v, 0.0f);
        });
    }
    bool readFlag(std::string_view element, const char* attribute) {
        const auto& paragraphs = target();
        for (pugi::xml_node p : paragraphs) {
            const std::string v = prop(p, element, attribute, "0");
            if (!(v == "1" || v == "true" || v == "on")) return false;
        }
        return !paragraphs.empty();
    }
    // Applies a change to every paragraph's properties, given as apply(pPr) or apply(pPr, p).
    template <typename Apply>
    void write(Apply&& apply) {
        const auto& paragraphs = target();
        for (pugi::xml_node p : paragraphs) {
            if constexpr (std::is_invocable_v<Apply&, pugi::xml_node, pugi::xml_node>)
                apply(wml::ensurePPr(model_->pool(), p), p);
            else
                apply(wml::ensurePPr(model_->pool(), p));
        }
        model_->formatChanged();
    }
    void writeSpace(float points, const char* attribute, const char* linesAttribute) {
        if (!(points >= 0.0f && points <= 1584.0f)) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr) {
            pugi::xml_node spacing = wml::ensure(model_->pool(), pPr, "spacing", wml::Sequence::PPr);
            wml::setPoints(model_->pool(), spacing, attribute, points);
            // A space in lines would override the one in points.
            spacing.remove_attribute(linesAttribute);
        });
    }
    void writeFlag(const char* attribute, bool value) {
        write([&](pugi::xml_node pPr) {
            wml::setAttr(model_->pool(), wml::ensure(model_->pool(), pPr, "spacing", wml::Sequence::PPr), attribute,
                         value ? "1" : "0");
        });
    }
    void writeLines(float lines, const char* linesAttribute, const char* pointsAttribute) {
        if (!(lines >= -1584.0f && lines <= 1584.0f)) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr) {
            pugi::xml_node spacing = wml::ensure(model_->pool(), pPr, "spacing", wml::Sequence::PPr);
            const long hundredths = std::lround(lines * 100.0f);
            wml::setAttr(model_->pool(), spacing, linesAttribute, std::to_string(hundredths));
            // Word also keeps the space in points, a line counting 12 points.
            wml::setAttr(model_->pool(), spacing, pointsAttribute, std::to_string(std::lround(lines * 240.0f)));
        });
    }
    void writeChars(float chars, const char* charsAttribute, const char* pointsAttribute) {
        if (!(chars >= -1584.0f && chars <= 1584.0f)) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr) {
            pugi::xml_node ind = wml::ensure(model_->pool(), pPr, "ind", wml::Sequence::PPr);
            const long hundredths = std::lround(chars * 100.0f);
            wml::setAttr(model_->pool(), ind, charsAttribute, std::to_string(hundredths));
            if (hundredths == 0) wml::setAttr(model_->pool(), ind, pointsAttribute, "0");
        });
    }
    void writeIndent(float points, const char* attribute, const char* alias, const char* charsAttribute,
                     const char* charsAlias) {
        if (!(points >= -1584.0f && points <= 1584.0f)) throw errors::valueOutOfRange();
        write([&](pugi::xml_node pPr) {
            pugi::xml_node ind = wml::ensure(model_->pool(), pPr, "ind", wml::Sequence::PPr);
            ind.remove_attribute(alias);
            ind.remove_attribute(charsAttribute);
            ind.remove_attribute(charsAlias);
            wml::setPoints(model_->pool(), ind, attribute, points);
        });
    }

    ModelPtr model_;
    Area area_;
    std::vector<pugi::xml_node> paragraphs_;
    std::optional<std::uint64_t> paragraphsVersion_;
};

}  // namespace

FontPtr makeFont(const ModelPtr& model, const Area& area) { return std::make_shared<FontImpl>(model, area); }
ParagraphFormatPtr makeParagraphFormat(const ModelPtr& model, const Area& area) {
    return std::make_shared<ParagraphFormatImpl>(model, area);
}

}  // namespace automation::ooxml
