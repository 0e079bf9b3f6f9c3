#include "core/picture_sets.hpp"

#include "core/failure_report.hpp"

namespace zb {

bool TryLoadPicture(PictureBox& box, const std::string& path) {
    try {
        box.LoadPicture(path);
        return true;
    } catch (const PictureError& e) {
        ReportFailure(e.what());
        return false;
    }
}

bool LoadFirstPictureSet(Game& game) {
    MainForm& f = game.form;
    const std::string img = game.AppDir() + "img/";
    bool ok = true;
    auto load = [&](PictureBox& box, const std::string& file) {
        if (!TryLoadPicture(box, img + file)) ok = false;
    };

    // Small notes, their mask, big notes, their mask.
    const char* notes[] = {"don_s.bmp", "kan_s.bmp", "s_mask.bmp",
                           "don_b.bmp", "kan_b.bmp", "b_mask.bmp"};
    for (size_t i = 0; i < 6; ++i) load(f.pNoteUra[i], std::string("note/") + notes[i]);

    // Each judgement frame picture is followed by its mask.
    const char* frames[] = {"waku", "waku-1", "waku0", "waku1", "waku2", "waku3"};
    for (size_t i = 0; i < 6; ++i) {
        load(f.pWakuUra[2 * i], std::string("note/") + frames[i] + ".gif");
        load(f.pWakuUra[2 * i + 1], std::string("note/") + frames[i] + "_mask.gif");
    }
    load(f.pLineUra[0], "note/line.gif");
    load(f.pLineUra[1], "note/line_mask.gif");

    load(f.pInuKao, "wan/inu.gif");
    const char* poses[] = {"asi2", "asi1", "te1", "te2"};
    for (size_t i = 0; i < 4; ++i) {
        load(f.pInuUra[2 * i], std::string("wan/") + poses[i] + ".gif");
        load(f.pInuUra[2 * i + 1], std::string("wan/") + poses[i] + "_mask.gif");
    }

    // The judgement words keep the mask first.
    struct Word {
        std::array<PictureBox, 2>& boxes;
        const char* name;
    } words[] = {{f.pHanteiBADUra, "bad"},
                 {f.pHanteiGoodUra, "good"},
                 {f.pHanteiGREATUra, "great"},
                 {f.pHanteiCoolUra, "cool"}};
    for (Word& w : words) {
        load(w.boxes[0], std::string("hantei/") + w.name + "_mask.gif");
        load(w.boxes[1], std::string("hantei/") + w.name + "_1.gif");
    }

    PictHolder& p = f.frmPict;
    for (size_t i = 0; i < p.pInu.size(); ++i)
        load(p.pInu[i], "haikei/" + std::to_string(i) + ".gif");
    load(p.pYoru, "haikei/yoru.gif");
    load(p.pHiru, "haikei/hiru.gif");
    return ok;
}

namespace {

// Loads every picture of the second set; false if any failed (its surface is left empty).
bool LoadSecondSet(GamenHolder& g, const std::string& appDir) {
    bool ok = true;
    auto load = [&](PictureBox& box, const std::string& path) {
        if (!TryLoadPicture(box, path)) ok = false;
    };
    // Sizes the surface (in twips) and then loads its picture.
    auto sized = [&](PictureBox& box, int w, int h, const std::string& path) {
        box.SetWidthTwips(w);
        box.SetHeightTwips(h);
        load(box, path);
    };
    const std::string other = appDir + "img/other/";
    constexpr int kSq = 10000;
    for (PictureBox* b : {&g.pGamenUra, &g.pUchu, &g.pGal, &g.pGalUra}) {
        b->SetWidthTwips(kFormWidthTwips);
        b->SetHeightTwips(kFormHeightTwips);
    }
    load(g.pUchu, other + "uchu.gif");
    load(g.pGal, other + "gal.gif");
    load(g.pGalUra, other + "gal_mask.gif");

    for (size_t i = 0; i < kSongCount; ++i)
        sized(g.pSongTitle[i], kSq, kSq, other + "song" + std::to_string(i) + ".gif");

    for (PictureBox& b : g.pEazy) b.SetWidthTwips(kSq), b.SetHeightTwips(kSq);
    const char* courses[] = {"kantan.bmp", "muzu.bmp", "wonder.bmp", "challenge.bmp"};
    for (size_t i = 0; i < 4; ++i) load(g.pEazy[i], other + courses[i]);

    for (PictureBox& b : g.pJanru) b.SetWidthTwips(kSq), b.SetHeightTwips(kSq);
    const char* genres[] = {"game.gif", "origin.gif", "origin.gif", "origin.gif", "origin.gif",
                            "cla.gif",  "origin.gif", "origin.gif", "heavy.gif",  "cla.gif"};
    for (size_t i = 0; i < kSongCount; ++i) load(g.pJanru[i], other + genres[i]);
    g.pOwnJanru.SetWidthTwips(kSq), g.pOwnJanru.SetHeightTwips(kSq);
    load(g.pOwnJanru, other + "own.gif");

    for (PictureBox* b : {&g.pStar[0], &g.pStar[1], &g.pStar[2], &g.pStarMask})
        b->SetWidthTwips(kSq), b->SetHeightTwips(kSq);
    for (size_t i = 0; i < 3; ++i)
        load(g.pStar[i], other + "star" + std::to_string(i + 1) + ".bmp");
    load(g.pStarMask, other + "star_mask.bmp");

    for (size_t i = 0; i < 10; ++i) {
        const std::string d = other + std::to_string(i);
        sized(g.pSuji[i], kSq, kSq, d + ".bmp");
        sized(g.pSujiMask[i], kSq, kSq, d + "_mask.bmp");
        sized(g.pSujiSmall[i], kSq, kSq, d + "s.bmp");
        sized(g.pSujiSmallMask[i], kSq, kSq, d + "s_mask.bmp");
    }
    sized(g.pSujiSmall[10], kSq, kSq, other + "slash.bmp");
    sized(g.pSujiSmallMask[10], kSq, kSq, other + "slash_mask.bmp");
    sized(g.pSetumei, kSq, kSq, other + "setumei.bmp");
    return ok;
}

}  // namespace

bool CheckSecondPictureSet(const Game& game) {
    GamenHolder scratch;
    return LoadSecondSet(scratch, game.AppDir());
}

GamenHolder& Gamen(Game& game) {
    std::unique_ptr<GamenHolder>& holder = game.form.frmGamen;
    if (!holder) {
        auto fresh = std::make_unique<GamenHolder>();
        LoadSecondSet(*fresh, game.AppDir());
        holder = std::move(fresh);
    }
    return *holder;
}

}  // namespace zb
