#!/usr/bin/env python3
"""Writes the SVG pictures of the resource folders.

Run from anywhere; the pictures land in ../kelmResourceData/pictures relative
to this script. The generated files are committed, so a build never needs to
run this script. Standard library only.
"""

from pathlib import Path
from xml.sax.saxutils import escape

HERE = Path(__file__).resolve().parent
COMMON = HERE.parent / "kelmResourceData" / "pictures"

FONT = "font-family=\"DejaVu Sans, Arial, sans-serif\""


def svg(width, height, body, title):
    return (
        f'<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
        f'viewBox="0 0 {width} {height}">\n'
        f"<title>{escape(title)}</title>\n{body}</svg>\n"
    )


def text(x, y, size, content, fill="#000", weight="normal", anchor="middle"):
    return (
        f'<text x="{x}" y="{y}" font-size="{size}" {FONT} font-weight="{weight}" '
        f'text-anchor="{anchor}" fill="{fill}">{escape(content)}</text>\n'
    )


# ---------------------------------------------------------------- terminals
# Terminal index t = 0..15. Channels 1..4 sit on terminals 4..7, channels
# 5..8 on 12..15; terminals 0..3 and 8..11 feed the two channel groups.
TERMINAL_STYLES = {
    # kind: (first id, housing fill, housing stroke, label colour, state name)
    "default": (452, "#d4d4d4", "#5a5a5a", "#202020", "no message"),
    "notice": (468, "#ffc21a", "#a06b00", "#202020", "notice"),
    "error": (484, "#e02b2b", "#7a0d0d", "#ffffff", "error"),
}
GROUP_FUNCTIONS = ["1L+", "1M", "1L+", "1M", "", "", "", "", "2L+", "2M", "2L+", "2M"]


def terminal_function(t):
    if 4 <= t <= 7:
        return f"Q{t - 3}"
    if 12 <= t <= 15:
        return f"Q{t - 7}"
    return GROUP_FUNCTIONS[t]


def terminal(t, kind):
    _, fill, stroke, label, state = TERMINAL_STYLES[kind]
    number = t + 1
    body = (
        # housing
        f'<rect x="1.5" y="1.5" width="29" height="45" rx="3" fill="{fill}" '
        f'stroke="{stroke}" stroke-width="1.5"/>\n'
        # screw head with slot
        f'<circle cx="16" cy="14" r="8" fill="#f4f4f4" stroke="#404040" stroke-width="1.2"/>\n'
        f'<line x1="10.5" y1="19.5" x2="21.5" y2="8.5" stroke="#404040" stroke-width="2"/>\n'
        # wire entry
        f'<rect x="9" y="25" width="14" height="7" rx="1" fill="#3a3a3a"/>\n'
        + text(16, 42, 9, str(number), fill=label, weight="bold")
    )
    function = terminal_function(t)
    if function:
        body += text(16, 32 - 1.2, 5.5, function, fill="#ffffff")
    return svg(32, 48, body, f"Terminal {number} ({function or '-'}), {state}")


# ------------------------------------------------------------ state pictures
def circle(fill, stroke):
    return f'<circle cx="12" cy="12" r="10.5" fill="{fill}" stroke="{stroke}" stroke-width="1"/>\n'


CHECK = '<path d="M6.5 12.5 L10.5 16.5 L17.5 8" fill="none" stroke="#fff" stroke-width="2.6" stroke-linecap="round" stroke-linejoin="round"/>\n'
CROSS = '<path d="M8 8 L16 16 M16 8 L8 16" fill="none" stroke="#fff" stroke-width="2.6" stroke-linecap="round"/>\n'


def badge(fill, letter, letter_fill):
    return (
        f'<circle cx="19" cy="19" r="5" fill="{fill}" stroke="#fff" stroke-width="1"/>\n'
        + text(19, 21.6, 7, letter, fill=letter_fill, weight="bold")
    )


