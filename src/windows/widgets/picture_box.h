#pragma once

#include <QMetaObject>
#include <QWidget>

#include "engine/field_renderer.h"

namespace morvast {

// A picture box that keeps its drawn image: drawing goes into the canvas, and flush() repaints
// only what the drawing touched. The canvas follows the widget's size and the screen's
// device-pixel ratio; whenever it has to be made afresh (blank) canvasRecreated() asks the
// owner to draw again.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);

    // User units across and down the whole picture; until it is set the picture counts in
    // twips (15 to the logical pixel). An unchanged scale keeps the drawn image.
    void setUserScale(double userWidth, double userHeight);
    void setBackground(uint32_t winColour);
    uint32_t background() const { return canvas_.background(); }
    // BackColor: a new colour clears the picture, drawn image and all.
    void setBackColor(uint32_t winColour);
    void setFillColour(uint32_t winColour);
    void setFillTransparent(bool transparent);

    PictureCanvas& canvas() { return canvas_; }
    const PictureCanvas& canvas() const { return canvas_; }
    // Schedules a repaint of what has been drawn since the last flush.
    void flush();

  signals:
    void canvasRecreated();

  protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    // Makes the canvas afresh when size, scale or ratio no longer match; true if it did.
    bool rebuildIfNeeded();
    double userWidth() const;
    double userHeight() const;

    PictureCanvas canvas_;
    double userWidth_ = 0;  // 0: twips
    double userHeight_ = 0;
    QSize builtSize_;
    double builtDpr_ = 0;
    double builtUserWidth_ = 0;
    double builtUserHeight_ = 0;
    QMetaObject::Connection screenConnection_;
};

}  // namespace morvast
