#!/usr/bin/env python3
"""Writes src/core/CatalogueData.cpp, the constant data of the 66 big emoticons.

Run by hand from anywhere after changing the tables below:

    python3 tools/catalogue/make_catalogue_data.py           # rewrite the file
    python3 tools/catalogue/make_catalogue_data.py --check   # fail if it is stale

Page ids. Each entry's first page id is fixed, and entries 1 and 4 are fixed whole.
Every other id follows one rule that continues the entry's first id:

    id[k] = first_id + k * ID_STEP        for k = 1 .. tokens - 1

in reading order (row by row, left to right). The ids are written into the C++ file as
literal 15-digit strings, so the program never computes them; the script stops with an
error unless all 1628 ids are distinct, exactly 15 digits long, and none of them is the
page of a typed character (the chat would show a letter tile inside the picture).
"""

import argparse
import pathlib
import re
import sys

ID_STEP = 3333333
CHARACTER_PAGES = 94  # one page a typed character: printable ASCII but the percent sign

REPO = pathlib.Path(__file__).resolve().parents[2]
OUTPUT = REPO / "src" / "core" / "CatalogueData.cpp"
CODE_TABLE = REPO / "src" / "core" / "CodeTable.cpp"

# Rows that begin with one extra form feed (1-based), by grid shape. "RxC" is R rows
# of C tokens; a comma list gives the tokens of each row.
FEED_ROWS = {
    "3x3": {2, 3},
    "3x4": {2, 3},
    "4x3": {2, 3, 4},
    "4x4": {2, 3, 4},
    "5x3": {2, 3, 4, 5},
    "5x5": set(),
    "5x6": {5},
    "6,6,6,6,5": {5},
    "5x7": {4, 5},
    "6x5": {6},
    "6x6": {5, 6},
}

