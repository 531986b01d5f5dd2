// Our pointing-hand cursor for links: 32 x 32, hot spot at the fingertip (column 6, row 0).
// 'X' is black, '.' is white, ' ' lets the screen show through.
#pragma once

namespace tc {

constexpr int kHandCursorHotSpotX = 6;
constexpr int kHandCursorHotSpotY = 0;

constexpr const char* kHandCursor[32] = {
    "      XX                        ",
    "     X..X                       ",
    "     X..X                       ",
    "     X..X                       ",
    "     X..X                       ",
    "     X..XXX                     ",
    "     X..X..XXX                  ",
    "     X..X..X..XX                ",
    "     X..X..X..X.X               ",
    " XXX X..X..X..X..X              ",
    " X..XX...........X              ",
    " X...X...........X              ",
    "  X..............X              ",
    "  X..............X              ",
    "   X.............X              ",
    "   X............X               ",
    "    X...........X               ",
    "    X..........X                ",
    "     X.........X                ",
    "     X.........X                ",
    "     XXXXXXXXXXX                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
};

}  // namespace tc
