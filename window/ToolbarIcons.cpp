#include "window/ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>

// The images are SVG files in the library's resources (ToolbarIcons.qrc), under :/toolbar/. They
// are registered here as well as when the library loads, so that they are there also where the
// library's code is linked statically.
static bool registerToolbarImages() {
    Q_INIT_RESOURCE(ToolbarIcons);
    return true;
}

namespace xhook::ToolbarIcons {

namespace {

// The image list's keys in its order; each names the file <key>.svg.
constexpr std::array<const char*, 30> kKeys = {
    "New",    "Find", "Update",   "Delete", "Refresh",  "Check", "Preview", "Print",
    "Exit",   "Open", "Save",     "Copy",   "Cut",      "Paste", "Undo",    "Redo",
    "Filter", "Add",  "Remove",   "First",  "Previous", "Next",  "Last",    "Up",
    "Down",   "Help", "Settings", "Export", "Import",   "Lock"};

QString resourcePath(const QString& name) {
    [[maybe_unused]] static const bool registered = registerToolbarImages();
    return QStringLiteral(":/toolbar/%1.svg").arg(name);
}

// The SVG file drawn at `pixels` x `pixels`, transparent round the shapes.
QImage renderedImage(const QString& name, int pixels) {
    QSvgRenderer renderer(resourcePath(name));
    QImage canvas(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    }
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

// As the image list does: a pixel of the transparent colour is not shown.
void applyTransparentColor(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0 && (line[x] & RGB_MASK) == (kTransparentColor & RGB_MASK))
                line[x] = 0;
    }
}

}  // namespace

const QStringList& keys() {
    static const QStringList list(kKeys.begin(), kKeys.end());
    return list;
}

bool contains(const QString& key) {
    return keys().contains(key);
}

QImage image(const QString& key, int pixels) {
    if (!contains(key) || pixels <= 0) return {};
    QImage result = renderedImage(key, pixels);
    applyTransparentColor(result);
    return result;
}

// Each variant is drawn at its own resolution and says so by its device pixel ratio, so that a
// 2x screen shows the shapes drawn at 32 x 32 rather than the 16 x 16 ones enlarged.
QIcon icon(const QString& key) {
    if (!contains(key)) return {};
    QIcon result;
    for (int scale : {1, 2}) {
        QPixmap variant = QPixmap::fromImage(image(key, kImageSize * scale));
        variant.setDevicePixelRatio(scale);
        result.addPixmap(variant);
    }
    return result;
}

QIcon windowIcon() {
    QIcon result;
    for (int pixels : {16, 24, 32, 48, 64})
        result.addPixmap(QPixmap::fromImage(renderedImage(QStringLiteral("window"), pixels)));
    return result;
}

}  // namespace xhook::ToolbarIcons
