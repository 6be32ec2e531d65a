#pragma once
// The off-screen bitmap the windows draw on: a QImage (RGB32) behind a small
// GDI-like drawing API with a current position, pen colour/width/mode and a
// text style. Antialiasing is off so every pixel is predictable, and XOR
// drawing of the same element twice restores the bitmap exactly.
//
// Canvas font: DejaVu Sans at a pixel size of 12 (bold on request). A pixel
// size rather than a point size keeps the layout identical on screens of any
// resolution and in the offscreen tests; it reads like the classic 8 pt
// dialog font on a 96 dpi screen.

#include <cstdint>
#include <string_view>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>

namespace orma::ui {

/// Colours are 24-bit values 0x00BBGGRR throughout the program.
using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kSilver = 0xC0C0C0;
inline constexpr Colour kGrey = 0x808080;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kAqua = 0xFFFF00;

/// 0x00BBGGRR -> QColor.
QColor toQColor(Colour colour);
/// The value an RGB32 pixel holds when painted with `colour` (0xFFRRGGBB).
QRgb toPixel(Colour colour);

enum class PenMode { Copy, Xor };

class Canvas {
public:
    Canvas();
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    /// New size; the content is lost and the bitmap starts white.
    void resize(int width, int height);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    /// The bitmap. Any painting in progress is finished first, so a copy taken
    /// here is a true snapshot that later drawing does not change.
    const QImage& image() const;

    /// Fills the whole bitmap in copy mode.
    void fill(Colour colour);
    /// The bitmap for painters that set large areas pixel by pixel (RGB32,
    /// 0xFFRRGGBB); painting in progress is finished first.
    QImage& pixelsForWriting();

    void setPenColour(Colour colour);
    Colour penColour() const { return penColour_; }
    void setPenWidth(int width);
    int penWidth() const { return penWidth_; }
    void setPenMode(PenMode mode);
    PenMode penMode() const { return penMode_; }

    void moveTo(int x, int y);
    /// A line from the current position to (x, y), which becomes the current
    /// position. Horizontal and vertical lines follow the classic GDI rule
    /// exactly (start pixel drawn, end pixel not, a wide pen centred on the
    /// line), so a chain of them touches every pixel once, which XOR needs.
    /// Slanted lines are left to the raster engine.
    void lineTo(int x, int y);
    /// One stroke through all points with flat caps and mitred joins: every
    /// pixel is painted once even where segments meet (what XOR-drawn wide
    /// curves rely on).
    void polyline(const QPoint* points, int count);
    /// Outline of the rectangle with corners (left, top) and (right, bottom),
    /// both corners included.
    void rectangle(int left, int top, int right, int bottom);
    /// Fills the pixels left..left+w-1, top..top+h-1 with the pen colour in
    /// the pen mode (used for axis-parallel bars that must not overlap).
    void fillRect(int left, int top, int w, int h);

    /// Restricts all drawing to the pixels left..right, top..bottom (both
    /// included) until clearClip().
    void setClipRect(int left, int top, int right, int bottom);
    void clearClip();

    /// Text style.
    void setFontBold(bool bold);
    void setFontColour(Colour colour);
    /// Opaque: the text cell is filled with the background colour first.
    void setTextOpaque(bool opaque);
    void setTextBackground(Colour colour);
    const QFont& font() const { return font_; }
    void setFont(const QFont& font);

    /// Writes text with its top-left corner at (x, y), always in copy mode.
    /// `text` is UTF-8.
    void textOut(int x, int y, std::string_view text);
    int textWidth(std::string_view text) const;
    int textHeight(std::string_view text) const;

    /// The default canvas font (see the file comment).
    static QFont defaultFont();

private:
    /// Rows per fill call: below the size at which the raster engine starts
    /// handing fills to worker threads.
    static constexpr int kRowBand = 64;

    QPainter& painter();
    void strokeInRowBands(const QPoint* points, int count);
    void applyPen();
    void endPainting() const;

    QImage image_;
    mutable QPainter painter_;
    QFont font_;
    QFontMetrics metrics_;
    Colour penColour_ = kBlack;
    int penWidth_ = 1;
    PenMode penMode_ = PenMode::Copy;
    Colour fontColour_ = kBlack;
    Colour textBackground_ = kWhite;
    bool textOpaque_ = true;
    QPoint position_{0, 0};
    QRect clip_;
    bool clipped_ = false;
};

}  // namespace orma::ui
