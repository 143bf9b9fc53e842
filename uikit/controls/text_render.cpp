#include "uikit/controls/text_render.h"

#include <algorithm>
#include <cwchar>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "uikit/controls/formatted_text.h"
#include "uikit/core/render.h"
#include "uikit/core/window_manager.h"
#include "uikit/markup/attr_values.h"
#include "uikit/markup/image_draw.h"

namespace UiKit {

UINT ApplyAlignWords(UINT style, const wchar_t* value) {
    if (!value) return style;
    if (wcsstr(value, L"left")) style &= ~(DT_CENTER | DT_RIGHT | DT_BOTTOM);
    if (wcsstr(value, L"center")) {
        style &= ~(DT_RIGHT | DT_BOTTOM);
        style |= DT_CENTER;
    }
    if (wcsstr(value, L"right")) {
        style &= ~(DT_CENTER | DT_BOTTOM);
        style |= DT_RIGHT;
    }
    if (wcsstr(value, L"top")) style &= ~(DT_RIGHT | DT_VCENTER | DT_BOTTOM);
    if (wcsstr(value, L"bottom")) {
        style &= ~(DT_RIGHT | DT_VCENTER);
        style |= DT_BOTTOM;
    }
    return style;
}

UINT ApplyEndEllipsis(UINT style, const wchar_t* value) {
    if (ParseBool(value)) return style | DT_END_ELLIPSIS;
    return style & ~DT_END_ELLIPSIS;
}

DWORD ResolveTextColor(CUIWindowManager* manager, DWORD color, bool disabled) {
    if (color != 0) return color;
    if (!manager) return disabled ? 0xFFA7A6AA : 0xFF000000;
    return disabled ? manager->GetDefaultDisabledColor() : manager->GetDefaultFontColor();
}

namespace {

// Fonts derived from the window's fonts for one drawing; freed with it.
class FontSet {
public:
    FontSet(CUIWindowManager* manager) : manager_(manager) {}
    ~FontSet() {
        for (auto& f : made_) DeleteObject(f.second);
    }
    HFONT Get(int index, bool bold, bool italic, bool underline) {
        HFONT base = manager_ ? manager_->GetFont(index) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        LOGFONTW lf = {};
        if (!base || !GetObjectW(base, sizeof(lf), &lf)) return base;
        bool needBold = bold && lf.lfWeight < FW_BOLD;
        bool needItalic = italic && !lf.lfItalic;
        bool needUnderline = underline && !lf.lfUnderline;
        if (!needBold && !needItalic && !needUnderline) return base;
        auto key = std::make_tuple(index, needBold, needItalic, needUnderline);
        auto it = made_.find(key);
        if (it != made_.end()) return it->second;
        if (needBold) lf.lfWeight = FW_BOLD;
        if (needItalic) lf.lfItalic = TRUE;
        if (needUnderline) lf.lfUnderline = TRUE;
        HFONT f = CreateFontIndirectW(&lf);
        if (!f) return base;
        made_[key] = f;
        return f;
    }

private:
    CUIWindowManager* manager_;
    std::map<std::tuple<int, bool, bool, bool>, HFONT> made_;
};

struct Piece {
    bool image = false;
    CUIString text;
    HFONT font = nullptr;
    DWORD color = 0;
    bool selected = false;
    int link = -1;
    int line = 0;
    int x = 0;
    int width = 0;
    int height = 0;
    int ascent = 0;
    const UIImageInfo* imageInfo = nullptr;
    RECT source = {0, 0, 0, 0};
};

// Text on a line shares one baseline; images are centred on the line, so an
// icon beside a title does not push the text's descenders out of the row.
struct Line {
    int width = 0;
    int ascent = 0;       // of the text pieces
    int descent = 0;
    int imageHeight = 0;  // the tallest image
    int height = 0;       // set when the line is finished
    int textTop = 0;      // where the text's ascent starts within the line
    int gapBefore = 0;
    int fixedHeight = 0;  // from a "y" tag active on the line
};

struct State {
    std::vector<int> fonts;
    int bold = 0, italic = 0, underline = 0, selected = 0;
    std::vector<DWORD> colors;
    std::vector<int> links;
    std::vector<int> lineHeights;
};

class Layout {
public:
    Layout(HDC hdc, CUIWindowManager* manager, const RECT& rc, const FormattedDrawParams& params)
        : hdc_(hdc), manager_(manager), rc_(rc), params_(params), fonts_(manager) {
        state_.fonts.push_back(params.font);
        state_.colors.push_back(params.color);
        lines_.push_back(Line{});
        // An end ellipsis cuts a line that is too long instead of wrapping it.
        wrap_ = !(params.style & (DT_SINGLELINE | DT_END_ELLIPSIS));
    }