# number, name (exactly as shown to the user), shape, picture width, height,
# first page id, grid text length (a cross-check of shape and feeds).
ENTRIES = [
    (1, "Big Smiley Face", "4x4", 83, 82, "237989282943603", 331),
    (2, "Very Happy Smiley Face", "5x7", 119, 82, "340501685974408", 712),
    (3, "Thubs Up Smiley Face", "4x4", 66, 66, "280971798622704", 331),
    (4, "Tongue Out Smiley Face", "3x3", 60, 54, "304473112932635", 188),
    (5, "Twinkling Hearts Smiley Face", "5x5", 86, 82, "304543056258974", 510),
    (6, "Hat Smiley Face", "4x4", 66, 66, "342453962445378", 331),
    (7, "Crying Blue Un-Smiley Face", "5x6", 101, 82, "284306278292308", 611),
    (8, "Crying Yellow Un-Smiley Face", "5x7", 119, 82, "225990800816187", 712),
    (9, "Silver Robot Smiley Face", "4x4", 66, 66, "209733715786003", 331),
    (10, "Smiley Face ;-)", "3x3", 60, 60, "237291813013350", 188),
    (11, "Lots of Love Smiley Face", "5x7", 119, 82, "192093877555393", 712),
    (12, "Happy April Fool Day!", "5x7", 119, 82, "284264408296495", 712),
    (13, "You Make Me Smile", "5x7", 119, 82, "210407485720015", 712),
    (14, "Rainbow and Gold Pot Smiley Face", "5x7", 119, 82, "361896223836657", 712),
    (15, "Paranoid Sweating Smiley Face", "3x3", 50, 50, "192096470888467", 188),
    (16, "Red Shoes Smiley Face", "5x5", 86, 82, "304529116260368", 510),
    (17, "Sad and Shocked Face", "3x4", 66, 44, "361814233844856", 248),
    (18, "Office Smiley Face", "6,6,6,6,5", 100, 82, "304509849595628", 591),
    (19, "Working Robot", "5x5", 82, 82, "175667155868435", 510),
    (20, "Looser Face", "4x4", 66, 66, "327624097268205", 331),
    (21, "Leprechan And Gold Pot Smiley Face", "5x5", 82, 82, "237252546350610", 510),
    (22, "Flames Fire Face", "4x4", 66, 66, "327552853941996", 331),
    (23, "Green Alien Smiley Face", "5x3", 58, 84, "226061390809128", 314),
    (24, "Have A Nice DAy!", "5x7", 119, 82, "193081320789242", 712),
    (25, "Intense Girl Face", "5x5", 82, 83, "151519511632507", 510),
    (26, "Farting Smiley Face", "6x6", 91, 82, "361874997172113", 734),
    (27, "Eating Egg Face", "5x5", 82, 82, "304506199595993", 510),
    (28, "Crazy Face", "5x5", 82, 82, "358022907555150", 510),
    (29, "Crazy Bug Smashing Face", "3x3", 50, 45, "355797151111528", 188),
    (30, "Bride And Groom Faces", "5x7", 119, 82, "136294556488336", 712),
    (31, "Headphones Smiley Face", "5x5", 82, 82, "211165215644242", 510),
    (32, "Christmas Ornament Smiley Face", "3x3", 50, 45, "209792442446797", 188),
    (33, "Christmas Reindeer Face", "6x6", 89, 82, "361820263844253", 734),
    (34, "Baby Eggs", "4x4", 82, 82, "362714393754840", 331),
    (35, "Angry Face", "5x6", 114, 82, "343239095700198", 611),
    (36, "Angry Fighting Face", "3x3", 60, 60, "338811016142595", 188),
    (37, "Chips Eating Face", "4x4", 66, 59, "224247421001299", 331),
    (38, "Cold Smiley Face", "4x4", 66, 54, "298750260181243", 331),
    (39, "Flower Smiley Face", "5x7", 119, 82, "354154197941610", 712),
    (40, "Football Player Face", "5x6", 101, 82, "354155577941472", 611),
    (41, "Blue Capped Smiley Face", "5x5", 82, 82, "225131400914290", 510),
    (42, "Get Your Freak On", "5x7", 119, 82, "224250921000949", 712),
    (43, "Laughing Smiley Face", "6x6", 91, 82, "379675328725413", 734),
    (44, "Lollipop Smiley Face", "6x6", 94, 82, "251792891563242", 734),
    (45, "Pacifier Sucking Smiley Face", "5x7", 119, 82, "251795068229691", 712),
    (46, "Romantic Smiley Face", "4x4", 82, 82, "206707802759927", 331),
    (47, "Crying Un-Smiley Face", "5x6", 100, 82, "187463474688803", 611),
    (48, "Sad Pained Un-Smiley Face", "4x4", 82, 82, "379679722058307", 331),
    (49, "Santa Candy Cane Smiley Face", "6x6", 91, 82, "319281318118481", 734),
    (50, "Scolding Teacher Smiley Face", "5x5", 82, 82, "295086640544553", 510),
    (51, "Sick Drunk Un-Smiley Face", "6x5", 82, 89, "205746949523419", 613),
    (52, "Sleeping Snoring Smiley Face", "3x3", 91, 82, "354166854607011", 188),
    (53, "Smiley Wearing", "4x3", 53, 65, "319284178118195", 251),
    (54, "Smiley Face with a Hat", "3x3", 62, 62, "240349529380314", 188),
    (55, "Snowboarding Smiley Face", "6x6", 91, 82, "295091050544112", 734),
    (56, "Summer Dreaming Smiley Face", "5x7", 119, 82, "343148805715734", 712),
    (57, "Thubs Up Yellow Smiley Face", "5x7", 119, 82, "225145887579508", 712),
    (58, "Tongue Reaching Smiley Face", "3x3", 82, 82, "251806344895230", 188),
    (59, "Winter Smiley Faces", "5x6", 100, 82, "358122767545164", 611),
    (60, "Happy Easter", "5x7", 119, 82, "379695045390108", 712),
    (61, "Feeling Better Smiley Face", "5x7", 119, 82, "298769476845988", 712),
    (62, "Smiley Face in Bubble Bath", "4x4", 82, 82, "379696778723268", 331),
    (63, "You're Cute Smiley Face", "4x4", 82, 82, "298770950179174", 331),
    (64, "You're My Best Friend!", "5x7", 119, 82, "206719719425402", 712),
    (65, "Keep In Touch", "5x7", 119, 82, "187468391354978", 712),
    (66, "In Disguise Smiley Face", "5x6", 104, 82, "355897054434871", 611),
]

# The entries whose every page is known, in reading order.
FIXED_IDS = {
    1: [
        "237989282943603", "237989289610269", "237989286276936", "237989276276937",
        "237989279610270", "237989432943588", "237989439610254", "237989429610255",
        "237989426276922", "237989436276921", "237989506276914", "237989499610248",
        "237989502943581", "237989512943580", "237989509610247", "237989576276907",
    ],
    4: [
        "304473112932635", "304473116265968", "304473109599302",
        "304473106265969", "304473119599301", "304473216265958",
        "304473206265959", "304473212932625", "304473209599292",
    ],
}

TOTAL_TOKENS = 1628
TOKEN_LENGTH = 20  # "[[" + 15 digits + "]]" + form feed


def require(condition, message):
    # Not assert: python3 -O drops those, and a bad table would be written out.
    if not condition:
        raise SystemExit(f"{pathlib.Path(__file__).name}: {message}")


def row_lengths(shape):
    if "x" in shape:
        rows, cols = (int(n) for n in shape.split("x"))
        return [cols] * rows
    return [int(n) for n in shape.split(",")]


