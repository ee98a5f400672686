// The drawings behind draw_all(), one function per kind of picture.
#pragma once

#include "artwork.h"

namespace quorvel::artwork {

// Frame pieces (frame.cpp).
enum class TitleRow { strip, holder };          // the holder's lower half is darker
Rgba title_row_colour(TitleRow kind, int row);  // row 0..21
Image title_strip();
Image title_joint();
Image title_holder();
Image date_line();
Image title_left();
Image title_right();
Image status_left();
Image status_middle();
Image status_right();
Image border_left();
Image border_right();

// Title buttons, 19 x 17 (title_buttons.cpp).
enum class Face { plain, light, dark };  // normal, hover, pressed
enum class Glyph { close, minimise, maximise, restore };
// `scale` draws the same picture for a display of that many times 96 DPI.
Image title_button(Glyph glyph, Face face, double scale = 1.0);

// Settings button, 36 x 20: "设置" in `ink` (settings.cpp).
Image settings_button(Rgba ink, double scale = 1.0);

// Pixel-row artwork (the frame pieces) at a display scale: every designed
// pixel becomes a block of whole pixels, so hard bands stay hard.
Image blocks(const Image& designed, double scale);

// Size of a designed length at a display scale, rounded as the program does.
int scaled(int designed, double scale);

// The alarm clock, size x size with alpha (icon.cpp).
Image program_icon(int size);

}  // namespace quorvel::artwork
