#pragma once
// The two widgets Qt does not have as such: a label that elides its caption
// instead of cutting it, and a view that shows a pixel surface.

#include "platform/surface.h"

#include <QImage>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace zembra {

// A one-line caption. When the text does not fit, it ends in "..." and the whole
// text becomes the tooltip.
class ElidedLabel : public QWidget {
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }
    void setAlignment(Qt::Alignment alignment);
    // Whether the caption as painted is shortened.
    bool isElided() const;

    std::function<void()> onClick;
    std::function<void()> onDoubleClick;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void updateToolTip();
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

// Shows a picture at its own size from the top-left corner, or stretched over the
// whole widget.
class PictureView : public QWidget {
  public:
    explicit PictureView(QWidget* parent = nullptr);

    void setImage(QImage image);
    const QImage& image() const { return image_; }
    void setStretch(bool stretch);
    // A thin sunken border, as picture boxes have.
    void setFramed(bool framed);

    std::function<void()> onClick;
    std::function<void()> onDoubleClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QImage image_;
    bool stretch_ = false;
    bool framed_ = false;
};

// Two arrow buttons over each other: a vertical scroll bar too short for a thumb
// is a spin control, whose upper arrow raises the number beside it.
class SpinArrows : public QWidget {
  public:
    explicit SpinArrows(QWidget* parent = nullptr);
    // +1 for the upper arrow, -1 for the lower; repeats while an arrow is held.
    std::function<void(int step)> onStep;
    QWidget* upArrow() const { return up_; }
    QWidget* downArrow() const { return down_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_;
    QToolButton* down_;
};

// An opaque copy of a surface's pixels. What the forms show (picture boxes, and the
// pictures they hand to image controls) is opaque whatever the top byte says.
QImage ToQImage(const Surface& surface);

} // namespace zembra
