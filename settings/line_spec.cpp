#include "settings/line_spec.h"

#include <algorithm>

namespace settings {

LineSpec defaultLineSpec() { return LineSpec{"1", "8"}; }

LineSpec& EdgeLines::of(EdgeGroup group) {
    switch (group) {
        case EdgeGroup::TopBottom: return TopBottomLine;
        case EdgeGroup::LeftRight: return LeftRightLine;
        case EdgeGroup::Inner: break;
    }
    return InnerLine;
}

const LineSpec& EdgeLines::of(EdgeGroup group) const { return const_cast<EdgeLines*>(this)->of(group); }

namespace {

struct SampleLine {
    std::string_view width;
    std::string_view image;
};

// The sample columns of a frame, top to bottom. The same image serves the same line in every frame.
constexpr std::array<SampleLine, 7> kSingleLines = {{{"2", "Picture1"},
                                                     {"4", "Picture2"},
                                                     {"6", "Picture4"},
                                                     {"8", "Picture5"},
                                                     {"12", "Picture6"},
                                                     {"18", "Picture7"},
                                                     {"24", "Picture8"}}};
constexpr std::array<SampleLine, 7> kDottedLines = {{{"2", "Picture9"},
                                                     {"4", "Picture10"},
                                                     {"6", "Picture11"},
                                                     {"8", "Picture12"},
                                                     {"12", "Picture13"},
                                                     {"18", "Picture14"},
                                                     {"24", "Picture15"}}};
constexpr std::array<SampleLine, 4> kDoubleLines = {
    {{"2", "Picture16"}, {"4", "Picture17"}, {"6", "Picture18"}, {"12", "Picture20"}}};
constexpr std::string_view kBlankImage = "Picture24";

// Option button names, in on-screen order (single column, dotted column, double column, "不显示").
constexpr std::array<std::string_view, 18> kTopBottomNames = {
    "Option1",  "Option2",  "Option3",  "Option4",  "Option5",  "Option6",  "Option7",  "Option8",  "Option9",
    "Option10", "Option11", "Option12", "Option13", "Option14", "Option15", "Option16", "Option17", "Option18"};
constexpr std::array<std::string_view, 19> kLeftRightNames = {
    "Option38", "Option37", "Option36", "Option35", "Option34", "Option33", "Option32",
    "Option31", "Option30", "Option29", "Option28", "Option27", "Option26", "Option25",
    "Option24", "Option23", "Option22", "Option21", "Option20"};
constexpr std::array<std::string_view, 14> kInnerNames = {"Option39", "Option40", "Option41", "Option42", "Option43",
                                                          "Option44", "Option45", "Option46", "Option47", "Option48",
                                                          "Option49", "Option50", "Option51", "Option52"};

template <std::size_t N>
void addColumn(std::vector<PickerOption>& out, const std::string_view* names, std::size_t& next, EdgeGroup group,
               SampleColumn column, std::string_view style, const std::array<SampleLine, N>& lines) {
    int row = 1;
    for (const SampleLine& line : lines) {
        out.push_back(PickerOption{names[next++], group, column, row++, style, line.width, line.image});
    }
}

std::vector<PickerOption> makeOptions() {
    std::vector<PickerOption> out;
    std::size_t next = 0;
    addColumn(out, kTopBottomNames.data(), next, EdgeGroup::TopBottom, SampleColumn::Single, "1", kSingleLines);
    addColumn(out, kTopBottomNames.data(), next, EdgeGroup::TopBottom, SampleColumn::Dotted, "2", kDottedLines);
    addColumn(out, kTopBottomNames.data(), next, EdgeGroup::TopBottom, SampleColumn::Double, "7", kDoubleLines);
    next = 0;
    addColumn(out, kLeftRightNames.data(), next, EdgeGroup::LeftRight, SampleColumn::Single, "1", kSingleLines);
    addColumn(out, kLeftRightNames.data(), next, EdgeGroup::LeftRight, SampleColumn::Dotted, "2", kDottedLines);
    addColumn(out, kLeftRightNames.data(), next, EdgeGroup::LeftRight, SampleColumn::Double, "7", kDoubleLines);
    // "不显示": no line; the group keeps its width.
    out.push_back(PickerOption{kLeftRightNames[next], EdgeGroup::LeftRight, SampleColumn::NoLine, 1, "", std::nullopt,
                               kBlankImage});
    next = 0;
    addColumn(out, kInnerNames.data(), next, EdgeGroup::Inner, SampleColumn::Single, "1", kSingleLines);
    addColumn(out, kInnerNames.data(), next, EdgeGroup::Inner, SampleColumn::Dotted, "2", kDottedLines);
    return out;
}

// Point texts of the offered widths, as the samples print them.
struct WidthText {
    std::string_view width;
    double points;
    std::string_view label;
};
constexpr std::array<WidthText, 7> kWidthTexts = {{{"2", 0.25, "¼ 磅"},
                                                   {"4", 0.5, "½ 磅"},
                                                   {"6", 0.75, "¾ 磅"},
                                                   {"8", 1.0, "1 磅"},
                                                   {"12", 1.5, "1 ½ 磅"},
                                                   {"18", 2.25, "2 ¼ 磅"},
                                                   {"24", 3.0, "3 磅"}}};

const WidthText* findWidth(std::string_view width) {
    const auto it = std::find_if(kWidthTexts.begin(), kWidthTexts.end(),
                                 [&](const WidthText& entry) { return entry.width == width; });
    return it == kWidthTexts.end() ? nullptr : &*it;
}

std::vector<SampleImage> makeSampleImages() {
    std::vector<SampleImage> out;
    for (const PickerOption& option : pickerOptions()) {
        if (option.group != EdgeGroup::LeftRight) {
            continue;  // the left/right frame shows every image exactly once
        }
        if (!option.width) {
            out.push_back(SampleImage{option.sampleImage, "", "", 0.0, ""});
            continue;
        }
        const WidthText* width = findWidth(*option.width);
        out.push_back(SampleImage{option.sampleImage, option.style, *option.width, width->points, width->label});
    }
    return out;
}

}  // namespace

const std::vector<PickerOption>& pickerOptions() {
    static const std::vector<PickerOption> options = makeOptions();
    return options;
}

std::vector<const PickerOption*> pickerOptionsOf(EdgeGroup group) {
    std::vector<const PickerOption*> out;
    for (const PickerOption& option : pickerOptions()) {
        if (option.group == group) {
            out.push_back(&option);
        }
    }
    return out;
}

const PickerOption* findPickerOption(std::string_view name) {
    const auto& options = pickerOptions();
    const auto it =
        std::find_if(options.begin(), options.end(), [&](const PickerOption& option) { return option.name == name; });
    return it == options.end() ? nullptr : &*it;
}

void applyPreset(const PickerOption& option, LineSpec& line) {
    line.style = std::string(option.style);
    if (option.width) {
        line.width = std::string(*option.width);
    }
}

const PickerOption* applyPickerOption(std::string_view name, EdgeLines& lines) {
    const PickerOption* option = findPickerOption(name);
    if (option != nullptr) {
        applyPreset(*option, lines.of(option->group));
    }
    return option;
}

std::string_view edgeGroupCaption(EdgeGroup group) {
    switch (group) {
        case EdgeGroup::TopBottom: return "上下边框";
        case EdgeGroup::LeftRight: return "左右边框";
        case EdgeGroup::Inner: break;
    }
    return "内横竖线";
}

Field edgeGroupField(EdgeGroup group) {
    switch (group) {
        case EdgeGroup::TopBottom: return Field::TopBottomLine;
        case EdgeGroup::LeftRight: return Field::LeftRightLine;
        case EdgeGroup::Inner: break;
    }
    return Field::InnerLine;
}

std::string_view sampleTooltip(EdgeGroup group, SampleColumn column) {
    if (column == SampleColumn::Single && group == EdgeGroup::TopBottom) {
        return "点击图片可以关闭窗体\r\n";
    }
    if (column == SampleColumn::Single || column == SampleColumn::Dotted) {
        return "双击关闭窗体";
    }
    return "";
}

const std::vector<SampleImage>& sampleImages() {
    static const std::vector<SampleImage> images = makeSampleImages();
    return images;
}

const SampleImage* findSampleImage(std::string_view name) {
    const auto& images = sampleImages();
    const auto it =
        std::find_if(images.begin(), images.end(), [&](const SampleImage& image) { return image.name == name; });
    return it == images.end() ? nullptr : &*it;
}

const SampleImage* sampleImageFor(const LineSpec& line) {
    if (line.style.empty()) {
        return findSampleImage(kBlankImage);
    }
    const auto& images = sampleImages();
    const auto it = std::find_if(images.begin(), images.end(), [&](const SampleImage& image) {
        return !image.style.empty() && image.style == line.style && image.width == line.width;
    });
    return it == images.end() ? nullptr : &*it;
}

}  // namespace settings
