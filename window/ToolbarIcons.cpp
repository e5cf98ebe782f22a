#include "window/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QtMath>
#include <array>

namespace xhook::ToolbarIcons {

namespace {

// The palette keeps clear of the transparent colour.
const QColor kOutline(60, 64, 72);
const QColor kPaper(255, 255, 255);
const QColor kFold(212, 218, 230);
const QColor kBlue(40, 100, 200);
const QColor kLightBlue(170, 210, 250);
const QColor kGreen(30, 150, 60);
const QColor kDarkGreen(20, 100, 40);
const QColor kRed(215, 35, 35);
const QColor kDarkRed(140, 20, 20);
const QColor kYellow(245, 200, 40);
const QColor kBrown(150, 90, 40);
const QColor kSteel(110, 116, 128);

QPen outlinePen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void fillShape(QPainter& p, const QPolygonF& shape, const QColor& fill, qreal outline = 1.0) {
    p.setPen(outlinePen(kOutline, outline));
    p.setBrush(fill);
    p.drawPolygon(shape);
}

// A sheet of paper with its top right corner folded over.
void drawPage(QPainter& p, const QRectF& r) {
    constexpr qreal fold = 3;
    fillShape(p,
              QPolygonF({r.topLeft(),
                         {r.right() - fold, r.top()},
                         {r.right(), r.top() + fold},
                         r.bottomRight(),
                         r.bottomLeft()}),
              kPaper);
    fillShape(p,
              QPolygonF({{r.right() - fold, r.top()},
                         {r.right() - fold, r.top() + fold},
                         {r.right(), r.top() + fold}}),
              kFold);
}

// A bold stroke with a darker rim, for the cross, the plus and the minus.
void drawBoldStroke(QPainter& p, const QLineF& line, const QColor& color, const QColor& rim) {
    p.setPen(outlinePen(rim, 3.6));
    p.drawLine(line);
    p.setPen(outlinePen(color, 2.2));
    p.drawLine(line);
}

void drawArrowHead(QPainter& p, QPointF base, QPointF direction, qreal halfWidth,
                   const QColor& color) {
    const QPointF normal(-direction.y(), direction.x());
    p.setPen(outlinePen(color, 0.8));
    p.setBrush(color);
    p.drawPolygon(
        QPolygonF({base + direction * 2.6, base + normal * halfWidth, base - normal * halfWidth}));
}

void drawStraightArrow(QPainter& p, QPointF from, QPointF to, const QColor& color) {
    const QLineF line(from, to);
    const QPointF direction = (to - from) / line.length();
    p.setPen(outlinePen(color, 2.2));
    p.drawLine(QLineF(from, to - direction * 2.0));
    drawArrowHead(p, to - direction * 2.6, direction, 2.6, color);
}

// An arc from `startDegrees` over `spanDegrees` (counter-clockwise when positive) ending in a head.
void drawArcArrow(QPainter& p, QPointF centre, qreal radius, qreal startDegrees, qreal spanDegrees,
                  const QColor& color) {
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setPen(outlinePen(color, 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, qRound(startDegrees * 16), qRound(spanDegrees * 16));
    const qreal end = qDegreesToRadians(startDegrees + spanDegrees);
    const QPointF endPoint = centre + QPointF(qCos(end), -qSin(end)) * radius;
    const qreal turn = spanDegrees >= 0 ? 1 : -1;
    const QPointF tangent = QPointF(-qSin(end), -qCos(end)) * turn;
    drawArrowHead(p, endPoint, tangent, 2.6, color);
}

void drawMagnifier(QPainter& p, QPointF centre, qreal radius, qreal handleEnd) {
    p.setPen(outlinePen(kBrown, 2.6));
    const qreal handleStart = radius * 0.7;
    p.drawLine(centre + QPointF(handleStart, handleStart), QPointF(handleEnd, handleEnd));
    p.setPen(outlinePen(kOutline, 1.4));
    p.setBrush(kLightBlue);
    p.drawEllipse(centre, radius, radius);
}

void drawNew(QPainter& p) {
    drawPage(p, {4.5, 1.5, 10, 13});
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = qDegreesToRadians(90.0 + i * 36.0);
        const qreal radius = i % 2 == 0 ? 3.6 : 1.5;
        star << QPointF(4.5 + radius * qCos(angle), 4.5 - radius * qSin(angle));
    }
    p.setPen(outlinePen(kBrown, 0.7));
    p.setBrush(kYellow);
    p.drawPolygon(star);
}

void drawFind(QPainter& p) {
    drawMagnifier(p, {6.5, 6.5}, 4.6, 14.5);
}

void drawUpdate(QPainter& p) {
    p.translate(8, 8);
    p.rotate(-45);
    fillShape(p, QPolygonF({{-7.5, 0}, {-4, -2}, {-4, 2}}), QColor(240, 215, 170), 0.8);
    fillShape(p, QPolygonF({{-7.5, 0}, {-6.2, -0.75}, {-6.2, 0.75}}), kOutline, 0.5);
    fillShape(p, QPolygonF(QRectF(-4, -2, 8, 4)), kYellow, 0.8);
    fillShape(p, QPolygonF(QRectF(4, -2, 1.4, 4)), kSteel, 0.8);
    fillShape(p, QPolygonF(QRectF(5.4, -2, 2, 4)), QColor(240, 130, 150), 0.8);
}

void drawDelete(QPainter& p) {
    drawBoldStroke(p, {3.5, 3.5, 12.5, 12.5}, kRed, kDarkRed);
    drawBoldStroke(p, {12.5, 3.5, 3.5, 12.5}, kRed, kDarkRed);
}

void drawRefresh(QPainter& p) {
    drawArcArrow(p, {8, 8}, 5.2, 70, 290, kGreen);
}

void drawCheck(QPainter& p) {
    const QPolygonF mark({{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}});
    p.setBrush(Qt::NoBrush);
    p.setPen(outlinePen(kDarkGreen, 3.8));
    p.drawPolyline(mark);
    p.setPen(outlinePen(kGreen, 2.4));
    p.drawPolyline(mark);
}

void drawPreview(QPainter& p) {
    drawPage(p, {1.5, 1.5, 10, 13});
    drawMagnifier(p, {9.5, 9.5}, 3.0, 14.8);
}

void drawPrint(QPainter& p) {
    fillShape(p, QPolygonF(QRectF(4.5, 1.5, 7, 5)), kPaper);
    p.setPen(outlinePen(kOutline, 1));
    p.setBrush(kSteel);
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.2, 1.2);
    fillShape(p, QPolygonF(QRectF(4.5, 9.5, 7, 5)), kPaper);
    p.setPen(outlinePen(kOutline, 0.7));
    p.drawLine(QLineF(6, 11.5, 10, 11.5));
    p.drawLine(QLineF(6, 13, 10, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 230, 90));
    p.drawEllipse(QPointF(12.6, 7.4), 0.8, 0.8);
}

void drawExit(QPainter& p) {
    fillShape(p, QPolygonF(QRectF(1.5, 1.5, 7, 13)), QColor(90, 60, 30));
    fillShape(p, QPolygonF({{1.5, 1.5}, {6.5, 3}, {6.5, 15.5}, {1.5, 14.5}}), kBrown);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawEllipse(QPointF(5.4, 9), 0.7, 0.7);
    drawStraightArrow(p, {8, 8}, {15, 8}, kGreen);
}

void drawOpen(QPainter& p) {
    fillShape(p, QPolygonF({{1.5, 3.5}, {5.5, 3.5}, {7, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}),
              QColor(225, 170, 40));
    fillShape(p, QPolygonF({{3.5, 7.5}, {15, 7.5}, {13.5, 13.5}, {1.5, 13.5}}), kYellow);
}

void drawSave(QPainter& p) {
    p.setPen(outlinePen(kOutline, 1));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.2, 1.2);
    fillShape(p, QPolygonF(QRectF(4.5, 1.5, 7, 5)), QColor(225, 230, 240));
    fillShape(p, QPolygonF(QRectF(9, 2.5, 1.5, 3)), kOutline, 0.5);
    fillShape(p, QPolygonF(QRectF(3.5, 9, 9, 5.5)), kPaper);
}

void drawCopy(QPainter& p) {
    drawPage(p, {1.5, 1.5, 8, 10});
    drawPage(p, {6.5, 4.5, 8, 10});
}

void drawCut(QPainter& p) {
    p.setPen(outlinePen(kSteel, 1.5));
    p.drawLine(QLineF(6.2, 10.2, 11.5, 1.5));
    p.drawLine(QLineF(9.8, 10.2, 4.5, 1.5));
    p.setPen(outlinePen(kRed, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.8, 12.2), 2.2, 2.2);
    p.drawEllipse(QPointF(11.2, 12.2), 2.2, 2.2);
}

void drawPaste(QPainter& p) {
    fillShape(p, QPolygonF(QRectF(1.5, 2.5, 10, 12)), kBrown);
    fillShape(p, QPolygonF(QRectF(4, 1.5, 5, 2.5)), kSteel);
    drawPage(p, {6.5, 5.5, 8, 9.5});
}

void drawUndo(QPainter& p) {
    drawArcArrow(p, {8, 10}, 5.2, 10, 160, kBlue);
}

void drawRedo(QPainter& p) {
    drawArcArrow(p, {8, 10}, 5.2, 170, -160, kBlue);
}

void drawFilter(QPainter& p) {
    fillShape(p,
              QPolygonF({{1.5, 2.5}, {14.5, 2.5}, {9.5, 8.5}, {9.5, 14}, {6.5, 12.5}, {6.5, 8.5}}),
              kBlue);
}

void drawAdd(QPainter& p) {
    drawBoldStroke(p, {8, 2.5, 8, 13.5}, kGreen, kDarkGreen);
    drawBoldStroke(p, {2.5, 8, 13.5, 8}, kGreen, kDarkGreen);
}

void drawRemove(QPainter& p) {
    drawBoldStroke(p, {2.5, 8, 13.5, 8}, kRed, kDarkRed);
}

void drawPrevious(QPainter& p) {
    fillShape(p, QPolygonF({{11.5, 2.5}, {11.5, 13.5}, {4, 8}}), kBlue);
}

void drawFirst(QPainter& p) {
    fillShape(p, QPolygonF(QRectF(2.5, 2.5, 2, 11)), kBlue);
    fillShape(p, QPolygonF({{13, 2.5}, {13, 13.5}, {5.5, 8}}), kBlue);
}

void drawUp(QPainter& p) {
    fillShape(
        p, QPolygonF({{8, 1.5}, {14, 8}, {10.5, 8}, {10.5, 14.5}, {5.5, 14.5}, {5.5, 8}, {2, 8}}),
        kGreen);
}

// Draws `image` mirrored left to right, or top to bottom.
template <void (*image)(QPainter&)>
void mirroredHorizontally(QPainter& p) {
    p.translate(16, 0);
    p.scale(-1, 1);
    image(p);
}

template <void (*image)(QPainter&)>
void mirroredVertically(QPainter& p) {
    p.translate(0, 16);
    p.scale(1, -1);
    image(p);
}

void drawHelp(QPainter& p) {
    p.setPen(outlinePen(kOutline, 1));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    QPainterPath hook;
    hook.moveTo(5.6, 6.2);
    hook.arcTo(QRectF(5.6, 3.6, 4.8, 4.8), 180, -250);
    hook.lineTo(8, 9.8);
    p.setPen(outlinePen(kPaper, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(8, 12.2), 1.05, 1.05);
}

void drawSettings(QPainter& p) {
    p.setPen(outlinePen(kSteel, 2.8));
    for (int i = 0; i < 4; ++i) {
        const qreal angle = qDegreesToRadians(i * 45.0);
        const QPointF reach(6.6 * qCos(angle), 6.6 * qSin(angle));
        p.drawLine(QPointF(8, 8) + reach, QPointF(8, 8) - reach);
    }
    p.setPen(outlinePen(kOutline, 0.8));
    p.setBrush(kSteel);
    p.drawEllipse(QPointF(8, 8), 4.8, 4.8);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawEllipse(QPointF(8, 8), 2.0, 2.0);
}

void drawExport(QPainter& p) {
    drawPage(p, {1.5, 1.5, 9, 13});
    drawStraightArrow(p, {6, 9.5}, {15, 9.5}, kGreen);
}

void drawImport(QPainter& p) {
    drawPage(p, {5.5, 1.5, 9, 13});
    drawStraightArrow(p, {1, 9.5}, {10.5, 9.5}, kBlue);
}

void drawLock(QPainter& p) {
    p.setPen(outlinePen(kSteel, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 1.8, 7, 9), 0, 180 * 16);
    p.drawLine(QLineF(4.5, 6.3, 4.5, 8));
    p.drawLine(QLineF(11.5, 6.3, 11.5, 8));
    p.setPen(outlinePen(kBrown, 1));
    p.setBrush(kYellow);
    p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7), 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    p.drawEllipse(QPointF(8, 10.3), 1.1, 1.1);
    p.drawRect(QRectF(7.5, 10.5, 1, 2.4));
}

void drawWindowIcon(QPainter& p) {
    drawPage(p, {1, 0.8, 8.5, 10.5});
    drawPage(p, {6.5, 4.7, 8.5, 10.5});
    p.setPen(outlinePen(kBlue, 0.9));
    for (qreal y : {4.5, 6.5, 8.5}) p.drawLine(QLineF(2.5, y, 6, y));
    p.setPen(outlinePen(kBrown, 0.9));
    for (qreal y : {8.5, 10.5, 12.5}) p.drawLine(QLineF(8, y, 13.5, y));
    p.translate(3, 4.5);
    p.scale(0.7, 0.7);
    drawCheck(p);
}

QImage drawnImage(void (*draw)(QPainter&), int pixels) {
    QImage canvas(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(qreal(pixels) / kImageSize, qreal(pixels) / kImageSize);
        draw(painter);
    }
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

struct Drawing {
    const char* key;
    void (*draw)(QPainter&);
};

const std::array<Drawing, 30> kDrawings = {{
    {"New", drawNew},
    {"Find", drawFind},
    {"Update", drawUpdate},
    {"Delete", drawDelete},
    {"Refresh", drawRefresh},
    {"Check", drawCheck},
    {"Preview", drawPreview},
    {"Print", drawPrint},
    {"Exit", drawExit},
    {"Open", drawOpen},
    {"Save", drawSave},
    {"Copy", drawCopy},
    {"Cut", drawCut},
    {"Paste", drawPaste},
    {"Undo", drawUndo},
    {"Redo", drawRedo},
    {"Filter", drawFilter},
    {"Add", drawAdd},
    {"Remove", drawRemove},
    {"First", drawFirst},
    {"Previous", drawPrevious},
    {"Next", mirroredHorizontally<drawPrevious>},
    {"Last", mirroredHorizontally<drawFirst>},
    {"Up", drawUp},
    {"Down", mirroredVertically<drawUp>},
    {"Help", drawHelp},
    {"Settings", drawSettings},
    {"Export", drawExport},
    {"Import", drawImport},
    {"Lock", drawLock},
}};

const Drawing* findDrawing(const QString& key) {
    for (const Drawing& drawing : kDrawings)
        if (key == QLatin1String(drawing.key)) return &drawing;
    return nullptr;
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
    static const QStringList list = [] {
        QStringList names;
        for (const Drawing& drawing : kDrawings) names << QLatin1String(drawing.key);
        return names;
    }();
    return list;
}

bool contains(const QString& key) {
    return findDrawing(key) != nullptr;
}

QImage image(const QString& key, int pixels) {
    const Drawing* drawing = findDrawing(key);
    if (!drawing || pixels <= 0) return {};
    QImage result = drawnImage(drawing->draw, pixels);
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
        result.addPixmap(QPixmap::fromImage(drawnImage(drawWindowIcon, pixels)));
    return result;
}

}  // namespace xhook::ToolbarIcons
