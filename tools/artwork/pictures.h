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
Image title_button(Glyph glyph, Face face);

// Settings button, 36 x 20: "设置" in `ink` (settings.cpp).
Image settings_button(Rgba ink);

// The alarm clock, size x size with alpha (icon.cpp).
Image program_icon(int size);

}  // namespace quorvel::artwork