def state_pictures():
    green = circle("#2f9e44", "#1f6b2e")
    red = circle("#d62828", "#7a0d0d")
    amber = circle("#f4a300", "#8a5c00")
    return {
        1000: svg(24, 24, green + CHECK, "Value valid"),
        150: svg(24, 24, green + CHECK + badge("#1c64c8", "S", "#fff"), "Value valid, status present"),
        152: svg(24, 24, red + CROSS, "Value invalid"),
        153: svg(24, 24, amber + text(12, 16.5, 13, "F", fill="#202020", weight="bold"), "Value forced"),
        155: svg(24, 24, red + CROSS + badge("#f4a300", "F", "#202020"), "Value invalid and forced"),
    }


# ----------------------------------------------------------- module drawings
def module_drawing(title, caption, footer):
    parts = [
        # rail and housing
        '<rect x="0" y="84" width="120" height="12" fill="#b0b0b0" stroke="#808080"/>\n',
        '<rect x="14" y="4" width="92" height="172" rx="4" fill="#e9e9e9" stroke="#4a4a4a" stroke-width="2"/>\n',
        # upper and lower terminal strips
        '<rect x="20" y="10" width="80" height="26" rx="2" fill="#c8c8c8" stroke="#6a6a6a"/>\n',
        '<rect x="20" y="144" width="80" height="26" rx="2" fill="#c8c8c8" stroke="#6a6a6a"/>\n',
    ]
    for row, y in ((0, 23), (1, 157)):
        for i in range(8):
            cx = 25 + i * 10
            parts.append(f'<circle cx="{cx}" cy="{y}" r="3.6" fill="#f4f4f4" stroke="#505050"/>\n')
            parts.append(
                f'<line x1="{cx - 2.4}" y1="{y + 2.4}" x2="{cx + 2.4}" y2="{y - 2.4}" stroke="#505050" stroke-width="1"/>\n'
            )
    # front plate with name and the eight channel LEDs
    parts.append('<rect x="24" y="42" width="72" height="96" rx="2" fill="#2d3e50"/>\n')
    parts.append(text(60, 56, 10, caption, fill="#ffffff", weight="bold"))
    for i in range(8):
        col, row = divmod(i, 4)
        x = 40 + col * 30
        y = 70 + row * 14
        parts.append(f'<circle cx="{x}" cy="{y}" r="4" fill="#5ad15a" stroke="#1d5e1d"/>\n')
        parts.append(text(x + 11, y + 3, 7, f"Q{i + 1}", fill="#ffffff", anchor="start"))
    parts.append(text(60, 132, 7, footer, fill="#c9d6e3"))
    return svg(120, 180, "".join(parts), title)


def emblem():
    # An abstract, neutral emblem: a hexagon with a ring and a bar.
    body = (
        '<polygon points="48,4 86,26 86,70 48,92 10,70 10,26" fill="#234f7d" stroke="#102a45" stroke-width="2"/>\n'
        '<circle cx="48" cy="48" r="24" fill="none" stroke="#ffffff" stroke-width="7"/>\n'
        '<rect x="44" y="14" width="8" height="68" fill="#f2b134"/>\n'
    )
    return svg(96, 96, body, "Maker emblem")


def main():
    COMMON.mkdir(parents=True, exist_ok=True)
    pictures = {}
    for kind, (first, *_rest) in TERMINAL_STYLES.items():
        for t in range(16):
            pictures[first + t] = terminal(t, kind)
    pictures.update(state_pictures())
    pictures[113] = module_drawing("Output module", "RQ16 DO8", "8 x DO 24 V")
    pictures[126] = emblem()
    pictures[602] = module_drawing("Output module on a DP station", "RQ16 DO8", "DP station")
    pictures[610] = module_drawing("Output module", "RQ16 DO8", "8 x DO 24 V")
    for number, content in sorted(pictures.items()):
        (COMMON / f"{number}.svg").write_text(content, encoding="utf-8")
    print(f"wrote {len(pictures)} pictures to {COMMON}")


if __name__ == "__main__":
    main()
