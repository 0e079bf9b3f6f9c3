// The judgement words shown above the frame: 良, 可, 不可, and a grander 良 for big notes.
#include <cmath>

#include "art.hpp"
#include "draw.hpp"

namespace artgen {

void DrawJudgement(ArtSet& art) {
    {
        Canvas c(64, 64);
        TextStyle st;
        st.size = 46;
        st.fill = pal::Yellow;
        st.strokes = {{pal::Ink, 8}, {pal::Orange, 4.5}};
        st.boldness = 1.5;
        DrawTextCentered(c.cr(), "良", st, 32, 32);
        art.Sprite("hantei/great_1.gif", "hantei/great_mask.gif", c);
    }
    {
        Canvas c(64, 64);
        TextStyle st;
        st.size = 44;
        st.fill = pal::White;
        st.strokes = {{pal::Ink, 8}, {pal::KanLight, 4.5}};
        st.boldness = 1.5;
        DrawTextCentered(c.cr(), "可", st, 32, 32);
        art.Sprite("hantei/good_1.gif", "hantei/good_mask.gif", c);
    }
    {
        Canvas c(64, 64);
        TextStyle st;
        st.size = 29;
        st.fill = 0xC9C3D6;
        st.strokes = {{pal::Ink, 6}};
        st.boldness = 1.2;
        st.maxWidth = 62;
        DrawTextCentered(c.cr(), "不可", st, 32, 33);
        art.Sprite("hantei/bad_1.gif", "hantei/bad_mask.gif", c);
    }
    {
        // The grand 良: a golden burst behind a larger, red-rimmed word.
        Canvas c(64, 64);
        cairo_t* cr = c.cr();
        cairo_new_path(cr);
        for (int i = 0; i < 16; ++i) {
            const double r = (i % 2 == 0) ? 30.5 : 22;
            const double a = -M_PI / 2 + i * M_PI / 8;
            cairo_line_to(cr, 32 + r * std::cos(a), 32 + r * std::sin(a));
        }
        cairo_close_path(cr);
        FillStroke(cr, pal::Yellow, pal::Ink, 2);
        TextStyle st;
        st.size = 48;
        st.fill = pal::White;
        st.strokes = {{pal::Ink, 9}, {pal::DonRed, 5}};
        st.boldness = 1.5;
        DrawTextCentered(cr, "良", st, 32, 32);
        art.Sprite("hantei/cool_1.gif", "hantei/cool_mask.gif", c);
    }
}

}  // namespace artgen
