#pragma once

#include <QIcon>
#include <QImage>
#include <QRgb>
#include <QStringList>

namespace xhook {

// ImageList1 of the reconciliation window: the toolbar's images, each under a text key. Each
// image is an SVG file on a 16 x 16 grid (window/icons/<key>.svg, in the library's resources),
// drawn at the size asked for, so that it stays sharp at any scale.
// Silver is the list's transparent colour: a pixel of that colour is never shown.
namespace ToolbarIcons {

constexpr int kImageSize = 16;  // logical pixels
constexpr QRgb kTransparentColor = qRgb(192, 192, 192);

// The keys of the thirty images, in the list's order.
const QStringList& keys();
bool contains(const QString& key);

// The image under `key` drawn at `pixels` x `pixels`, transparent round the shape; a null image
// for a key that is not in the list.
QImage image(const QString& key, int pixels);
// The image as an icon with variants for 1x and 2x screens (pixmaps of device pixel ratio 1 and
// 2, both 16 x 16 logical pixels); a null icon for an unknown key.
QIcon icon(const QString& key);

// The window's own icon (window/icons/window.svg): an invoice and an outbound document joined
// by a check mark.
QIcon windowIcon();

}  // namespace ToolbarIcons

}  // namespace xhook
