// The window's 16x16 icon, drawn from the layout table's pixel rows, as a Qt image.
#pragma once

#include <QIcon>
#include <QImage>

namespace zelvo::qt {

// The icon at `scale` screen pixels per icon pixel, every pixel opaque.
QImage IconImage(int scale = 1);
QIcon WindowIcon();

} // namespace zelvo::qt
