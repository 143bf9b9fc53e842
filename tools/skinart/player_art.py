"""Artwork of the player window: frame, caption, tool bar, play display."""
import pictograms as g
from paint import (Pic, strip, rgba, PAPER, PAPER_HI, PAPER_DK, PAPER_DEEP, LINE, LINE_DK, INK,
                   MUTED, SLATE, SLATE_HI, TEAL, TEAL_HI, TEAL_DK, TEAL_LT, TEAL_MID, TEAL_PUSH,
                   DISABLED, DISABLED_LT, TERRA, TERRA_DK, WHITE)

STATES4 = ("normal", "hot", "pushed", "disabled")
STATES3 = ("normal", "hot", "pushed")
CAPTION_INK = (226, 233, 235)


def window_background():
    """Title band on top, paper below; the corners are cut by the window region."""
    w, h = 60, 80
    p = Pic(w, h, background=PAPER)
    p.vgradient(0, 0, w, 30, SLATE_HI, SLATE)
    p.rect(0, 30, w, 31, rgba((36, 54, 63)))
    p.rrect(0, 0, w, h, 0, outline=rgba((40, 58, 67)), width=1)
    p.rect(1, 31, w - 1, 32, rgba(PAPER_HI))
    return p.image()


def flag_icon(size):
    p = Pic(size, size)
    p.rrect(1, 1, size - 1, size - 1, size * 0.26, fill=rgba(TEAL), outline=rgba(TEAL_HI), width=0.8)
    g.note(g.Box(p, size * 0.16, size * 0.14, size * 0.68), WHITE)
    return p.image()


def caption_button(kind, close_like=False):
    frames = []
    for state in STATES3:
        p = Pic(19, 19)
        colour = CAPTION_INK
        if state == "hot":
            p.circle(9.5, 9.5, 9, fill=rgba(TERRA) if close_like else rgba(WHITE, 44))
            colour = WHITE
        elif state == "pushed":
            p.circle(9.5, 9.5, 9, fill=rgba(TERRA_DK) if close_like else rgba((0, 0, 0), 60))
            colour = WHITE
        g.caption_glyph(g.Box(p, 3, 3, 13, stroke=1.35), colour, kind)
        frames.append(p.image())
    return strip(frames)


def flat_button_frame(w, h, state, glyph, icon, radius=6):
    """Tool-style button: bare glyph, a soft teal plate when hot or pushed."""
    p = Pic(w, h)
    colour, shift = INK, 0
    if state == "hot":
        p.rrect(1.5, 1.5, w - 1.5, h - 1.5, radius, fill=rgba(TEAL_LT), outline=rgba(TEAL_MID))
        colour = TEAL_DK
    elif state == "pushed":
        p.rrect(1.5, 1.5, w - 1.5, h - 1.5, radius, fill=rgba(TEAL_PUSH), outline=rgba(TEAL_MID))
        colour, shift = TEAL_DK, 1
    elif state == "disabled":
        colour = DISABLED
    glyph(g.Box(p, (w - icon) / 2, (h - icon) / 2 + shift, icon), colour)
    return p.image()


def tool_button(glyph, w=41, h=38, icon=22):
    return strip([flat_button_frame(w, h, s, glyph, icon) for s in STATES4])


def toolbar_background():
    p = Pic(8, 39)
    p.vgradient(0, 0, 8, 39, PAPER_HI, PAPER)
    return p.image()


def combo():
    frames = []
    for state in STATES3:
        p = Pic(100, 28)
        fill = TEAL_LT if state == "pushed" else PAPER_HI
        edge = LINE_DK if state == "normal" else TEAL_MID
        p.rrect(0.5, 0.5, 99.5, 27.5, 5, fill=rgba(fill), outline=rgba(edge))
        p.rect(76, 6, 77, 22, rgba(LINE))
        g.chevron(g.Box(p, 82, 8, 12, stroke=1.6), TEAL_DK if state != "normal" else INK, "down")
        frames.append(p.image())
    return strip(frames, vertical=True)


def _segment_colours(state):
    return {"normal": (PAPER_HI, LINE_DK, INK), "hot": (TEAL_LT, TEAL_MID, TEAL_DK),
            "pushed": (TEAL_PUSH, TEAL_MID, TEAL_DK), "disabled": (DISABLED_LT, LINE, DISABLED)}[state]


def tempo_step(w, faster):
    """The ends of the tempo control: rounded on the outer side only."""
    frames = []
    for state in STATES4:
        fill, edge, ink = _segment_colours(state)
        p = Pic(w, 29)
        if faster:
            p.rrect(-10, 0.5, w - 0.5, 28.5, 8, fill=rgba(fill), outline=rgba(edge))
        else:
            p.rrect(0.5, 0.5, w + 10, 28.5, 8, fill=rgba(fill), outline=rgba(edge))
        (g.plus if faster else g.minus)(g.Box(p, (w - 14) / 2, 7.5, 14, stroke=1.8), ink)
        frames.append(p.image())
    return strip(frames)


