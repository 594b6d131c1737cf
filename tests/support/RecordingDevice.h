#pragma once
// Records what a page draws, and where; a line is the font's height (30 by default) plus 4.

#include <algorithm>
#include <ranges>
#include <vector>

#include "pages/DrawingDevice.h"

namespace almanary::testing {

struct Drawn {
    enum class Kind { Text, Wrapped, Frame };
    Kind kind = Kind::Text;
    int page = 0;  // 1-based; 0 before the first startPage
    // A text's corner, with right the limit it is cut at (-1: none); a box or frame's rectangle.
    PageRect box;
    std::string text;
    FontSpec font;
    int thickness = 0;  // frames
    bool operator==(const Drawn&) const = default;
};

class RecordingDevice : public DrawingDevice {
public:
    static constexpr int kLeading = 4;

    RecordingDevice(int width, int height) : width_(width), height_(height) {}

    int pageWidth() const override { return width_; }
    int pageHeight() const override { return height_; }
    FontSpec selectFont(const FontSpec& next) override { return std::exchange(font, next); }
    int lineHeight() const override { return (font.height > 0 ? font.height : 30) + kLeading; }
    void drawText(int x, int y, std::string_view text) override {
        record(Drawn::Kind::Text, {x, y, -1, y}, text);
    }
    void drawTextWithin(int x, int y, int right, std::string_view text) override {
        record(Drawn::Kind::Text, {x, y, right, y}, text);
    }
    void drawWrappedText(const PageRect& box, std::string_view text) override {
        record(Drawn::Kind::Wrapped, box, text);
    }
    void frameRect(const PageRect& box, int thickness) override {
        record(Drawn::Kind::Frame, box, {}).thickness = thickness;
    }
    bool startPage() override { return ++pagesStarted != failingPage; }
    bool endPage() override { return ++pagesEnded, true; }

    // What was drawn on one page (0: drawn outside any page).
    std::vector<Drawn> on(int page, Drawn::Kind kind) const {
        std::vector<Drawn> found;
        std::ranges::copy_if(drawn, std::back_inserter(found),
                             [&](const Drawn& d) { return d.page == page && d.kind == kind; });
        return found;
    }
    std::vector<std::string> textsOn(int page, Drawn::Kind kind = Drawn::Kind::Text) const {
        const auto texts = on(page, kind) | std::views::transform(&Drawn::text);
        return {texts.begin(), texts.end()};
    }
    bool drew(const Drawn& item) const { return std::ranges::find(drawn, item) != drawn.end(); }

    std::vector<Drawn> drawn;
    int pagesStarted = 0, pagesEnded = 0;
    int failingPage = 0;  // the page whose start fails; 0 for none
    FontSpec font;        // the font selected now

private:
    Drawn& record(Drawn::Kind kind, const PageRect& box, std::string_view text) {
        return drawn.emplace_back(Drawn{kind, pagesStarted, box, std::string(text), font, 0});
    }

    int width_, height_;
};

}  // namespace almanary::testing