    void Run(const std::vector<FormattedToken>& tokens) {
        for (const FormattedToken& t : tokens) {
            if (t.kind == FormattedToken::kText) AddText(t.text);
            else if (t.kind == FormattedToken::kOpen) Open(t);
            else Close(t.tag);
        }
        FinishLine();
    }

    // Ends every line wider than the rectangle in an ellipsis.
    void CutLongLines();
    // A layout kept from an earlier drawing, to be drawn on dc into rc (of
    // the width it was laid out for).
    void Rebind(HDC hdc, const RECT& rc, bool measureOnly) {
        hdc_ = hdc;
        rc_ = rc;
        params_.measureOnly = measureOnly;
    }
    SIZE Draw(std::vector<TextLink>* links);

private:
    HFONT CurrentFont() {
        return fonts_.Get(state_.fonts.back(), state_.bold > 0, state_.italic > 0, state_.underline > 0);
    }
    DWORD CurrentColor() const {
        if (!state_.links.empty()) {
            if (state_.links.back() == params_.hotLink)
                return manager_ ? manager_->GetDefaultLinkHoverFontColor() : 0xFFD3215F;
            return manager_ ? manager_->GetDefaultLinkFontColor() : 0xFF0000FF;
        }
        return state_.colors.back();
    }
    int Width() const { return rc_.right - rc_.left; }

    void NewLine(int gap = 0) {
        FinishLine();
        lines_.push_back(Line{});
        lines_.back().gapBefore = gap;
        x_ = 0;
    }
    void FinishLine() {
        Line& line = lines_.back();
        if (line.ascent + line.descent == 0 && line.imageHeight == 0) {
            TEXTMETRICW tm = Metrics(CurrentFont());
            line.ascent = tm.tmAscent;
            line.descent = tm.tmHeight - tm.tmAscent;
        }
        if (!state_.lineHeights.empty() && state_.lineHeights.back() > 0) line.fixedHeight = state_.lineHeights.back();
        int text = line.ascent + line.descent;
        line.height = line.fixedHeight > 0 ? line.fixedHeight : std::max(text, line.imageHeight);
        line.textTop = (line.height - text) / 2;
    }
    TEXTMETRICW Metrics(HFONT font) {
        TEXTMETRICW tm = {};
        HGDIOBJ old = SelectObject(hdc_, font);
        GetTextMetricsW(hdc_, &tm);
        SelectObject(hdc_, old);
        return tm;
    }

    void AddPiece(Piece p) {
        p.line = static_cast<int>(lines_.size()) - 1;
        p.x = x_;
        x_ += p.width;
        Line& line = lines_.back();
        line.width = x_;
        if (p.image) {
            line.imageHeight = std::max(line.imageHeight, p.height);
        } else {
            line.ascent = std::max(line.ascent, p.ascent);
            line.descent = std::max(line.descent, p.height - p.ascent);
        }
        if (!state_.lineHeights.empty() && state_.lineHeights.back() > 0) line.fixedHeight = state_.lineHeights.back();
        pieces_.push_back(std::move(p));
    }

    void AddText(const CUIString& text) {
        size_t start = 0;
        while (start <= text.size()) {
            size_t nl = text.find(L'\n', start);
            CUIString part = text.substr(start, nl == CUIString::npos ? CUIString::npos : nl - start);
            AddRun(part);
            if (nl == CUIString::npos) break;
            NewLine();
            start = nl + 1;
        }
    }