def shape_symbol(shape):
    return shape.replace(",", "_")


def page_ids(number, first_id, tokens):
    if number in FIXED_IDS:
        ids = FIXED_IDS[number]
        require(ids[0] == first_id, f"entry {number}: fixed ids do not start at its first id")
        return ids
    return [str(int(first_id) + k * ID_STEP) for k in range(tokens)]


def character_page_ids():
    # Without the typed characters' pages the check below would pass on nothing.
    try:
        text = CODE_TABLE.read_text(encoding="utf-8")
    except OSError as error:
        raise SystemExit(f"cannot read the character code table: {error}")
    ids = set(re.findall(r'"(\d{15})"', text))
    if len(ids) != CHARACTER_PAGES:
        raise SystemExit(f"{CODE_TABLE}: found {len(ids)} page ids, expected {CHARACTER_PAGES}")
    return ids


def build():
    require([e[0] for e in ENTRIES] == list(range(1, 67)), "entries must be numbered 1..66")
    grids = []
    for number, name, shape, width, height, first_id, length in ENTRIES:
        lengths = row_lengths(shape)
        feeds = FEED_ROWS[shape]
        ids = page_ids(number, first_id, sum(lengths))
        require(len(ids) == sum(lengths), f"entry {number}: {len(ids)} ids for {shape}")
        require(9 <= len(name) <= 34 and name.isascii() and '"' not in name, f"entry {number}: name")
        text_length = TOKEN_LENGTH * len(ids) + 2 * len(lengths) + len(feeds)
        require(text_length == length, f"entry {number}: grid text {text_length}, table {length}")
        grids.append((number, name, shape, width, height, lengths, ids))

    all_ids = [i for g in grids for i in g[6]]
    require(len(all_ids) == TOTAL_TOKENS, f"{len(all_ids)} tokens")
    require(all(len(i) == 15 and i.isdigit() and i[0] != "0" for i in all_ids), "id not 15 digits")
    require(len(set(all_ids)) == TOTAL_TOKENS, "a page id occurs twice")
    clash = set(all_ids) & character_page_ids()
    require(not clash, f"ids shared with the character table: {sorted(clash)}")
    return grids


def render(grids):
    out = []
    emit = out.append
    emit("// Generated by tools/catalogue/make_catalogue_data.py; change the script and rerun it.")
    emit("// Page ids past each entry's first one (entries 1 and 4 excepted) follow")
    emit(f"// id[k] = first id + k * {ID_STEP}, in reading order.")
    emit('#include "core/Catalogue.h"')
    emit("")
    emit("namespace beamlet::core {")
    emit("namespace {")
    emit("")
    emit("// Tokens per row and the rows that begin with an extra form feed, by grid shape.")
    for shape, feeds in FEED_ROWS.items():
        lengths = row_lengths(shape)
        sym = shape_symbol(shape)
        flags = ", ".join("true" if r + 1 in feeds else "false" for r in range(len(lengths)))
        emit(f"constexpr int kRows{sym}[] = {{{', '.join(map(str, lengths))}}};")
        emit(f"constexpr bool kFeeds{sym}[] = {{{flags}}};")
    emit("")
    emit("// Page ids, one line per grid row.")
    for number, _name, _shape, _w, _h, lengths, ids in grids:
        emit(f"constexpr std::string_view kIds{number:02d}[] = {{")
        pos = 0
        for n in lengths:
            emit("    " + " ".join(f'"{i}",' for i in ids[pos:pos + n]))
            pos += n
        emit("};")
    emit("")
    emit("constexpr Entry kEntries[kEntryCount] = {")
    for number, name, shape, width, height, _lengths, _ids in grids:
        sym = shape_symbol(shape)
        emit(f'    {{{number}, "{name}", kRows{sym}, kFeeds{sym}, kIds{number:02d}, {{{width}, {height}}}}},')
    emit("};")
    emit("")
    emit("}  // namespace")
    emit("")
    emit("std::span<const Entry> entries() { return kEntries; }")
    emit("")
    emit("}  // namespace beamlet::core")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="only report whether the file is current")
    parser.add_argument("--output", type=pathlib.Path, default=OUTPUT)
    args = parser.parse_args()

    text = render(build())
    if args.check:
        current = args.output.read_text(encoding="utf-8") if args.output.exists() else ""
        if current != text:
            print(f"{args.output} is stale; rerun {pathlib.Path(__file__).name}", file=sys.stderr)
            return 1
        print(f"{args.output} is current")
        return 0
    args.output.write_text(text, encoding="utf-8", newline="\n")
    print(f"wrote {args.output}: {len(ENTRIES)} entries, {TOTAL_TOKENS} page ids")
    return 0


if __name__ == "__main__":
    sys.exit(main())
