// The classic look, in the colours of the platform's default scheme: a raised frame, a caption bar
// with a close box, etched group boxes, sunken check boxes and slider channels, raised buttons,
// thumbs, tabs and tab pane.
#include "desktop/painter.h"

#include <algorithm>

#include "desktop/icon.h"

namespace desktop {
namespace {

using headless::WindowInfo;

constexpr Colour kFace = 0xF5F5F5;
constexpr Colour kLight = 0xE3E3E3;
constexpr Colour kHighlight = 0xFFFFFF;
constexpr Colour kShadow = 0xA6A6A6;
constexpr Colour kDarkShadow = 0x6A6A6A;
constexpr Colour kText = 0x000000;
constexpr Colour kGrayText = 0xA0A0A0;
constexpr Colour kWindow = 0xFFFFFF;
constexpr Colour kCaption = 0x3296FA;
constexpr Colour kCaptionInactive = 0x808080;
constexpr Colour kCaptionTextInactive = 0xC8C8C8;
constexpr Colour kDefaultRing = 0x9E9E9E;  // around the default push button
constexpr int kCheckSize = 13;

RECT Inflate(RECT r, int dx, int dy) {
    return RECT{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy};
}

// The two rings of a raised frame, button or thumb; sunken swaps them.
void Raised(Pixels* p, const RECT& r, bool sunken) {
    if (sunken) {
        p->Edge(r, kDarkShadow, kHighlight);
        p->Edge(Inflate(r, -1, -1), kShadow, kLight);
    } else {
        p->Edge(r, kLight, kDarkShadow);
        p->Edge(Inflate(r, -1, -1), kHighlight, kShadow);
    }
}

class PixelPainter : public headless::Painter {
  public:
    PixelPainter(Pixels* pixels, const Font& font, const WindowInfo& top)
        : p_(*pixels), font_(font), origin_{top.rect.left, top.rect.top} {}

    void Frame(const WindowInfo& w) override {
        RECT all = Local(w.rect);
        p_.Clip(all);
        p_.Fill(all, kFace);
        Raised(&p_, all, false);
        if ((w.style & WS_CAPTION) != WS_CAPTION)
            return;
        RECT client = Local(w.client);
        RECT bar{client.left, client.top - 19, client.right, client.top - 1};
        p_.Fill(bar, w.active ? kCaption : kCaptionInactive);
        p_.Clip(RECT{bar.left, bar.top, Local(w.closeBox).left - 1, bar.bottom});
        // Message boxes have no icon of their own; other windows show the program's.
        int textLeft = bar.left + 2;
        if (!headless::IsMessageBox(w.hwnd)) {
            DrawSmallIcon(&p_, bar.left + 2, bar.top + 2);
            textLeft = bar.left + 19;
        }
        font_.Draw(&p_, textLeft, bar.top + 3, headless::WithoutMnemonics(w.text),
                   w.active ? kText : kCaptionTextInactive, true);
        p_.Clip(all);
        if (w.closeBox.right > w.closeBox.left)
            CloseBox(Local(w.closeBox));
    }

    void GroupBox(const WindowInfo& w) override {
        RECT r = Begin(w);
        p_.Fill(r, kFace);
        int lineY = r.top + font_.Height() / 2 - 1;
        RECT box{r.left, lineY, r.right, r.bottom};
        p_.Edge(RECT{box.left + 1, box.top + 1, box.right, box.bottom}, kHighlight, kHighlight);
        p_.Edge(RECT{box.left, box.top, box.right - 1, box.bottom - 1}, kShadow, kShadow);
        std::string title = headless::WithoutMnemonics(w.text);
        if (title.empty())
            return;
        int x = r.left + 9;
        p_.Fill(RECT{x - 2, r.top, x + font_.Width(title) + 2, r.top + font_.Height()}, kFace);
        font_.Draw(&p_, x, r.top, title, w.enabled ? kText : kGrayText);
    }

