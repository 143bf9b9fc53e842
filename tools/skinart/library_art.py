"""Artwork of the library panel, its rows and menus, the name dialog, the
count-in, the loading picture, the icon and the cursors."""
from PIL import ImageFilter, Image

import pictograms as g
from player_art import STATES3, STATES4, caption_button, flag_icon, flat_button_frame
from paint import (Pic, strip, rgba, PAPER, PAPER_HI, LINE, LINE_DK, INK, MUTED, TEAL, TEAL_HI, TEAL_DK,
                   TEAL_LT, TEAL_MID, TEAL_PUSH, OCHRE, OCHRE_DK, WHITE, BLACK)

FOLDER_FILL = (236, 211, 160)


def row_icons():
    icons = {}
    p = Pic(16, 16)
    g.folder(g.Box(p, 0, 0, 16, stroke=1.2), OCHRE_DK, fill=FOLDER_FILL)
    icons["PNG_FOLDER_COLLAPSE.png"] = p.image()
    p = Pic(16, 16)
    g.folder(g.Box(p, 0, 0, 16, stroke=1.2), OCHRE_DK, fill=FOLDER_FILL)
    b = g.Box(p, 0, 0, 16, stroke=1.2)
    b.poly([(0.08, 0.82), (0.24, 0.5), (0.99, 0.5), (0.86, 0.82)], OCHRE)
    icons["PNG_FOLDER_EXPAND.png"] = p.image()
    p = Pic(16, 16)
    g.sheet(g.Box(p, 0, 0, 16, stroke=1.1), INK, fill=WHITE)
    b = g.Box(p, 0, 0, 16, stroke=1.1)
    b.circle(0.44, 0.7, 0.09, fill=TEAL)
    b.line([(0.52, 0.7), (0.52, 0.4), (0.64, 0.46)], TEAL, 1.1)
    icons["PNG_FOLDER_FLAG.png"] = p.image()
    p = Pic(16, 16)
    b = g.Box(p, 1, 1, 14, stroke=1.0)
    g.sheet(b, MUTED, fill=PAPER_HI, with_note=False)
    for v in (0.45, 0.6, 0.75):
        b.line([(0.32, v), (0.68, v)], TEAL, 0.9)
    icons["PNG_FILE_FLAG.png"] = p.image()
    return icons


def selected_rows():
    """Highlights cut by the list: thumbnail frame, folder, score and page rows."""
    p = Pic(734, 187)
    p.rrect(3, 3, 184, 184, 10, outline=rgba(TEAL), width=3)
    p.rrect(188, 1, 373, 186, 8, fill=rgba(TEAL_LT), outline=rgba(TEAL_MID))
    p.rrect(375, 1, 553, 24, 8, fill=rgba((214, 233, 228)), outline=rgba(TEAL_MID))
    p.rrect(555, 1, 733, 24, 8, fill=rgba((232, 243, 240)), outline=rgba(TEAL_MID, 150))
    p.rrect(560, 6, 563, 19, 1.5, fill=rgba(TEAL))
    return p.image()


def search_icon():
    p = Pic(16, 16)
    g.magnifier(g.Box(p, 1, 1, 14, stroke=1.5), (232, 238, 240))
    return p.image()


def list_toggle(down):
    p = Pic(20, 20)
    g.chevrons(g.Box(p, 2, 1, 16, stroke=1.5), INK, down)
    return p.image()


def view_option(glyph):
    frames = []
    for state in ("normal", "hot", "pushed", "selected"):
        p = Pic(20, 20)
        ink = MUTED
        if state != "normal":
            fill = {"hot": TEAL_LT, "pushed": TEAL_PUSH, "selected": TEAL_LT}[state]
            p.rrect(0.5, 0.5, 19.5, 19.5, 4, fill=rgba(fill), outline=rgba(TEAL_MID))
            ink = TEAL if state == "selected" else TEAL_DK
        glyph(g.Box(p, 3, 3, 14, stroke=1.5), ink)
        frames.append(p.image())
    return strip(frames)


def panel_button(glyph):
    return strip([flat_button_frame(56, 28, s, glyph, 20) for s in STATES4])


def add_folder(b, c):
    g.folder(b, c)
    g.badge_plus(b, WHITE, c)


def add_score(b, c):
    g.sheet(b, c)
    g.badge_plus(b, WHITE, c)


def menu_background():
    p = Pic(40, 34, background=LINE_DK)
    p.rect(1, 1, 39, 33, rgba(PAPER_HI))
    p.rect(1, 1, 39, 2, rgba(WHITE))
    return p.image()


def dialog_button(primary):
    frames = []
    for state in STATES3:
        p = Pic(86, 30)
        if primary:
            fill = {"normal": TEAL, "hot": TEAL_HI, "pushed": TEAL_DK}[state]
            p.rrect(0.5, 0.5, 85.5, 29.5, 6, fill=rgba(fill), outline=rgba(TEAL_DK))
        else:
            fill = {"normal": PAPER_HI, "hot": TEAL_LT, "pushed": TEAL_PUSH}[state]
            edge = LINE_DK if state == "normal" else TEAL_MID
            p.rrect(0.5, 0.5, 85.5, 29.5, 6, fill=rgba(fill), outline=rgba(edge))
        frames.append(p.image())
    return strip(frames)


