#include "gui/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace zembra {

namespace {

// Every glyph is drawn on a 64 x 64 grid and scaled.
constexpr qreal kGrid = 64.0;

const QColor kOutline(0x4a, 0x5a, 0x6c);
const QColor kSky(0xcf, 0xe6, 0xfb);
const QColor kHill(0x3f, 0x9a, 0x5b);
const QColor kFarHill(0x7f, 0xbf, 0x8a);
const QColor kSun(0xf5, 0xc2, 0x42);
const QColor kBlue(0x2f, 0x6f, 0xd0);
const QColor kGreen(0x2e, 0x9e, 0x4f);
const QColor kRed(0xd6, 0x45, 0x41);
const QColor kFolder(0xf2, 0xb3, 0x3d);
const QColor kFolderDark(0xd0, 0x8e, 0x1c);

void Picture(QPainter& p, const QRectF& r) {
    QPainterPath frame;
    frame.addRoundedRect(r, 4, 4);
    p.fillPath(frame, Qt::white);
    const QRectF inner = r.adjusted(4, 4, -4, -4);
    p.save();
    p.setClipRect(inner);
    p.fillRect(inner, kSky);
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    const qreal sun = inner.height() * 0.22;
    p.drawEllipse(QPointF(inner.right() - sun * 1.6, inner.top() + sun * 1.5), sun, sun);
    p.setBrush(kFarHill);
    p.drawPolygon(
        QPolygonF{{inner.left() + inner.width() * 0.35, inner.bottom()},
                  {inner.left() + inner.width() * 0.7, inner.top() + inner.height() * 0.4},
                  {inner.right() + 2, inner.bottom()}});
    p.setBrush(kHill);
    p.drawPolygon(
        QPolygonF{{inner.left() - 2, inner.bottom()},
                  {inner.left() + inner.width() * 0.3, inner.top() + inner.height() * 0.3},
                  {inner.left() + inner.width() * 0.65, inner.bottom()}});
    p.restore();
    p.setPen(QPen(kOutline, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);
}

void Badge(QPainter& p, QPointF centre, const QColor& colour, QChar symbol) {
    const qreal radius = 12;
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(colour);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal arm = 6;
    if (symbol == QLatin1Char('+') || symbol == QLatin1Char('-'))
        p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    if (symbol == QLatin1Char('+'))
        p.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
    if (symbol == QLatin1Char('x')) {
        p.drawLine(centre - QPointF(arm - 1, arm - 1), centre + QPointF(arm - 1, arm - 1));
        p.drawLine(centre + QPointF(-(arm - 1), arm - 1), centre + QPointF(arm - 1, -(arm - 1)));
    }
    if (symbol == QLatin1Char('>')) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(
            QPolygonF{centre + QPointF(-4, -7), centre + QPointF(7, 0), centre + QPointF(-4, 7)});
    }
}

void Folder(QPainter& p, const QRectF& r, bool open) {
    QPainterPath back;
    back.moveTo(r.left(), r.bottom());
    back.lineTo(r.left(), r.top() + 3);
    back.quadTo(r.left(), r.top(), r.left() + 3, r.top());
    back.lineTo(r.left() + r.width() * 0.35, r.top());
    back.lineTo(r.left() + r.width() * 0.45, r.top() + 6);
    back.lineTo(r.right() - 3, r.top() + 6);
    back.quadTo(r.right(), r.top() + 6, r.right(), r.top() + 9);
    back.lineTo(r.right(), r.bottom());
    back.closeSubpath();
    p.setPen(QPen(kFolderDark, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kFolderDark.lighter(115));
    p.drawPath(back);
    QPainterPath front;
    const qreal lift = open ? r.width() * 0.12 : 0;
    front.moveTo(r.left(), r.bottom());
    front.lineTo(r.left() + lift, r.top() + 14);
    front.lineTo(r.right() + lift, r.top() + 14);
    front.lineTo(r.right(), r.bottom());
    front.closeSubpath();
    p.setBrush(kFolder);
    p.drawPath(front);
}

void Sheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kOutline, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 4; ++line) {
        const qreal y = r.top() + 10 + line * (r.height() - 16) / 4;
        p.drawLine(QPointF(r.left() + 7, y), QPointF(r.right() - 7, y));
    }
}