    void PushButton(const WindowInfo& w) override {
        RECT r = Begin(w);
        bool isDefault = (w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        const own::ButtonInfo* state = headless::Button(w.hwnd);
        bool pushed = state && state->pushed;
        p_.Fill(r, kFace);
        RECT face = r;
        if (isDefault) {
            p_.Edge(r, kDefaultRing, kDefaultRing);
            face = Inflate(r, -1, -1);
        }
        Raised(&p_, face, pushed);
        RECT text = Inflate(face, -2, -2);
        if (pushed)
            text = RECT{text.left + 1, text.top + 1, text.right + 1, text.bottom + 1};
        TextIn(text, w.text, w.enabled ? kText : kGrayText, true);
        if (w.focused)
            p_.FocusRect(Inflate(face, -2, -2), POINT{r.left, r.top});
    }

    void CheckBox(const WindowInfo& w) override {
        RECT r = Begin(w);
        const own::ButtonInfo* state = headless::Button(w.hwnd);
        if (!state)
            return;
        p_.Fill(r, kFace);
        int top = r.top + (r.bottom - r.top - kCheckSize) / 2 - 1;
        RECT box{r.left, top, r.left + kCheckSize, top + kCheckSize};
        p_.Fill(box, state->pushed ? kFace : kWindow);  // grey while the mouse holds it
        Sunken(box);
        if (state->check == BST_CHECKED) {
            static const char* const kTick[] = {"......#", ".....##", "....###", "#..###.",
                                                "#####..", "####...", ".##...."};
            for (int y = 0; y < 7; ++y) {
                for (int x = 0; x < 7; ++x) {
                    if (kTick[y][x] == '#')
                        p_.Put(box.left + 3 + x, box.top + 3 + y, kText);
                }
            }
        }
        RECT text{box.right + 4, r.top, r.right, r.bottom};
        std::string label = headless::WithoutMnemonics(w.text);
        int textTop = r.top + (r.bottom - r.top - font_.Height()) / 2;
        font_.Draw(&p_, text.left, textTop, label, w.enabled ? kText : kGrayText);
        // Around the caption's box, which is a pixel wider than the text on either side and three
        // taller above and below, inside the control.
        if (w.focused) {
            RECT mark{text.left - 1, std::max(textTop - 3, static_cast<int>(r.top)),
                      std::min(text.left + font_.Width(label) + 1, static_cast<int>(r.right)),
                      std::min(textTop + font_.Height() + 3, static_cast<int>(r.bottom))};
            p_.FocusRect(mark, POINT{r.left, r.top});
        }
    }

    void Static(const WindowInfo& w) override {
        RECT r = Begin(w);
        p_.Fill(r, kFace);
        bool centreImage = (w.style & SS_CENTERIMAGE) != 0;
        RECT text = r;
        if (centreImage) {
            int y = r.top + (r.bottom - r.top - font_.Height() + 1) / 2;
            text = RECT{r.left, y, r.right, y + font_.Height()};
        }
        TextIn(text, w.text, w.enabled ? kText : kGrayText, false);
    }

    void Slider(const WindowInfo& w) override {
        RECT r = Begin(w);
        p_.Fill(r, kFace);
        const own::TrackbarInfo* s = headless::Trackbar(w.hwnd);
        if (!s)
            return;
        RECT channel = Local(headless::OnScreen(w, s->channel));
        Sunken(channel);
        RECT thumb = Local(headless::OnScreen(w, s->thumb));
        // The ticks stand above the channel only, also for sliders that ask for both sides.
        if (s->max >= s->min && s->max - s->min <= (r.right - r.left)) {
            for (int pos = s->min; pos <= s->max; ++pos) {
                int x = LocalX(headless::SliderPointFor(w.hwnd, pos).x);
                p_.VLine(x, thumb.top - 5, thumb.top - 1, kDarkShadow);
            }
        }
        p_.Fill(thumb, kFace);
        Raised(&p_, thumb, false);
        if (w.focused)
            p_.FocusRect(r, POINT{r.left, r.top});
    }

    void Tabs(const WindowInfo& w) override {
        RECT r = Begin(w);
        p_.Fill(r, kFace);
        const own::TabInfo* s = headless::Tabs(w.hwnd);
        if (!s)
            return;
        auto local = [&](const own::TabItem& item) {
            return Local(headless::OnScreen(w, item.rect));
        };
        int paneTop = r.top;
        for (const own::TabItem& item : s->items)
            paneTop = std::max(paneTop, static_cast<int>(local(item).bottom));
        RECT pane{r.left, paneTop, r.right, r.bottom};
        p_.Edge(pane, kHighlight, kDarkShadow);
        p_.Edge(Inflate(pane, -1, -1), kLight, kShadow);
        for (std::size_t i = 0; i < s->items.size(); ++i) {
            if (static_cast<int>(i) != s->selected)
                Tab(local(s->items[i]), s->items[i].text);
        }
        // The selected tab stands out by two pixels and opens into the pane.
        if (s->selected >= 0 && static_cast<std::size_t>(s->selected) < s->items.size()) {
            const own::TabItem& selected = s->items[static_cast<std::size_t>(s->selected)];
            RECT item = local(selected);
            RECT raised{item.left - 2, item.top - 2, item.right + 2, item.bottom + 2};
            p_.Fill(raised, kFace);
            Tab(raised, selected.text);
            if (w.focused)
                p_.FocusRect(Inflate(item, -1, -1), POINT{r.left, r.top});
        }
    }

  private:
    RECT Local(const RECT& r) const {
        return RECT{r.left - origin_.x, r.top - origin_.y, r.right - origin_.x,
                    r.bottom - origin_.y};
    }
    int LocalX(int x) const { return x - static_cast<int>(origin_.x); }
    // A control draws inside its own rectangle.
    RECT Begin(const WindowInfo& w) {
        RECT r = Local(w.rect);
        p_.Clip(r);
        return r;
    }

    // A sunken well: a check box, the slider's channel.
    void Sunken(const RECT& r) {
        p_.Edge(r, kShadow, kHighlight);
        p_.Edge(Inflate(r, -1, -1), kDarkShadow, kLight);
    }

    void CloseBox(const RECT& r) {
        p_.Fill(r, kFace);
        Raised(&p_, r, false);
        // The cross, with the soft pixels at its arms' ends.
        static const char* const kCross[] = {"=*....*=", "*#*..*#*", ".*#**#*.", "..*##*..",
                                             "..*##*..", ".*#**#*.", "*#*..*#*", "=*....*="};
        int x0 = r.left + 4, y0 = r.top + 3;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                char c = kCross[y][x];
                if (c != '.')
                    p_.Put(x0 + x, y0 + y, c == '#' ? kText : c == '*' ? 0xA0A0A0 : 0x636363);
            }
        }
    }