def count_in():
    """Three 270 x 270 frames showing 1, 2 and 3 over the page."""
    frames = []
    for digit in "123":
        p = Pic(270, 270)
        for i, alpha in enumerate((10, 14, 18, 24)):
            p.circle(135, 138, 128 - i * 2, fill=rgba(BLACK, alpha))
        p.circle(135, 135, 118, fill=rgba(PAPER_HI, 236), outline=rgba(TEAL), width=7)
        p.circle(135, 135, 104, outline=rgba(TEAL_MID, 160), width=2)
        p.text(135, 135, digit, 150, rgba(TEAL_DK))
        frames.append(p.image())
    return strip(frames)


def loading_picture():
    """174 x 39: the waiting text is drawn by the plug-in from x = 50, 5 below the top."""
    p = Pic(174, 39)
    p.rrect(0.5, 0.5, 173.5, 38.5, 9, fill=rgba(PAPER_HI), outline=rgba(LINE_DK))
    p.circle(24, 19.5, 14, fill=rgba(TEAL))
    g.note(g.Box(p, 15, 10, 19), WHITE)
    p.rrect(50, 26, 162, 30, 2, fill=rgba(LINE))
    p.rrect(50, 26, 104, 30, 2, fill=rgba(TEAL_HI))
    return p.image()


def app_icon(size):
    p = Pic(size, size)
    p.rrect(0.5, 0.5, size - 0.5, size - 0.5, size * 0.22, fill=rgba(TEAL), outline=rgba(TEAL_DK),
            width=max(1, size / 24))
    g.note(g.Box(p, size * 0.14, size * 0.12, size * 0.72, stroke=size / 11), WHITE)
    return p.image()


def _outlined(shape):
    """White shape with a one-pixel black outline, as cursors are drawn."""
    alpha = shape.getchannel("A").point(lambda v: 255 if v > 90 else 0)
    halo = alpha.filter(ImageFilter.MaxFilter(3))
    out = Image.new("RGBA", shape.size, (0, 0, 0, 0))
    out.paste((0, 0, 0, 255), mask=halo)
    out.paste((255, 255, 255, 255), mask=alpha)
    return out


def cursor_hand(closed):
    """24 x 24 hands in pixel units; one-pixel gaps keep the fingers apart."""
    p = Pic(24, 24)
    white = rgba(WHITE)
    tops = (8, 7.5, 8, 9) if closed else (6, 3, 3.5, 6)
    for cx, top in zip((8.5, 12.5, 16.5, 20.5), tops):
        p.rrect(cx - 1.5, top, cx + 1.5, 14, 1.5, fill=white)
    p.rrect(6, 11, 22, 22, 4, fill=white)
    if closed:
        p.rrect(4, 12, 8, 18, 2, fill=white)
    else:
        p.line([(6.5, 16.5), (3, 11.5)], white, 3.2)
    return _outlined(p.image())


def build():
    art = row_icons()
    art["PNG_LIST_ITEM_SELECTED_1.png"] = selected_rows()
    art["PNG_BTN_SEARCH.png"] = search_icon()
    art["PNG_BTN_EXPAND_SCORE_LIST.png"] = list_toggle(down=True)
    art["PNG_BTN_SHRINK_SCORE_LIST.png"] = list_toggle(down=False)
    art["PNG_BTN_SCORE_LIST_SHOW.png"] = view_option(g.list_view)
    art["PNG_BTN_SCORE_ICON_SHOW.png"] = view_option(g.icon_view)
    art["PNG_BTN_SCORE_LIST_DEL.png"] = panel_button(g.trash)
    art["PNG_BTN_SCORE_LIST_ADD_DIR.png"] = panel_button(add_folder)
    art["PNG_BTN_SCORE_LIST_ADD.png"] = panel_button(add_score)
    art["PNG_BK_MENU.png"] = menu_background()
    art["PNG_SETTING_LOGO.png"] = flag_icon(19)
    art["PNG_BTN_MAIN_CONFIG_EXIT.png"] = caption_button("close", close_like=True)
    art["PNG_BTN_POP_OK.png"] = dialog_button(True)
    art["PNG_BTN_POP_CANCEL.png"] = dialog_button(False)
    art["ID_PNG_PLAY_TIMER.png"] = count_in()
    art["PNG_BK_SPLASH.png"] = loading_picture()
    return art


def resources():
    """Files that go into the DLL's resources beside the package."""
    return {
        "loading.png": loading_picture(),
        "melvane.ico": [app_icon(s) for s in (16, 32, 48)],
        "hand_hover.cur": (cursor_hand(False), (12, 12)),
        "hand_drag.cur": (cursor_hand(True), (12, 12)),
    }
