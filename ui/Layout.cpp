#include "Layout.h"

#include <algorithm>

namespace zelvo {

const ControlSpec& Control(ControlId id) {
    return kControls[static_cast<std::size_t>(id)];
}

std::array<const ControlSpec*, kControlCount> ControlsInTabOrder() {
    std::array<const ControlSpec*, kControlCount> order{};
    std::transform(kControls.begin(), kControls.end(), order.begin(),
                   [](const ControlSpec& row) { return &row; });
    std::sort(order.begin(), order.end(),
              [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
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

} // namespace zelvo
