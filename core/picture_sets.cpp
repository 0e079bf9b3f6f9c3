#include "core/picture_sets.hpp"

#include <set>
#include <vector>

#include "core/failure_report.hpp"
#include "core/songs.hpp"

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

// A picture of the song select screen: its file in img/other/ and the size it is drawn at. The
// surface needs no more than that: a file that fails leaves a blank of that size, which draws
// as the full-size blank did.
struct SetPicture {
    PictureBox* box;
    std::string file;
    int w, h;
};

// The pictures that every song shows.
std::vector<SetPicture> CommonPictures(GamenHolder& g) {
    std::vector<SetPicture> set = {
        {&g.pUchu, "uchu.gif", kFormWidthPx, kFormHeightPx},
        {&g.pGal, "gal.gif", 448, 311},
        {&g.pGalUra, "gal_mask.gif", 448, 311},
    };
    const char* courses[] = {"kantan.bmp", "muzu.bmp", "wonder.bmp", "challenge.bmp"};
    for (size_t i = 0; i < 4; ++i) set.push_back({&g.pEazy[i], courses[i], 200, 35});
    set.push_back({&g.pOwnJanru, "own.gif", 370, 32});
    for (size_t i = 0; i < 3; ++i)
        set.push_back({&g.pStar[i], "star" + std::to_string(i + 1) + ".bmp", 38, 38});
    set.push_back({&g.pStarMask, "star_mask.bmp", 38, 38});
    for (size_t i = 0; i < 10; ++i) {
        const std::string d = std::to_string(i);
        set.push_back({&g.pSuji[i], d + ".bmp", 45, 60});
        set.push_back({&g.pSujiMask[i], d + "_mask.bmp", 45, 60});
        set.push_back({&g.pSujiSmall[i], d + "s.bmp", 18, 24});
        set.push_back({&g.pSujiSmallMask[i], d + "s_mask.bmp", 18, 24});
    }
    set.push_back({&g.pSujiSmall[10], "slash.bmp", 18, 24});
    set.push_back({&g.pSujiSmallMask[10], "slash_mask.bmp", 18, 24});
    set.push_back({&g.pSetumei, "setumei.bmp", 603, 99});
    return set;
}

// The pictures of one song: its title and its genre.
std::vector<SetPicture> SongPictures(GamenHolder& g, size_t song) {
    static const char* const genres[kSongCount] = {
        "game.gif", "origin.gif", "origin.gif", "origin.gif", "origin.gif",
        "cla.gif",  "origin.gif", "origin.gif", "heavy.gif",  "cla.gif"};
    return {{&g.pSongTitle[song], "song" + std::to_string(song) + ".gif", 394, 49},
            {&g.pJanru[song], genres[song], 370, 32}};
}

void Load(const std::vector<SetPicture>& set, const std::string& appDir) {
    for (const SetPicture& p : set) {
        p.box->SetSizePx(p.w, p.h);
        TryLoadPicture(*p.box, appDir + "img/other/" + p.file);
    }
}

}  // namespace

bool CheckSecondPictureSet(const Game& game) {
    // One file at a time, none kept: the check costs no more memory than the largest picture.
    GamenHolder names;
    std::vector<SetPicture> set = CommonPictures(names);
    for (size_t song = 0; song < kSongCount; ++song)
        for (SetPicture& p : SongPictures(names, song)) set.push_back(std::move(p));
    std::set<std::string> checked;
    bool ok = true;
    for (const SetPicture& p : set) {
        const std::string path = game.AppDir() + "img/other/" + p.file;
        if (!checked.insert(path).second) continue;
        try {
            LoadPictureFile(path);
        } catch (const PictureError& e) {
            ReportFailure(e.what());
            ok = false;
        }
    }
    return ok;
}

GamenHolder& Gamen(Game& game) {
    std::unique_ptr<GamenHolder>& holder = game.form.frmGamen;
    if (!holder) {
        auto fresh = std::make_unique<GamenHolder>();
        fresh->pGamenUra.SetSizePx(kFormWidthPx, kFormHeightPx);
        Load(CommonPictures(*fresh), game.AppDir());
        holder = std::move(fresh);
    }
    return *holder;
}

GamenHolder& Gamen(Game& game, int16_t song) {
    GamenHolder& g = Gamen(game);
    if (g.songShown == song) return g;
    if (g.songShown >= 0 && g.songShown < kSongCount)
        for (const SetPicture& p : SongPictures(g, size_t(g.songShown))) *p.box = PictureBox{};
    if (song >= 0 && song < kSongCount) Load(SongPictures(g, size_t(song)), game.AppDir());
    g.songShown = song;
    return g;
}

}  // namespace zb
