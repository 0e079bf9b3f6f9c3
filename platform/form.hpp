// The main window as the screens see it: a 10000 x 7500 twip form with a background colour, the
// control arrays Label(0..20), Image1(0..20) and Picture1(0..6), the named picture boxes, the
// timer, and the two hidden picture holders frmPict and frmGamen. Pure data: the window
// adapters draw it (compose.hpp) and route clicks on it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/color.hpp"
#include "platform/surface.hpp"

namespace zb {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kFormWidthTwips = 10000;
inline constexpr int kFormHeightTwips = 7500;
inline constexpr int kFormWidthPx = 667;  // 10000 twips, rounded
inline constexpr int kFormHeightPx = 500;

// Twips to whole pixels for drawing (nearest, halves to even like every conversion of the game).
int TwipsToPx(int twips);

// A picture file that is missing, unreadable or not a BMP/GIF picture.
class PictureError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Decodes a BMP or GIF file into a surface. Throws PictureError.
Surface LoadPictureFile(const std::string& path);

enum class Align { Left, Center };

// A caption's line break: a label breaks its text at CR LF.
inline constexpr const char* kBreak = "\r\n";

struct LabelControl {
    std::string Caption;
    double FontSize = 9;  // points; 1 point = 20 twips
    Color ForeColor = colors::Black;
    Color BackColor = colors::White;
    int Left = 0, Top = 0, Width = 1000, Height = 300;  // twips
    Align Alignment = Align::Left;
    int TabIndex = 0;
    bool Visible = false;
};

struct ImageControl {
    std::shared_ptr<const Surface> Picture;  // shown at its own size
    int Left = 0, Top = 0;                   // twips
    bool Visible = false;

    // Throws PictureError; the old picture stays on failure.
    void LoadPicture(const std::string& path);
};

// Text printed on a picture box, in pixels of the box: drawn over its drawing when the form is
// composed, until the box is cleared.
struct PrintedText {
    int x = 0, y = 0, w = 0, h = 0;
    std::string text;
    double points = 9;
    Color color = colors::Black;
    Align align = Align::Left;
};

// A picture box: a drawing surface (its device context) with an optional loaded picture.
// The surface is at least as large as the box and always holds the loaded picture whole.
class PictureBox {
  public:
    int Left = 0, Top = 0;  // twips
    bool Visible = false;
    bool AutoRedraw = true;
    Color BackColor = colors::White;

    int WidthTwips() const { return widthTwips_; }
    int HeightTwips() const { return heightTwips_; }
    int WidthPx() const { return TwipsToPx(widthTwips_); }
    int HeightPx() const { return TwipsToPx(heightTwips_); }
    void SetWidthTwips(int twips);
    void SetHeightTwips(int twips);
    void SetSizePx(int w, int h) {
        SetWidthTwips(w * kTwipsPerPixel);
        SetHeightTwips(h * kTwipsPerPixel);
    }

    // Loads a picture file; it becomes the box's picture and is drawn at (0, 0). Throws
    // PictureError and leaves the box unchanged on failure.
    void LoadPicture(const std::string& path);
    void SetPicture(Surface picture);
    void RemovePicture();
    bool HasPicture() const { return hasPicture_; }

    // Clears the drawing: back colour, then the picture; the printed text goes.
    void Cls();
    std::vector<PrintedText> Printed;

    // The device context that raster copies read and write.
    Surface& Dc() { return dc_; }
    const Surface& Dc() const { return dc_; }

  private:
    void Fit();
    // Draws the picture at (0, 0).
    void ShowPicture();

    int widthTwips_ = 0, heightTwips_ = 0;
    bool hasPicture_ = false;
    Surface picture_;
    Surface dc_;
};

struct Timer {
    bool Enabled = false;
    int Interval = 0;  // milliseconds
};

// Hidden holder of the background pictures; loaded once.
struct PictHolder {
    PictureBox pHaikeiUra, pHiru, pYoru;
    std::array<PictureBox, 15> pInu;
};

// Hidden holder of the song select pictures; released by every screen reset.
struct GamenHolder {
    PictureBox pGamenUra, pUchu, pGal, pGalUra;
    std::array<PictureBox, 10> pSongTitle;
    std::array<PictureBox, 4> pEazy;
    std::array<PictureBox, 10> pJanru;
    PictureBox pOwnJanru;  // the genre of the players' own songs
    std::array<PictureBox, 3> pStar;
    PictureBox pStarMask;
    std::array<PictureBox, 10> pSuji, pSujiMask;
    std::array<PictureBox, 11> pSujiSmall, pSujiSmallMask;
    PictureBox pSetumei;
    int16_t songShown = -1;  // the song whose title and genre are loaded (-1: none)
};

// The game's name: the window's caption and the title of every message box.
inline constexpr const char* kAppTitle = "ズバッコミュージック";

struct MainForm {
    std::string Caption = kAppTitle;
    Color BackColor = colors::Black;
    bool AutoRedraw = false;

    std::array<LabelControl, 21> Label;
    std::array<ImageControl, 21> Image1;
    std::array<PictureBox, 7> Picture1;
    std::array<Timer, 1> Timer1;

    // Visible surfaces, in stacking order from the bottom (see compose.cpp).
    PictureBox pHaikei, pFumen, pGage, pInu, pGamen;

    // Hidden surfaces.
    PictureBox pFumenUra, pGageUra, pGage1, pGage2, pGage3, pInuMask, pInuKao, pHanteiMask;
    std::array<PictureBox, 6> pNoteUra;
    std::array<PictureBox, 2> pLineUra;
    std::array<PictureBox, 12> pWakuUra;
    std::array<PictureBox, 8> pInuUra;
    std::array<PictureBox, 2> pHanteiBADUra, pHanteiGoodUra, pHanteiGREATUra, pHanteiCoolUra;

    PictHolder frmPict;
    std::unique_ptr<GamenHolder> frmGamen;  // null while released

    MainForm();
};

// What a click landed on: an element of Label or Image1, or the form itself (index 0).
enum class ClickSource : uint8_t { Label, Image, Form };

// The control array's name, as logs show it: "Label", "Image1" or "Form".
constexpr std::string_view ClickSourceName(ClickSource s) {
    switch (s) {
        case ClickSource::Label:
            return "Label";
        case ClickSource::Image:
            return "Image1";
        case ClickSource::Form:
            return "Form";
    }
    return "";
}

struct ClickTarget {
    ClickSource source = ClickSource::Form;
    int index = 0;
};
// Where a click at a pixel of the form lands: the topmost visible control that takes clicks, or
// nothing when a picture box took it.
std::optional<ClickTarget> HitTest(const MainForm& form, int xPx, int yPx);

}  // namespace zb
