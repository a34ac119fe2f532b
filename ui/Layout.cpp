#include "ui/Layout.h"

#include <algorithm>

namespace zelvo {

const ControlRow& Control(ControlId id) {
    return kControls[static_cast<std::size_t>(id)];
}

std::array<const ControlRow*, kControlCount> ControlsInTabOrder() {
    std::array<const ControlRow*, kControlCount> order{};
    std::transform(kControls.begin(), kControls.end(), order.begin(),
                   [](const ControlRow& row) { return &row; });
    std::sort(order.begin(), order.end(),
              [](const ControlRow* a, const ControlRow* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>((scaled + kTwipsPerInch / 2) / kTwipsPerInch);
}

PixelRect ContainerPixelRect(ControlId id, int dpi) {
    const TwipsRect& t = Control(id).twips;
    return {TwipsToPixels(t.left, dpi), TwipsToPixels(t.top, dpi), TwipsToPixels(t.width, dpi),
            TwipsToPixels(t.height, dpi)};
}

PixelRect ClientPixelRect(ControlId id, int dpi) {
    PixelRect rect = ContainerPixelRect(id, dpi);
    if (const auto container = Control(id).container) {
        const PixelRect outer = ClientPixelRect(*container, dpi);
        rect.left += outer.left;
        rect.top += outer.top;
    }
    return rect;
}

int IconPaletteIndex(int x, int y) {
    return kIconRows[y][x] - '0';
}

int CentredIconPaletteIndex(int size, int x, int y) {
    const int scale = std::max(1, size / kIconSize);
    const int margin = (size - kIconSize * scale) / 2;
    const int column = x - margin;
    const int row = y - margin;
    if (column < 0 || row < 0 || column >= kIconSize * scale || row >= kIconSize * scale) {
        return -1;
    }
    return IconPaletteIndex(column / scale, row / scale);
}

} // namespace zelvo