    void TextIn(const RECT& r, const std::string& text, Colour colour, bool centre) {
        std::vector<std::string> lines = headless::TextLines(headless::WithoutMnemonics(text));
        int height = font_.Height() * static_cast<int>(lines.size());
        int y = centre ? r.top + (r.bottom - r.top - height) / 2 : r.top;
        for (const std::string& line : lines) {
            int x = centre ? r.left + (r.right - r.left - font_.Width(line)) / 2 : r.left;
            font_.Draw(&p_, x, y, line, colour);
            y += font_.Height();
        }
    }

    // A tab's raised edges on three sides, the top corners cut.
    void Tab(const RECT& r, const std::string& text) {
        p_.VLine(r.left, r.top + 2, r.bottom, kHighlight);
        p_.Put(r.left + 1, r.top + 1, kHighlight);
        p_.HLine(r.left + 2, r.right - 2, r.top, kHighlight);
        p_.VLine(r.left + 1, r.top + 2, r.bottom, kLight);
        p_.HLine(r.left + 2, r.right - 2, r.top + 1, kLight);
        p_.VLine(r.right - 1, r.top + 2, r.bottom, kDarkShadow);
        p_.Put(r.right - 2, r.top + 1, kDarkShadow);
        p_.VLine(r.right - 2, r.top + 2, r.bottom, kShadow);
        TextIn(RECT{r.left, r.top + 2, r.right, r.bottom}, text, kText, true);
    }

    Pixels& p_;
    const Font& font_;
    POINT origin_;
};

}  // namespace

Pixels Paint(const headless::TopLevel& top, const Font& font) {
    const RECT& r = top.window.rect;
    Pixels pixels(r.right - r.left, r.bottom - r.top);
    PixelPainter painter(&pixels, font, top.window);
    headless::Paint(top, &painter);
    return pixels;
}

}  // namespace desktop
