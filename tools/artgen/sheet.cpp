#include "sheet.hpp"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "draw.hpp"
#include "platform/compose.hpp"
#include "platform/form.hpp"
#include "platform/ttf_text.hpp"
#include "play/play_screen_setup.hpp"

namespace artgen {

namespace {
zb::Surface Load(const std::string& dir, const std::string& name) {
    return zb::LoadPictureFile(dir + "/" + name);
}

struct Mock {
    std::string name;
    zb::Surface pixels;
};

// The song select screen as the game draws it, at the window's pixel origin (-15, 0).
zb::Surface SongSelectMock(const std::string& dir, int difficulty, int song, int level,
                           int highScore, int count, int position, bool challenge) {
    const int X0 = -15, Y0 = 0;
    const char* badges[] = {"kantan.bmp", "muzu.bmp", "wonder.bmp", "challenge.bmp"};
    const char* genres[] = {"game.gif", "origin.gif", "origin.gif", "origin.gif", "origin.gif",
                            "cla.gif",  "origin.gif", "origin.gif", "heavy.gif",  "cla.gif"};
    zb::Surface s(667, 500, zb::colors::Black);
    zb::BlitCopy(Load(dir, "other/uchu.gif"), 0, 0, 697, 499, s, X0, Y0);
    zb::BlitMasked(Load(dir, "other/gal.gif"), Load(dir, "other/gal_mask.gif"), 0, 0, 448, 311, s,
                   X0 + 120, Y0 + 20);
    zb::BlitCopy(Load(dir, std::string("other/") + badges[difficulty]), 0, 0, 200, 35, s, X0 + 243,
                 Y0 + 21);
    zb::BlitCopy(Load(dir, "other/song" + std::to_string(song) + ".gif"), 0, 0, 394, 49, s,
                 X0 + 146, Y0 + 65);
    zb::BlitCopy(Load(dir, std::string("other/") + genres[song]), 0, 0, 370, 32, s, X0 + 158,
                 Y0 + 114);
    const int slots = challenge ? 10 : (difficulty == 0 ? 4 : difficulty == 1 ? 7 : 10);
    const zb::Surface star1 = Load(dir, "other/star1.bmp"), star2 = Load(dir, "other/star2.bmp"),
                      star3 = Load(dir, "other/star3.bmp");
    for (int i = 0; i < slots; ++i)
        zb::BlitCopy(star2, 0, 0, 38, 38, s, X0 + 148 + 35 * i, Y0 + 155);
    for (int i = 0; i < level; ++i) {
        zb::BlitCopy(star1, 0, 0, 38, 38, s, X0 + 148 + 35 * i, Y0 + 155);
        if (i > 9) zb::BlitCopy(star3, 0, 0, 38, 38, s, X0 + 148 + 35 * i, Y0 + 155);
    }
    const std::string digits = std::to_string(highScore);
    for (int i = 1; i <= int(digits.size()); ++i) {
        const std::string g(1, digits[digits.size() - size_t(i)]);
        zb::BlitMasked(Load(dir, "other/" + g + ".bmp"), Load(dir, "other/" + g + "_mask.bmp"), 0,
                       0, 45, 60, s, X0 + 500 - 45 * i, Y0 + 205);
    }
    const int glyphs[5] = {position / 10, position % 10, 10, count / 10, count % 10};
    for (int k = 0; k < 5; ++k) {
        const std::string g = glyphs[k] == 10 ? "slash" : std::to_string(glyphs[k]) + "s";
        zb::BlitMasked(Load(dir, "other/" + g + ".bmp"), Load(dir, "other/" + g + "_mask.bmp"), 0,
                       0, 18, 24, s, X0 + 303 + 18 * k, Y0 + 290);
    }
    zb::BlitCopy(Load(dir, "other/setumei.bmp"), 0, 0, 603, 99, s, X0 + 30, Y0 + 350);
    return s;
}

void Show(zb::PictureBox& box, int leftTwips, int topTwips, int w, int h) {
    box.Left = leftTwips;
    box.Top = topTwips;
    box.SetSizePx(w, h);
    box.Visible = true;
}

zb::LabelControl& Label(zb::MainForm& f, int i, const std::string& text, double size,
                        zb::Color fore, zb::Color back, int left, int top, int w, int h) {
    zb::LabelControl& l = f.Label[size_t(i)];
    l.Caption = text;
    l.FontSize = size;
    l.ForeColor = fore;
    l.BackColor = back;
    l.Left = left, l.Top = top, l.Width = w, l.Height = h;
    l.Visible = true;
    return l;
}

zb::Surface PlayMock(const std::string& dir, zb::TextRenderer& text, bool night, int step) {
    zb::MainForm f;
    f.BackColor = zb::colors::Yellow;  // left from the title screen
    // The drummer: idle face with the left hand and the right foot striking.
    Show(f.pInu, 200, 700, 174, 174);
    zb::Surface& inu = f.pInu.Dc();
    zb::BlitCopy(Load(dir, "wan/inu.gif"), 0, 0, 174, 174, inu, 0, 0);
    zb::BlitMasked(Load(dir, "wan/te1.gif"), Load(dir, "wan/te1_mask.gif"), 0, 0, 71, 86, inu, 0,
                   0);
    zb::BlitMasked(Load(dir, "wan/asi2.gif"), Load(dir, "wan/asi2_mask.gif"), 0, 0, 75, 103, inu,
                   100, 60);
    // The gauge at level 36 of 40.
    Show(f.pGage, 3000, 200, 384, 32);
    zb::Surface& gage = f.pGage.Dc();
    zb::BlitCopy(Load(dir, "gage/gage2.gif"), 0, 0, 384, 32, gage, 0, 0);
    const zb::Surface seg1 = Load(dir, "gage/gage1.gif"), seg3 = Load(dir, "gage/gage3.gif");
    for (int k = 1; k <= 36; ++k)
        zb::BlitCopy(k < 33 ? seg1 : seg3, 0, 0, 8, 32, gage, 8 * k + 24, 0);
    Label(f, 3, "COMBO: 57", 22, zb::colors::Yellow, zb::colors::Black, 300, 200, 3000, 1000);
    // The lane: frame at x 0, note row at y 65.
    f.pFumen.Left = 3000, f.pFumen.Top = 700;
    f.pFumen.SetWidthTwips(6500);
    f.pFumen.SetHeightTwips(3000);
    f.pFumen.Visible = true;
    f.pFumen.BackColor = zb::kLaneColor;
    f.pFumen.Cls();
    zb::Surface& lane = f.pFumen.Dc();
    const int L = 65, F = 0;
    const zb::Surface line = Load(dir, "note/line.gif"), lineMask = Load(dir, "note/line_mask.gif");
    for (int x : {40, 232, 424}) zb::BlitMasked(line, lineMask, 0, 0, 64, 91, lane, x, L - 20);
    struct N {
        int x;
        const char *sprite, *mask;
    };
    const N notes[] = {{-9, "don_s", "s_mask"},  {72, "kan_s", "s_mask"},  {136, "don_s", "s_mask"},
                       {184, "don_s", "s_mask"}, {232, "don_b", "b_mask"}, {296, "kan_s", "s_mask"},
                       {344, "kan_b", "b_mask"}, {424, "don_s", "s_mask"}};
    for (const N& n : notes) {
        const int x = n.x < 1 ? F - 4 * (n.x - F) : n.x, y = n.x < 1 ? L + (n.x - F) : L;
        zb::BlitMasked(Load(dir, std::string("note/") + n.sprite + ".bmp"),
                       Load(dir, std::string("note/") + n.mask + ".bmp"), 0, 0, 64, 64, lane, x, y);
    }
    zb::BlitMasked(Load(dir, "note/waku0.gif"), Load(dir, "note/waku0_mask.gif"), 0, 0, 64, 64,
                   lane, F, L);
    zb::BlitMasked(Load(dir, "hantei/great_1.gif"), Load(dir, "hantei/great_mask.gif"), 0, 0, 64,
                   64, lane, F, L - 30);
    Label(f, 4, "123456", 30, zb::colors::Red, zb::colors::Black, 7500, 3700, 2500, 1000);
    Label(f, 6, "むずかしいコース１曲目　ラクダに揺られて", 19, zb::colors::White,
          zb::colors::Black, 200, 3800, 7300, 350);
    // The background strip with the running friends at one step of their run.
    Show(f.pHaikei, 25, 4505, 650, 176);
    zb::Surface& bg = f.pHaikei.Dc();
    zb::BlitCopy(Load(dir, night ? "haikei/yoru.gif" : "haikei/hiru.gif"), 0, 0, 650, 176, bg, 0,
                 0);
    auto friendAt = [&](int picture, int size, int x, int y) {
        zb::BlitCopy(Load(dir, "haikei/" + std::to_string(picture) + ".gif"), 0, 0, size, size, bg,
                     x, y);
    };
    friendAt(step + 5, 65, 100, 80);
    friendAt(step, 50, 280, 90);
    friendAt(step + 10, 65, 460, 80);
    zb::Surface out;
    zb::ComposeForm(f, text, out);
    return out;
}

zb::Surface TitleMock(const std::string& dir, zb::TextRenderer& text) {
    zb::MainForm f;
    f.BackColor = zb::colors::Yellow;
    f.Image1[0].Picture = std::make_shared<const zb::Surface>(Load(dir, "logo.gif"));
    f.Image1[0].Visible = true;
    const char* items[] = {"かんたん",     "むずかしい", "せってい",
                           "ワンだフル！", "チャレンジ", "ネットワーク"};
    const int tops[] = {2400, 2950, 5150, 3500, 4050, 4600};
    for (int i = 0; i < 6; ++i)
        Label(f, i, items[i], 30, zb::colors::Blue, zb::colors::Yellow, 5500, tops[i], 3500, 550);
    zb::Surface out;
    zb::ComposeForm(f, text, out);
    return out;
}

// The drummer idle, with each strike, and with all four at once, as HitFeedback draws them.
zb::Surface DrummerMock(const std::string& dir) {
    struct Strike {
        const char* name;
        int w, h, x, y;
    };
    const Strike strikes[] = {{"asi1", 75, 103, 0, 60},
                              {"asi2", 75, 103, 100, 60},
                              {"te1", 71, 86, 0, 0},
                              {"te2", 71, 86, 100, 0}};
    const zb::Surface idle = Load(dir, "wan/inu.gif");
    zb::Surface out(6 * 184, 184, zb::colors::Yellow);
    for (int panel = 0; panel < 6; ++panel) {
        zb::Surface face = idle;
        for (int k = 0; k < 4; ++k) {
            if (panel != 5 && panel != k + 1) continue;
            const Strike& s = strikes[k];
            zb::BlitMasked(Load(dir, std::string("wan/") + s.name + ".gif"),
                           Load(dir, std::string("wan/") + s.name + "_mask.gif"), 0, 0, s.w, s.h,
                           face, s.x, s.y);
        }
        zb::BlitCopy(face, 0, 0, 174, 174, out, 5 + 184 * panel, 5);
    }
    return out;
}

// The judgement frame over a lane as it runs through ages 1 to 20 after a 良 (pulse, then word).
zb::Surface JudgementMock(const std::string& dir) {
    const char* pulse[] = {"waku3", "waku2", "waku1", "waku0", "waku-1",
                           "waku0", "waku1", "waku2", "waku3"};
    zb::Surface out(10 * 74, 2 * 120, zb::colors::White);
    for (int age = 1; age <= 20; ++age) {
        const int cx = 74 * ((age - 1) % 10) + 5, cy = 120 * ((age - 1) / 10) + 40;
        const std::string w = age <= 9 ? pulse[age - 1] : "waku";
        zb::BlitMasked(Load(dir, "note/" + w + ".gif"), Load(dir, "note/" + w + "_mask.gif"), 0, 0,
                       64, 64, out, cx, cy);
        if (age >= 5) {
            const char* word = age < 9 ? "great" : age < 13 ? "cool" : age < 17 ? "good" : "bad";
            zb::BlitMasked(Load(dir, std::string("hantei/") + word + "_1.gif"),
                           Load(dir, std::string("hantei/") + word + "_mask.gif"), 0, 0, 64, 64,
                           out, cx, cy - 30);
        }
    }
    return out;
}

std::vector<Mock> Mocks(const std::string& dir) {
    zb::TtfText text;
    std::vector<Mock> m;
    m.push_back({"title.png", TitleMock(dir, text)});
    m.push_back({"song_select.png", SongSelectMock(dir, 1, 4, 7, 654321, 10, 3, false)});
    m.push_back({"song_select_easy.png", SongSelectMock(dir, 0, 6, 1, 0, 10, 7, false)});
    m.push_back(
        {"song_select_challenge.png", SongSelectMock(dir, 3, 8, 11, 1234567, 10, 10, true)});
    m.push_back({"play.png", PlayMock(dir, text, false, 2)});
    m.push_back({"play_night.png", PlayMock(dir, text, true, 4)});
    m.push_back({"drummer.png", DrummerMock(dir)});
    m.push_back({"judgement.png", JudgementMock(dir)});
    return m;
}

void WritePng(const zb::Surface& s, const std::string& path) {
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, s.Width(), s.Height());
    cairo_t* cr = cairo_create(img);
    PaintSurface(cr, s, 0, 0);
    cairo_destroy(cr);
    if (cairo_surface_write_to_png(img, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(img);
        throw std::runtime_error("cannot write " + path);
    }
    cairo_surface_destroy(img);
}

void Caption(cairo_t* cr, const std::string& text, double x, double y, double size = 11) {
    TextStyle st;
    st.size = size;
    st.fill = 0x222222;
    const TextBox b = MeasureText(cr, text, st);
    DrawTextLeft(cr, text, st, x, y + b.h / 2);
}
}  // namespace

void WriteMocks(const std::string& imgDir, const std::string& dir) {
    std::filesystem::create_directories(dir);
    for (const Mock& m : Mocks(imgDir)) WritePng(m.pixels, dir + "/" + m.name);
}

void WriteContactSheet(const ArtSet& art, const std::string& imgDir, const std::string& pngPath) {
    constexpr int kWidth = 1420, kPad = 10, kLabel = 16;
    struct Item {
        std::string name;
        zb::Surface pixels;
        int x = 0, y = 0;
    };
    std::vector<Item> items;
    for (const Picture& p : art.All()) items.push_back({p.name, Load(imgDir, p.name)});
    for (Mock& m : Mocks(imgDir)) items.push_back({"mock: " + m.name, std::move(m.pixels)});
    // Shelf packing in the order drawn.
    int x = kPad, y = kPad + 30, shelf = 0;
    cairo_surface_t* probe = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    cairo_t* pcr = cairo_create(probe);
    for (Item& it : items) {
        TextStyle st;
        st.size = 11;
        const int labelW = int(MeasureText(pcr, it.name, st).w) + 4;
        const int w = std::max(it.pixels.Width(), labelW), h = it.pixels.Height() + kLabel;
        if (x + w > kWidth - kPad) x = kPad, y += shelf + kPad, shelf = 0;
        it.x = x, it.y = y;
        x += w + kPad;
        shelf = std::max(shelf, h);
    }
    cairo_destroy(pcr);
    cairo_surface_destroy(probe);
    const int height = y + shelf + kPad;
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, height);
    cairo_t* cr = cairo_create(img);
    SetColor(cr, 0xB8B8C0);
    cairo_paint(cr);
    Caption(cr, "ズバッコミュージック — every picture under img/ (and mock screens)", kPad, 8, 16);
    for (const Item& it : items) {
        Caption(cr, it.name, it.x, it.y);
        PaintSurface(cr, it.pixels, it.x, it.y + kLabel);
    }
    cairo_destroy(cr);
    const cairo_status_t st = cairo_surface_write_to_png(img, pngPath.c_str());
    cairo_surface_destroy(img);
    if (st != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + pngPath);
}

}  // namespace artgen