    void AddRun(CUIString run) {
        HFONT font = CurrentFont();
        TEXTMETRICW tm = Metrics(font);
        HGDIOBJ old = SelectObject(hdc_, font);
        while (!run.empty()) {
            SIZE size = {0, 0};
            int fit = static_cast<int>(run.size());
            int room = Width() - x_;
            if (wrap_) {
                GetTextExtentExPointW(hdc_, run.c_str(), static_cast<int>(run.size()), std::max(room, 0), &fit,
                                      nullptr, &size);
            }
            size_t take = run.size();
            if (wrap_ && fit < static_cast<int>(run.size())) {
                size_t space = fit > 0 ? run.rfind(L' ', static_cast<size_t>(fit - 1)) : CUIString::npos;
                if (space != CUIString::npos) {
                    take = space + 1;
                } else if (x_ > 0) {
                    NewLine();
                    continue;
                } else {
                    take = static_cast<size_t>(std::max(fit, 1));
                }
            }
            Piece p;
            p.text = run.substr(0, take);
            GetTextExtentPoint32W(hdc_, p.text.c_str(), static_cast<int>(p.text.size()), &size);
            p.font = font;
            p.color = CurrentColor();
            p.selected = state_.selected > 0;
            p.link = state_.links.empty() ? -1 : state_.links.back();
            p.width = size.cx;
            p.height = tm.tmHeight;
            p.ascent = tm.tmAscent;
            AddPiece(std::move(p));
            run.erase(0, take);
            if (!run.empty()) NewLine();
        }
        SelectObject(hdc_, old);
    }

    void AddImage(const CUIString& arg) {
        ImageTagArg a = ParseImageTagArg(arg);
        std::vector<ImageDrawItem> items = ParseImageDescription(a.image.c_str());
        if (items.empty() || !manager_) return;
        const ImageDrawItem& item = items.front();
        const UIImageInfo* info = manager_->GetImageEx(item.name, item.resType, item.mask);
        if (!info || info->width <= 0 || info->height <= 0) return;
        RECT src = item.source;
        if (IsRectEmpty(&src)) src = RECT{0, 0, info->width, info->height};
        src.right = std::min<LONG>(src.right, info->width);
        src.bottom = std::min<LONG>(src.bottom, info->height);
        int frameWidth = (src.right - src.left) / a.frames;
        if (frameWidth <= 0 || src.bottom <= src.top) return;
        src.left += frameWidth * a.frame;
        src.right = src.left + frameWidth;
        if (wrap_ && x_ > 0 && x_ + frameWidth > Width()) NewLine();
        Piece p;
        p.image = true;
        p.imageInfo = info;
        p.source = src;
        p.width = frameWidth;
        p.height = src.bottom - src.top;
        p.ascent = p.height;
        p.link = state_.links.empty() ? -1 : state_.links.back();
        AddPiece(std::move(p));
    }

    void Open(const FormattedToken& t) {
        switch (t.tag) {
        case L'b': ++state_.bold; break;
        case L'u': ++state_.underline; break;
        case L's': ++state_.selected; break;
        case L'i':
            if (t.text.empty()) ++state_.italic;
            else AddImage(t.text);
            break;
        case L'a':
            state_.links.push_back(linkCount_++);
            linkTargets_.push_back(t.text);
            break;
        case L'c': state_.colors.push_back(ParseColor(t.text.c_str(), true) | 0xFF000000); break;
        case L'f': state_.fonts.push_back(static_cast<int>(ParseInt(t.text.c_str()))); break;
        case L'n': NewLine(); break;
        case L'p': NewLine(std::max(0L, ParseInt(t.text.c_str()))); break;
        case L'x': x_ += std::max(0L, std::min(ParseInt(t.text.c_str()), 10000L)); break;
        case L'y': state_.lineHeights.push_back(std::max(0L, std::min(ParseInt(t.text.c_str()), 10000L))); break;
        default: break;
        }
    }

    void Close(wchar_t tag) {
        switch (tag) {
        case L'b': if (state_.bold) --state_.bold; break;
        case L'u': if (state_.underline) --state_.underline; break;
        case L's': if (state_.selected) --state_.selected; break;
        case L'i': if (state_.italic) --state_.italic; break;
        case L'a': if (!state_.links.empty()) state_.links.pop_back(); break;
        case L'c': if (state_.colors.size() > 1) state_.colors.pop_back(); break;
        case L'f': if (state_.fonts.size() > 1) state_.fonts.pop_back(); break;
        case L'p': if (x_ > 0) NewLine(); break;
        case L'y': if (!state_.lineHeights.empty()) state_.lineHeights.pop_back(); break;
        default: break;
        }
    }

