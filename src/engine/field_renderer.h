#pragma once

#include <cstdint>

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include "engine/game.h"

namespace morvast {

// A picture box that keeps its drawn image: a persistent QImage in device pixels with a user
// coordinate system (user units -> pixels), a background colour and a fill colour for the box
// form of squares. Every drawing call returns nothing; dirtyRect() collects the device-pixel
// area touched since the last takeDirty(), so the widget repaints only that.
class PictureCanvas {
  public:
    // userWidth x userHeight user units are shown on logicalWidth x logicalHeight logical
    // pixels; dpr is the device-pixel ratio of the screen.
    void setGeometry(int logicalWidth, int logicalHeight, double userWidth, double userHeight,
                     double dpr);
    void setBackground(uint32_t winColour) { background_ = winColour; }
    uint32_t background() const { return background_; }
    void setFillColour(uint32_t winColour) { fillColour_ = winColour; }
    void setFillTransparent(bool transparent) { fillTransparent_ = transparent; }

    void cls();
    // Box form: outline in the given colour, inside painted with the fill settings.
    void box(double x1, double y1, double x2, double y2, uint32_t winColour);
    // Filled-box form: the whole square in the given colour.
    void filledBox(double x1, double y1, double x2, double y2, uint32_t winColour);
    void line(double x1, double y1, double x2, double y2, uint32_t winColour);

    const QImage& image() const { return image_; }
    QRect takeDirty();
    // Device-pixel rectangle of a user-unit rectangle (for tests and partial repaint).
    QRect toDevice(const QRectF& user) const;
    QPointF toDevice(double x, double y) const;
    double devicePixelRatio() const { return dpr_; }
    // Device pixels of the outline of a box and of a plain line.
    int penWidth() const;

  private:
    void fill(QRect device, QRgb rgb);

    QImage image_;
    double sx_ = 1, sy_ = 1;
    double dpr_ = 1;
    uint32_t background_ = 0;
    uint32_t fillColour_ = 0xC00000;
    bool fillTransparent_ = false;
    QRect dirty_;
};

// The drawing procedures of the field, the next figure, the coming figures and the phantom.
// They read the game and draw exactly what the rules redraw.
class FieldRenderer {
  public:
    // rnd is the game's own random source: the phantom's colours are drawn from it.
    FieldRenderer(const Game& game, RandomSource& rnd, PictureCanvas& field, PictureCanvas& next)
        : game_(game), rnd_(rnd), field_(field), next_(next) {}

    void DrawField();
    void DrawGrid();
    void DrawFigure();
    void DrawNext();
    // Restores the cells under the phantom's remembered box and remembers (x, y) instead.
    void ErasePhantom(int x, int y);
    // Draws the phantom with its box at (x, y) in two colours fresh from the random source.
    void DrawPhantom(int x, int y);

  private:
    const Game& game_;
    RandomSource& rnd_;
    PictureCanvas& field_;
    PictureCanvas& next_;
    // The phantom box's last position, where the next erase starts.
    int phantomX_ = 0;
    int phantomY_ = 0;
};

// Places 3 to 5 of the queue, one under the other, on the future window's picture.
void DrawFuture(const Game& game, PictureCanvas& future);

}  // namespace morvast