def tempo_display():
    p = Pic(67, 29)
    p.rect(0, 0, 67, 29, rgba(WHITE))
    p.rect(0, 0, 67, 1, rgba(LINE_DK))
    p.rect(0, 28, 67, 29, rgba(LINE_DK))
    p.rect(0, 0, 1, 29, rgba(LINE))
    p.rect(66, 0, 67, 29, rgba(LINE))
    return p.image()


def ruler_thumb_and_strip():
    p = Pic(21, 17)
    p.rrect(0.5, 0.5, 19.5, 16.5, 4, fill=rgba(TEAL), outline=rgba(TEAL_DK))
    p.rect(3, 1.5, 17, 2.5, rgba(WHITE, 70))
    p.vgradient(20, 0, 21, 17, PAPER_HI, PAPER_DK)
    p.rect(20, 0, 21, 1, rgba(LINE))
    p.rect(20, 8, 21, 9, rgba(PAPER_DEEP))
    p.rect(20, 16, 21, 17, rgba(LINE))
    return p.image()


def play_row_background():
    p = Pic(8, 73)
    p.vgradient(0, 0, 8, 73, PAPER, PAPER_DK)
    p.rect(0, 0, 8, 1, rgba(LINE))
    return p.image()


INFO_COLUMNS = (64, 64, 64, 90, 120)


def score_info_block():
    w, h = sum(INFO_COLUMNS), 57
    p = Pic(w, h)
    p.rrect(0.5, 0.5, w - 0.5, h - 0.5, 8, fill=rgba(PAPER_HI), outline=rgba(LINE))
    x = 0
    for width in INFO_COLUMNS[:-1]:
        x += width
        p.rect(x, 10, x + 1, h - 10, rgba(LINE))
    return p.image()


def transport_background():
    p = Pic(159, 73)
    p.rrect(0.5, 4.5, 158.5, 68.5, 32, fill=rgba(PAPER_HI), outline=rgba(LINE))
    return p.image()


def transport_button(size, glyph, primary):
    frames = []
    for state in STATES4:
        p = Pic(size, size)
        c = size / 2
        if primary:
            fill = {"normal": TEAL, "hot": TEAL_HI, "pushed": TEAL_DK, "disabled": DISABLED}[state]
            ink = WHITE if state != "disabled" else DISABLED_LT
            if state == "hot":
                p.circle(c, c, c - 0.5, fill=rgba(TEAL_MID))
            p.circle(c, c, c - 3, fill=rgba(fill))
        else:
            fill, edge, ink = _segment_colours(state)
            if state == "normal":
                fill = TEAL_LT
                edge = TEAL_MID
                ink = TEAL_DK
            p.circle(c, c, c - 2, fill=rgba(fill), outline=rgba(edge), width=1.2)
        icon = size * 0.56
        glyph(g.Box(p, c - icon / 2, c - icon / 2, icon), ink)
        frames.append(p.image())
    return strip(frames)


def hand_buttons(left):
    letter = "L" if left else "R"
    play = Pic(32, 32)
    play.rrect(1, 1, 31, 31, 7, fill=rgba(TEAL), outline=rgba(TEAL_DK), width=1)
    g.hand(g.Box(play, 4, 6, 23), WHITE, left)
    muted = Pic(32, 32)
    muted.rrect(1, 1, 31, 31, 7, fill=rgba(DISABLED_LT), outline=rgba(LINE_DK), width=1)
    g.hand(g.Box(muted, 4, 6, 23), DISABLED, left)
    slash = [(7, 7), (25, 26)] if left else [(25, 7), (7, 26)]
    muted.line(slash, rgba(TERRA), 2.0)
    for pic, ink in ((play, WHITE), (muted, MUTED)):
        pic.text(25.5 if left else 6.5, 7.5, letter, 8.5, rgba(ink))
    return strip([play.image(), muted.image()])


def status_background():
    p = Pic(8, 20)
    p.vgradient(0, 0, 8, 20, PAPER_DK, (229, 222, 208))
    p.rect(0, 0, 8, 1, rgba(LINE))
    return p.image()


def side_tab(direction):
    """Tabs that show and hide the library panel (10 x 72, normal then hot)."""
    frames = []
    for hot in (False, True):
        p = Pic(10, 72)
        p.rrect(-6, 0.5, 9.5, 71.5, 4, fill=rgba(TEAL_LT if hot else PAPER_DEEP),
                outline=rgba(TEAL_MID if hot else LINE_DK))
        g.chevron(g.Box(p, 1.5, 32, 7, stroke=1.4), TEAL_DK if hot else MUTED, direction)
        frames.append(p.image())
    return strip(frames)


def bottom_tab(direction):
    """Tabs that show and hide the play display (73 x 10, normal then hot)."""
    frames = []
    for hot in (False, True):
        p = Pic(73, 10)
        p.rrect(0.5, 0.5, 72.5, 16, 4, fill=rgba(TEAL_LT if hot else PAPER_DEEP),
                outline=rgba(TEAL_MID if hot else LINE_DK))
        g.chevron(g.Box(p, 32.5, 1.5, 8, stroke=1.4), TEAL_DK if hot else MUTED, direction)
        frames.append(p.image())
    return strip(frames)