void Arrow(QPainter& p, bool up) {
    QPolygonF shape{{32, 6}, {56, 32}, {42, 32}, {42, 58}, {22, 58}, {22, 32}, {8, 32}};
    if (!up) {
        for (QPointF& point : shape)
            point.setY(kGrid - point.y());
    }
    p.setPen(QPen(kBlue.darker(130), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kBlue);
    p.drawPolygon(shape);
}

void Chevron(QPainter& p, bool forward) {
    p.setPen(QPen(kBlue.darker(130), 2));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(32, 32), 26, 26);
    QPolygonF shape{{26, 18}, {44, 32}, {26, 46}};
    if (!forward) {
        for (QPointF& point : shape)
            point.setX(kGrid - point.x());
    }
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(shape);
}

void Quit(QPainter& p) {
    p.setPen(QPen(kRed.darker(130), 2));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(32, 32), 26, 26);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 22), QPointF(42, 42));
    p.drawLine(QPointF(42, 22), QPointF(22, 42));
}

// A question mark on a blue disc.
void HelpMark(QPainter& p) {
    p.setPen(QPen(kBlue.darker(130), 2));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(32, 32), 26, 26);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(22, 14, 20, 18), 180 * 16, -240 * 16);
    p.drawLine(QPointF(32, 32), QPointF(32, 37));
    p.drawPoint(QPointF(32, 47));
}

// A downward arrow into a tray on a green disc.
void Download(QPainter& p) {
    p.setPen(QPen(kGreen.darker(130), 2));
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(32, 32), 26, 26);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(32, 15), QPointF(32, 38));
    p.drawPolyline(QPolygonF{{22, 29}, {32, 39}, {42, 29}});
    p.drawPolyline(QPolygonF{{19, 41}, {19, 47}, {45, 47}, {45, 41}});
}

// A magnifying glass over the lower right of a glyph.
void Lens(QPainter& p) {
    p.setPen(QPen(kOutline, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(50, 50), QPointF(60, 60));
    p.setPen(QPen(kBlue.darker(130), 3));
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawEllipse(QPointF(42, 42), 12, 12);
}

void Paint(QPainter& p, Glyph glyph) {
    switch (glyph) {
    case Glyph::AddPictures:
        Picture(p, {4, 8, 48, 38});
        Badge(p, {48, 48}, kGreen, QLatin1Char('+'));
        break;
    case Glyph::AddFolder:
        Folder(p, {4, 10, 50, 38}, false);
        Badge(p, {48, 48}, kGreen, QLatin1Char('+'));
        break;
    case Glyph::ClearList:
        Sheet(p, {10, 4, 36, 48});
        Badge(p, {46, 48}, kRed, QLatin1Char('x'));
        break;
    case Glyph::Remove:
        Picture(p, {4, 8, 48, 38});
        Badge(p, {48, 48}, kRed, QLatin1Char('-'));
        break;
    case Glyph::MoveUp:
    case Glyph::MoveDown:
        Arrow(p, glyph == Glyph::MoveUp);
        break;
    case Glyph::Previous:
    case Glyph::Next:
        Chevron(p, glyph == Glyph::Next);
        break;
    case Glyph::Process:
        Picture(p, {4, 8, 48, 38});
        Badge(p, {48, 48}, kGreen, QLatin1Char('>'));
        break;
    case Glyph::PreviewNames:
        Sheet(p, {6, 4, 36, 48});
        Lens(p);
        break;
    case Glyph::ProcessAll:
        Picture(p, {14, 2, 44, 34});
        Picture(p, {4, 14, 44, 34});
        Badge(p, {48, 50}, kGreen, QLatin1Char('>'));
        break;
    case Glyph::Quit:
        Quit(p);
        break;
    case Glyph::Browse:
        Folder(p, {6, 12, 52, 40}, true);
        break;
    case Glyph::Help:
        HelpMark(p);
        break;
    case Glyph::Updates:
        Download(p);
        break;
    case Glyph::Application:
        p.save();
        p.translate(34, 28);
        p.rotate(-12);
        Picture(p, {-26, -20, 50, 38});
        p.restore();
        Picture(p, {8, 18, 50, 38});
        Badge(p, {50, 50}, kBlue, QLatin1Char('>'));
        break;
    }
}

} // namespace

QPixmap DrawGlyph(Glyph glyph, int side, qreal pixelRatio) {
    QPixmap pixmap(QSize(side, side) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / kGrid, side / kGrid);
    Paint(painter, glyph);
    return pixmap;
}

QIcon GlyphIcon(Glyph glyph) {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(DrawGlyph(glyph, side));
    return icon;
}

} // namespace zembra
