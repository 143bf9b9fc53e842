// Formatted text: tags in braces or angle brackets inside a control's text
// ("{b}bold{/b}", "<c #FF0000>red</c>", "{i PNG_X.png 3 1}"). The parser is
// a pure function over the text so that tests can feed it anything; the
// renderer (text_render.h) lays the tokens out and draws them.
#pragma once
#include <vector>

#include "uikit/markup/ui_string.h"

namespace UiKit {

struct FormattedToken {
    enum Kind { kText, kOpen, kClose };
    Kind kind = kText;
    wchar_t tag = 0;     // the tag letter of kOpen and kClose
    CUIString text;      // kText: the text; kOpen: the argument (may be empty)
};

// Splits text into text runs and tags. An opening tag is "<" or "{", one
// lower-case letter, then a blank, ">" or "}" (the argument runs from after
// the blank to the next ">" or "}"); a closing tag is "<" or "{" and "/",
// up to the next ">" or "}". "<{>" and "<}>" stand for the brace itself;
// "{r}...{/r}" keeps everything inside as text. Any other "<" or "{" is text.
// Consecutive text is merged into one run.
std::vector<FormattedToken> ParseFormattedText(const wchar_t* text);

// The argument of an image tag: an image name or description, then
// optionally the number of frames side by side and the frame to draw.
struct ImageTagArg {
    CUIString image;
    int frames = 1;
    int frame = 0;
};
ImageTagArg ParseImageTagArg(const CUIString& arg);

}  // namespace UiKit