    HDC hdc_;
    CUIWindowManager* manager_;
    RECT rc_;
    FormattedDrawParams params_;
    FontSet fonts_;
    State state_;
    std::vector<Piece> pieces_;
    std::vector<Line> lines_;
    std::vector<CUIString> linkTargets_;
    int linkCount_ = 0;
    int x_ = 0;
    bool wrap_ = true;
};

void Layout::CutLongLines() {
    const wchar_t ellipsis[] = L"\x2026";
    std::vector<Piece> kept;
    kept.reserve(pieces_.size());
    int cutLine = -1;
    for (Piece& p : pieces_) {
        if (p.line == cutLine) continue;  // after the ellipsis of its line
        Line& line = lines_[p.line];
        if (line.width <= Width()) {
            kept.push_back(std::move(p));
            continue;
        }
        // An image has no font of its own: its ellipsis takes the text's.
        HFONT font = p.image ? fonts_.Get(params_.font, false, false, false) : p.font;
        HGDIOBJ old = SelectObject(hdc_, font);
        SIZE dots = {0, 0};
        GetTextExtentPoint32W(hdc_, ellipsis, 1, &dots);
        if (p.x + p.width + dots.cx <= Width()) {
            SelectObject(hdc_, old);
            kept.push_back(std::move(p));
            continue;
        }
        CUIString text;
        if (!p.image) {
            int fit = 0;
            SIZE unused = {0, 0};
            GetTextExtentExPointW(hdc_, p.text.c_str(), static_cast<int>(p.text.size()),
                                  std::max(0, Width() - p.x - static_cast<int>(dots.cx)), &fit, nullptr, &unused);
            text = p.text.substr(0, static_cast<size_t>(std::max(fit, 0)));
        }
        text += ellipsis;
        SIZE size = {0, 0};
        GetTextExtentPoint32W(hdc_, text.c_str(), static_cast<int>(text.size()), &size);
        TEXTMETRICW tm = {};
        GetTextMetricsW(hdc_, &tm);
        SelectObject(hdc_, old);
        if (p.image) {
            p.image = false;
            p.font = font;
            p.color = params_.color;
            p.height = tm.tmHeight;
            p.ascent = tm.tmAscent;
            if (line.ascent + line.descent == 0) {  // a line of images only
                line.ascent = p.ascent;
                line.descent = p.height - p.ascent;
                line.textTop = (line.height - p.height) / 2;
            }
        }
        p.text = text;
        p.width = size.cx;
        line.width = p.x + p.width;
        cutLine = p.line;
        kept.push_back(std::move(p));
    }
    pieces_ = std::move(kept);
}

SIZE Layout::Draw(std::vector<TextLink>* links) {
    SIZE total = {0, 0};
    std::vector<int> tops(lines_.size());
    for (size_t i = 0; i < lines_.size(); ++i) {
        total.cy += lines_[i].gapBefore;
        tops[i] = total.cy;
        total.cy += lines_[i].height;
        total.cx = std::max<LONG>(total.cx, lines_[i].width);
    }
    int height = rc_.bottom - rc_.top;
    int dy = 0;
    if ((params_.style & DT_VCENTER) && total.cy < height) dy = (height - total.cy) / 2;
    else if ((params_.style & DT_BOTTOM) && total.cy < height) dy = height - total.cy;
    if (links) links->clear();
    int saved = params_.measureOnly ? 0 : SaveDC(hdc_);
    if (!params_.measureOnly) {
        IntersectClipRect(hdc_, rc_.left, rc_.top, rc_.right, rc_.bottom);
        SetBkMode(hdc_, TRANSPARENT);
    }
    for (const Piece& p : pieces_) {
        const Line& line = lines_[p.line];
        // Only a single line is aligned; text that may wrap is a paragraph
        // whose lines start at the left edge, so that rows of formatted text
        // (icons, indents) line up with each other.
        int dx = 0;
        if ((params_.style & DT_SINGLELINE) && (params_.style & DT_CENTER)) dx = (Width() - line.width) / 2;
        else if ((params_.style & DT_SINGLELINE) && (params_.style & DT_RIGHT)) dx = Width() - line.width;
        int left = rc_.left + dx + p.x;
        int top = rc_.top + dy + tops[p.line] +
                  (p.image ? (line.height - p.height) / 2 : line.textTop + line.ascent - p.ascent);
        RECT box = {left, top, left + p.width, top + p.height};
        if (links && p.link >= 0) {
            TextLink link;
            link.number = p.link;
            link.target = linkTargets_[p.link];
            link.rect = box;
            links->push_back(link);
        }
        if (params_.measureOnly) continue;
        if (p.image) {
            ImagePartParams ip;
            ip.dest = box;
            ip.source = p.source;
            DrawImagePart(hdc_, *p.imageInfo, rc_, ip);
            continue;
        }
        if (p.selected && manager_) Render::FillColor(hdc_, box, manager_->GetDefaultSelectedBkColor());
        HGDIOBJ old = SelectObject(hdc_, p.font);
        SetTextColor(hdc_, Render::ToColorRef(p.color));
        ExtTextOutW(hdc_, left, top, ETO_CLIPPED, &rc_, p.text.c_str(), static_cast<UINT>(p.text.size()), nullptr);
        SelectObject(hdc_, old);
    }
    if (!params_.measureOnly) RestoreDC(hdc_, saved);
    return total;
}

// Laid-out texts kept between paints: parsing, making the bold and italic
// fonts and measuring every run happen once per text, font, width and
// colours, not at every paint. A key holds the skin's serial, so a change of
// fonts or images lays the text out afresh.
struct LayoutKey {
    const CUIWindowManager* manager;
    unsigned long long skin;
    CUIString text;
    int width;
    int font;
    UINT style;
    DWORD color;
    int hotLink;
    DWORD linkColor, linkHoverColor;
    bool operator==(const LayoutKey& o) const {
        return manager == o.manager && skin == o.skin && width == o.width && font == o.font && style == o.style &&
               color == o.color && hotLink == o.hotLink && linkColor == o.linkColor &&
               linkHoverColor == o.linkHoverColor && text == o.text;
    }
};

constexpr size_t kKeptLayouts = 128;
bool g_layoutCache = true;
std::mutex g_layoutLock;
std::list<std::pair<LayoutKey, std::unique_ptr<Layout>>> g_layouts;  // most recently used first
unsigned g_layoutsMade = 0;

std::unique_ptr<Layout> MakeLayout(HDC hdc, CUIWindowManager* manager, const RECT& rc, const CUIString& text,
                                   const FormattedDrawParams& params) {
    auto layout = std::make_unique<Layout>(hdc, manager, rc, params);
    layout->Run(ParseFormattedText(text.c_str()));
    if (params.style & DT_END_ELLIPSIS) layout->CutLongLines();
    ++g_layoutsMade;
    return layout;
}

}  // namespace

SIZE DrawFormattedText(HDC hdc, CUIWindowManager* manager, const RECT& rc, const CUIString& text,
                       const FormattedDrawParams& params, std::vector<TextLink>* links) {
    if (!hdc) return SIZE{0, 0};
    std::lock_guard<std::mutex> hold(g_layoutLock);
    if (!g_layoutCache) return MakeLayout(hdc, manager, rc, text, params)->Draw(links);
    LayoutKey key{manager,
                  manager ? manager->SkinSerial() : 0,
                  text,
                  rc.right - rc.left,
                  params.font,
                  params.style,
                  params.color,
                  params.hotLink,
                  manager ? manager->GetDefaultLinkFontColor() : 0,
                  manager ? manager->GetDefaultLinkHoverFontColor() : 0};
    auto it = std::find_if(g_layouts.begin(), g_layouts.end(), [&](const auto& kept) { return kept.first == key; });
    if (it == g_layouts.end()) {
        g_layouts.emplace_front(std::move(key), MakeLayout(hdc, manager, rc, text, params));
        if (g_layouts.size() > kKeptLayouts) g_layouts.pop_back();
    } else if (it != g_layouts.begin()) {
        g_layouts.splice(g_layouts.begin(), g_layouts, it);
    }
    Layout& layout = *g_layouts.front().second;
    layout.Rebind(hdc, rc, params.measureOnly);
    return layout.Draw(links);
}

void SetTextLayoutCacheEnabled(bool enabled) {
    std::lock_guard<std::mutex> hold(g_layoutLock);
    g_layoutCache = enabled;
    if (!enabled) g_layouts.clear();
}

unsigned TextLayoutsMade() {
    std::lock_guard<std::mutex> hold(g_layoutLock);
    return g_layoutsMade;
}

}  // namespace UiKit