def size_grip():
    p = Pic(15, 14)
    for x, y in ((12, 11), (8, 11), (4, 11), (12, 7), (8, 7), (12, 3)):
        p.circle(x + 0.6, y + 0.6, 1.1, fill=rgba(WHITE))
        p.circle(x, y, 1.1, fill=rgba(LINE_DK))
    return p.image()


def scrollbar_cells():
    """Vertical bar cells of 16 x 16: up x3, down x3, thumb x3, grip x3, track."""
    cells = []
    for glyph in ("up", "down"):
        for state in STATES3:
            p = Pic(16, 16)
            if state != "normal":
                p.rrect(2, 2, 14, 14, 4, fill=rgba(TEAL_LT if state == "hot" else TEAL_PUSH))
            g.chevron(g.Box(p, 4, 4, 8, stroke=1.4), MUTED if state == "normal" else TEAL_DK, glyph)
            cells.append(p.image())
    for colour in (rgba(MUTED, 150), rgba(TEAL, 210), rgba(TEAL_DK, 230)):
        p = Pic(16, 16)
        p.rrect(4, 1, 12, 15, 4, fill=colour)
        cells.append(p.image())
    for alpha in (90, 120, 140):
        p = Pic(16, 16)
        p.rect(6, 7, 10, 9, rgba(WHITE, alpha))
        cells.append(p.image())
    p = Pic(16, 16, background=PAPER_DK)
    p.rect(0, 0, 1, 16, rgba(LINE))
    cells.append(p.image())
    return cells


def scrollbar(vertical):
    cells = scrollbar_cells()
    if not vertical:
        cells = [c.transpose(5) for c in cells]  # Image.TRANSPOSE: up becomes left
    return strip(cells)


def build():
    caption = {"SETTINGS": "settings", "MIN": "min", "MAX": "max", "RESTORE": "restore", "CLOSE": "close"}
    art = {"PNG_BK_WND.png": window_background(), "PNG_DLG_FLAG.png": flag_icon(20)}
    for key, kind in caption.items():
        art["PNG_PLUGIN_ZYQVESTRA_%s.png" % key] = caption_button(kind, kind == "close")
    art["PNG_BK_TOP_OP_PANNEL.png"] = toolbar_background()
    tools = {"OPEN": lambda b, c: g.folder(b, c, open_lid=True),
             "ZOOM_IN": lambda b, c: g.magnifier(b, c, "+"),
             "ZOOM_OUT": lambda b, c: g.magnifier(b, c, "-"),
             "ZOOM_WIDTH": g.fit_width, "REPEAT_AB": g.repeat_ab,
             "MEASURE_HOME": lambda b, c: g.page_turn(b, c, "home"),
             "MEASURE_PREV": lambda b, c: g.page_turn(b, c, "prev"),
             "MEASURE_NEXT": lambda b, c: g.page_turn(b, c, "next"),
             "MEASURE_END": lambda b, c: g.page_turn(b, c, "end")}
    for key, glyph in tools.items():
        art["PNG_%s.png" % key] = tool_button(glyph)
    art["PNG_COMBO.png"] = combo()
    art["PNG_TEMPO_PLUS.png"] = tempo_step(32, faster=False)
    art["PNG_TEMPO_ADD.png"] = tempo_step(33, faster=True)
    art["PNG_TEMPO_DIS.png"] = tempo_display()
    art["PNG_SLIDER_THUMB_BK.png"] = ruler_thumb_and_strip()
    art["PNG_BK_BOTTOM_OP_PANNEL.png"] = play_row_background()
    art["IDB_PNG_SCORE_INFO.png"] = score_info_block()
    art["PNG_BK_PLAY_PANNEL.png"] = transport_background()
    art["PNG_BTN_PLAY_LEFT.png"] = hand_buttons(True)
    art["PNG_BTN_PLAY_RIGHT.png"] = hand_buttons(False)
    art["PNG_SCORE_PAUSE.png"] = transport_button(44, g.pause, False)
    art["PNG_SCORE_STOP.png"] = transport_button(44, g.stop, False)
    art["PNG_SCORE_PLAY.png"] = transport_button(56, g.play, True)
    art["PNG_BK_STATE_BAR.png"] = status_background()
    art["PNG_BTN_HIDE_SCORE_LIST.png"] = side_tab("left")
    art["PNG_BTN_SHOW_SCORE_LIST.png"] = side_tab("right")
    art["PNG_HIDE_OP_PANEL.png"] = bottom_tab("down")
    art["PNG_SHOW_OP_PANEL.png"] = bottom_tab("up")
    art["PNG_WND_SIZEBOX.png"] = size_grip()
    art["SCROLLBAR_V.png"] = scrollbar(True)
    art["SCROLLBAR_H.png"] = scrollbar(False)
    return art
