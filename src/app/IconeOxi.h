#pragma once

// The program's icon, drawn from images/oxi.svg when the program is built at
// the usual tray and title-bar sizes, and kept as raw premultiplied ARGB32
// pixels one size after the other: at start neither the SVG library nor an
// image decoder is needed.
namespace oxi {

inline constexpr int TaillesIconeOxi[] = {16, 22, 24, 32, 48, 64};

} // namespace oxi
