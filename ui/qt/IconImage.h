// The window's 16x16 icon, drawn from the layout table's pixel rows. At larger sizes it
// grows by whole multiples, pixel for pixel, so the digits stay crisp in any tray.
#pragma once

#include <QIcon>
#include <QImage>

namespace zelvo::qt {

// The icon at `scale` screen pixels per icon pixel, every pixel opaque.
QImage IconImage(int scale = 1);
// A `size` pixels square image: the icon at the largest whole multiple that fits, centred,
// transparent around it.
QImage CentredIconImage(int size);
QIcon WindowIcon();

} // namespace zelvo::qt
