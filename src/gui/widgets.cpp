#include "gui/widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace zembra {

// [SECTION] ElidedLabel

ElidedLabel::ElidedLabel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setText(const QString& text) {
    if (text_ == text)
        return;
    text_ = text;
    updateToolTip();
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

namespace {
// Captions break lines with CR LF; each line is shortened on its own.
QStringList CaptionLines(QString text) {
    text.remove(QLatin1Char('\r'));
    return text.split(QLatin1Char('\n'));
}
} // namespace

bool ElidedLabel::isElided() const {
    for (const QString& line : CaptionLines(text_)) {
        if (fontMetrics().horizontalAdvance(line) > width())
            return true;
    }
    return false;
}

QSize ElidedLabel::sizeHint() const {
    const QStringList lines = CaptionLines(text_);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    return {widest, fontMetrics().height() * static_cast<int>(lines.size())};
}

void ElidedLabel::updateToolTip() {
    setToolTip(isElided() ? text_ : QString());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateToolTip();
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStringList lines = CaptionLines(text_);
    for (QString& line : lines)
        line = fontMetrics().elidedText(line, Qt::ElideRight, width());
    const QString shown = lines.join(QLatin1Char('\n'));
    style()->drawItemText(&painter, rect(), static_cast<int>(alignment_), palette(), isEnabled(),
                          shown, QPalette::WindowText);
}

void ElidedLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick)
        onClick();
}

void ElidedLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onDoubleClick)
        onDoubleClick();
}

// [SECTION] PictureView

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::setImage(QImage image) {
    image_ = std::move(image);
    update();
}

void PictureView::setStretch(bool stretch) {
    if (stretch_ == stretch)
        return;
    stretch_ = stretch;
    update();
}

void PictureView::setFramed(bool framed) {
    framed_ = framed;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect area = rect();
    if (framed_) {
        QStyleOptionFrame option;
        option.initFrom(this);
        option.frameShape = QFrame::StyledPanel;
        option.state |= QStyle::State_Sunken;
        option.lineWidth = 1;
        style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
        area.adjust(1, 1, -1, -1);
    }
    if (image_.isNull())
        return;
    painter.setClipRect(area);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(area, image_);
    } else {
        painter.drawImage(area.topLeft(), image_);
    }
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick)
        onClick();
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onDoubleClick)
        onDoubleClick();
}

// [SECTION] SpinArrows

SpinArrows::SpinArrows(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (auto [button, arrow, step] :
         {std::tuple{up_, Qt::UpArrow, 1}, std::tuple{down_, Qt::DownArrow, -1}}) {
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        QObject::connect(button, &QToolButton::clicked, this, [this, step = step] {
            if (onStep)
                onStep(step);
        });
    }
}

void SpinArrows::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

// [SECTION] Pixels

QImage ToQImage(const Surface& surface) {
    // Surface words hold 0x..RRGGBB, the layout of Format_RGB32 once the top byte is 0xFF.
    QImage image(surface.Width(), surface.Height(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < surface.Height(); ++y) {
        const auto row = surface.Row(y);
        auto* out = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        std::transform(row.begin(), row.end(), out,
                       [](std::uint32_t pixel) { return pixel | 0xFF000000u; });
    }
    return image;
}

} // namespace zembra
