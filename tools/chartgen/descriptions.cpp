// The ten songs as a drummer would sketch them: motifs at full density (the hardest chart) and
// the sections that string them together. Easier charts keep the strong beats of the same
// motifs; see README.md for the notation.
#include "description.hpp"

namespace chartgen {
namespace {

const std::string kLead16(16, '0');

Song Song0() {
    Song s{0, "A battle in a driving 3-3-2 pulse; the chorus answers don with kan.", {}, {}, {}};
    s.motifs = {
        // Intro: the pulse gathers from half notes to a roll.
        {"In1", "o__x__x_o__x_xk_"},
        {"In2", "o_k.o_k.o_kkdkdk"},
        // Verse: the 3-3-2 drive, accents on its three strokes.
        {"A1", "o.ko.kx.d.kd.kk."},
        {"A2", "o.ko.kx.d.k.dkdk"},
        {"A3", "o.ko.kx.d.kd.x.k"},
        {"Af", "o.ko.kx.dkdkddkk"},
        // Chorus: melody hits, kan answers.
        {"B1", "D..xd.k.d.k.x.d."},
        {"B2", "d..xd.k.dkd.k.kk"},
        {"B3", "D..xd.k.d.k.xdkd"},
        {"Bf", "dkdkd.dkdkdkD_K_"},
        // Bridge: half time, space before the return.
        {"C1", "D___x___d.d.k___"},
        {"C2", "d___k.k.d.d.x.kk"},
        {"Cf", "d.d.k.k.dkdkdkdk"},
        // Climax: sixteenths in both hands over the same 3-3-2.
        {"X1", "okdko.kdxkdkd.kk"},
        {"X2", "okd.okd.xkdkdkdk"},
        {"X3", "D.kdo.kdx.kdkkdd"},
        {"Xf", "dkdkdddkkkddD_D_"},
        // Outro and the last hits.
        {"O1", "D.k.d.k.d.k.d.k."},
        {"O2", "d.k.d.kkd.k.dkdk"},
        {"E1", "d.k.d.k.d.k.dkdk"},
        {"E2", "D_______________"},
    };
    s.parts = {{{kLead16},
                {{"intro", 0, "- - In1 In2"},
                 {"verse", 1, "A1 A2 A1 A3 A1 A2 A1 Af A1 A2 A1 A3 A1 A2 A3 Af"},
                 {"chorus", 2, "B1 B2 B1 B2 B3 B2 B1 Bf B1 B2 B1 B2 B3 B2 B3 Bf"},
                 {"bridge", 1, "C1 C2 C1 C2 C1 C2 C2 Cf"},
                 {"verse again", 2, "A1 A2 A1 A3 A1 A2 A1 Af A1 A2 A1 A3 A1 A2 A3 Af"},
                 {"chorus again", 3, "B1 B2 B1 B2 B3 B2 B1 Bf B1 B2 B1 B2 B3 B2 B3 Bf"},
                 {"climax", 3, "X1 X2 X1 X3 X1 X2 X3 Xf X1 X2 X1 X3 X1 X2 X3 Xf"},
                 {"outro", 2, "O1 O2 O1 O2 O1 O2 O1 O2 O2"},
                 {"ending", 1, "E1 E2"}}}};
    s.pins = {{0, 0, 1, "5000000000000000"},  {0, 0, 2, "5000000000000000"},
              {0, 0, 3, "6000000010000000"},  {0, 0, 4, "6000100010000000"},
              {0, 0, -2, "6000100010001000"}, {0, 0, -1, "8000000000000000"}};
    return s;
}

Song Song1() {
    Song s{1, "A short all-out sprint of sixteenths; kan bursts mark the phrase ends.", {}, {}, {}};
    s.motifs = {
        {"I1", "D.d.d.d.dkdkdkdk"},
        {"I2", "D.d.d.d.dddkkkDK"},
        // The run: sixteenths with kan on the backbeat.
        {"A1", "dkdkx.dkdkdkx.dk"},
        {"A2", "dkdkx.dkdkd.xkdk"},
        {"A3", "ddkdx.kddkdkx.kk"},
        {"Af", "dkdkdkdkdddkkkD_"},
        // Kan bursts off the beat.
        {"B1", "D.xkd.xkd.xkdkdk"},
        {"B2", "d.xkd.xkdkdkd.kk"},
        {"Bf", "dkkdkkdkkdkdD_K_"},
        {"E1", "dkdkdddkkkdkdkdk"},
        {"E2", "D_D_D_K_D_______"},
    };
    s.parts = {{{"0", kLead16},
                {{"intro", 2, "I1 I2 I1 I2"},
                 {"first run", 3, "A1 A2 A1 A3 A1 A2 A1 Af A1 A2 A1 A3 A1 A2 A3 Af"},
                 {"kan bursts", 2, "B1 B2 B1 Bf B1 B2 B1 Bf"},
                 {"second run", 3, "A1 A2 A1 A3 A1 A2 A3 Af A1 A2 A3 Af"},
                 {"finish", 3, "E1 E1 E1 E1 E1 E1 E1 E2"}}}};
    return s;
}

Song Song2() {
    Song s{2, "Sudden death: a stop-start riff that breaks into a gallop.", {}, {}, {}};
    s.motifs = {
        {"In1", "D_______D_______"},
        {"In2", "D_______D___x.k."},
        {"In3", "D.d.D.d.D.d.kkkk"},
        // The stop-start riff.
        {"A1", "o.d.x.d.dd.ox.k."},
        {"A2", "o.d.x.d.dd.oxdkk"},
        {"Af", "d.dkd.dkdkdkdkkk"},
        // The gallop: three-note figures, kan on the backbeat.
        {"B1", "Dkd.xkd.Dkd.xkdk"},
        {"B2", "dkd.xkd.dkdkx.kk"},
        {"Bf", "dkdkdkdkdddkkkK_"},
        {"C1", "D___x___D___x___"},
        {"C2", "D___x___D.k.x.k."},
        {"D1", "D_K_D_K_dkdkdkdk"},
        {"D2", "D_K_D_K_ddkkddkk"},
        {"F1", "dkdko.kdd.kdxkdk"},
        {"F2", "dkd.okd.dkdkxkkk"},
        {"F3", "ddkdo.kddkkdxkdk"},
        {"Ff", "dkdkdkdkdddkkkD_"},
        {"E1", "D.d.D.d.D.k.K.k."},
        {"E2", "D___K___D___K___"},
        {"E3", "D_______________"},
    };
    s.parts = {{{kLead16},
                {{"intro", 1, "In1 In2 In1 In2 In1 In2 In3 In3"},
                 {"riff", 2, "A1 A2 A1 Af A1 A2 A1 Af A1 A2 A1 Af A1 A2 A2 Af"},
                 {"gallop", 3, "B1 B2 B1 B2 B1 B2 B1 Bf B1 B2 B1 B2 B1 B2 B2 Bf"},
                 {"half time", 1, "C1 C2 C1 C2 C1 C2 C1 C2"},
                 {"riff again", 2, "A1 A2 A1 Af A1 A2 A1 Af A1 A2 A1 Af A1 A2 A2 Af"},
                 {"gallop again", 3, "B1 B2 B1 B2 B1 B2 B1 Bf B1 B2 B1 B2 B1 B2 B2 Bf"},
                 {"break", 2, "D1 D2 D1 D2 D1 D2 D1 Bf"},
                 {"final run", 3, "F1 F2 F1 F3 F1 F2 F1 Ff F1 F2 F1 F3 F1 F2 F3 Ff F1 F2 F3 Ff"},
                 {"ending", 2, "E1 E2 E3"}}}};
    return s;
}

Song Song3() {
    Song s{3, "A slow fanfare that opens into a stately march and a wide finale.", {}, {}, {}};
    s.motifs = {
        {"F1", "D_______________"}, {"F2", "D_______D_______"}, {"F3", "D_______D___K___"},
        {"F4", "D___D___K___D.d."}, {"G1", "D___k.k.d___x.k."}, {"G2", "d.k.d.k.d.kkx.kk"},
        {"G3", "d.kkd.kkdkdkdkdk"}, {"A1", "D.ko.kd.d.k.x.k."}, {"A2", "d.ko.kd.dkd.x.kk"},
        {"A3", "d.ko.kd.d.kkxkdk"}, {"B1", "D.d.x.dkd.d.xdkk"}, {"B2", "dkd.x.dkd.dkxdkd"},
        {"Bf", "dkdkdddkkkdkD_K_"}, {"C1", "D___k.k.d.k.d___"}, {"C2", "d.k.x.k.d.k.dkdk"},
        {"X1", "D.kkd.kkD.kkdkdk"}, {"X2", "dkdkx.kkdkdkx.kk"}, {"Xe", "D___D___D_______"},
    };
    s.parts = {{{"0", kLead16},
                {{"fanfare", 1, "F1 F2 F1 F3 F1 F2 F3 F4"},
                 {"rising", 2, "G1 G2 G1 G2 G1 G2 G2 G3"},
                 {"march", 2, "A1 A2 A1 A3 A1 A2 A1 A3 A1 A2 A1 A3 A1 A2 A3 A3"},
                 {"grand march", 3, "B1 B2 B1 B2 B1 B2 B1 Bf B1 B2 B1 B2 B1 B2 B2 Bf"},
                 {"interlude", 2, "C1 C2 C1 C2 C1 C2 C1 C2 C1 C2 C2 G3"},
                 {"finale", 3, "X1 X2 X1 X2 X1 X2 X2 Xe"}}}};
    return s;
}

Song Song4() {
    Song s{4,
           "A camel's sway in threes; at the oasis it breaks into a four-times gallop.",
           {},
           {},
           {}};
    s.motifs = {
        // Four beats of three: the beat on the first, the sway on the third.
        {"S1", "D_____k_____"}, {"S2", "d_____k__d__"}, {"A1", "d_kd_kx_kd_k"},
        {"A2", "d_kd_kdkkx_k"}, {"A3", "d_kd_kx_kddk"}, {"B1", "D.kd.kx.kdkk"},
        {"B2", "dkkd.kxkkd.k"}, {"B3", "dkkdkkx.kdkk"}, {"Bf", "dkdkdkdddkkk"},
        {"Br", "D_____K_____"}, {"G1", "D.kd.kx.kd.k"}, {"G2", "d.kd.kxkkd.k"},
        {"Ge", "D_____D_____"},
    };
    s.parts = {{{std::string(12, '0')},
                {{"sway", 0, "S1 S2 S1 S2"},
                 {"walk", 1, "A1 A2 A1 A3 A1 A2 A1 A3"},
                 {"trot", 2, "B1 B2 B1 B3 B1 B2 B3 Bf"},
                 {"trot on", 2, "B1 B2 B1 B3 B1 B2 B3 Bf"},
                 {"oasis", 0, "Br"},
                 {"gallop", 3, "G1 G2 G1 G2 G1 G2 G1 Ge"}}}};
    return s;
}

Song Song5() {
    Song s{5, "A march in three parts: a brisk march, the broad trio, a short coda.", {}, {}, {}};
    s.motifs = {
        // March (part 0).
        {"M1", "D.d.x.d.d.d.x.dk"},
        {"M2", "d.dkx.d.d.dkx.kk"},
        {"M3", "dkd.x.dkd.d.xdkd"},
        {"Mf", "dkdkdkdkdddkkkD_"},
        {"N1", "Dkdkx.k.dkdkx.kk"},
        {"N2", "dkd.xkd.dkdkxkdk"},
        {"Nf", "dkdkdddkkkdkdkK_"},
        // Trio (part 1): the broad tune, one accent per beat at most.
        {"T1", "D___d___k___d___"},
        {"T2", "d___d.k.d___k___"},
        {"T3", "D_______d.k.d.k."},
        {"T4", "d.k.d___D___K___"},
        {"T5", "D.d.k.d.D.d.k.k."},
        {"Te", "D_______________"},
        // Coda (part 2).
        {"K0", "__d.d.k.d.dkd.kk"},
        {"K1", "D.dkx.kdd.dkxkkk"},
        {"K2", "D.k.D.k.dkdkdkdk"},
        {"Ke", "D___D___D_______"},
    };
    s.parts = {
        {{"00000000", kLead16},
         {{"march", 2, "M1 M2 M1 M3 M1 M2 M1 Mf M1 M2 M1 M3 M1 M2 M3 Mf"},
          {"march, full band", 3, "N1 N2 N1 N2 N1 N2 N1 Nf N1 N2 N1 N2 N1 N2 Nf"}}},
        {{},
         {{"trio", 1, "T1 T2 T3 T4 T1 T2 T3 T4"},
          {"trio, full band", 2, "T5 T2 T5 T4 T5 T2 T5 T4 T5 T2 T5 Te"}}},
        {{}, {{"coda", 3, "K0 K1 K1 K2 K1 K2 Ke"}}},
    };
    return s;
}

Song Song6() {
    Song s{6, "A town at dusk: a lazy swing, a slow bridge, and lights coming on.", {}, {}, {}};
    s.motifs = {
        {"A1", "D___k.k.d___x.d."}, {"A2", "d___k.k.d.k.x___"}, {"A3", "d.k.k.k.d___x.kk"},
        {"B1", "D.ko.kd.d.k.x.k."}, {"B2", "d.ko.kd.dkd.x.kk"}, {"Bf", "d.dkd.dkdkdkD_K_"},
        {"S1", "D_______k.k.d___"}, {"S2", "d___k___d.k.k___"}, {"S3", "D___k.k.d___K___"},
        {"L1", "D.kdo.kdd.kdxdkk"}, {"L2", "dkd.okd.dkdkx.kk"}, {"L3", "dkdko.kdd.kdxdkd"},
        {"Lf", "dkdkdddkkkdkD___"}, {"Le", "D_______________"},
    };
    s.parts = {
        {{"00000", kLead16},
         {{"evening", 1, "A1 A2 A1 A3 A1 A2 A1 A3 A1 A2 A1 A3 A1 A2 A3 A3"},
          {"streets", 2, "B1 B2 B1 B2 B1 B2 B1 Bf B1 B2 B1 B2 B1 B2 B1 Bf"},
          {"evening again", 2, "A1 A2 A1 A3 A1 A2 A3 A3 A1 A3"}}},
        {{"000000"}, {{"bridge", 0, "S1 S2 S1 S3 S2 S3"}}},
        {{},
         {{"lights", 2, "L1 L2 L1 L2 L1 L2 L1 Lf"}, {"night", 3, "L1 L3 L1 L3 L1 L3 L2 Lf L1 Le"}}},
    };
    return s;
}

Song Song7() {
    Song s{
        7, "Floating above the clouds: long notes, then a light wind of sixteenths.", {}, {}, {}};
    s.motifs = {
        {"C1", "D_______k_______"}, {"C2", "d_______k___k___"}, {"C3", "D_______k.k.k___"},
        {"A1", "D..xd.k.d..xk.k."}, {"A2", "d..xd.k.d.k.k.kk"}, {"A3", "d..xd.k.dkdkd.k."},
        {"Af", "d.k.d.k.dkdkdkK_"}, {"B1", "D.kk.xd.d.kk.xd."}, {"B2", "d.kk.xd.dkdk.xdk"},
        {"Bf", "dkkdkkdkkdkkD_K_"}, {"W1", "dkdko.kdd.kdx.kk"}, {"W2", "dkd.okd.dkdkxkdk"},
        {"Wf", "dkdkdddkkkdkdkD_"}, {"E1", "D_______K_______"}, {"E2", "D_______________"},
    };
    s.parts = {{{kLead16},
                {{"clouds", 0, "C1 C2 C1 C3 C1 C2 C1 C3"},
                 {"drift", 1, "A1 A2 A1 A3 A1 A2 A1 Af A1 A2 A1 A3 A1 A2 A3 Af"},
                 {"breeze", 2, "B1 B2 B1 B2 B1 B2 B1 Bf B1 B2 B1 B2 B1 B2 B2 Bf"},
                 {"clouds again", 0, "C1 C2 C1 C3 C1 C2 C3 C3"},
                 {"wind", 3, "W1 W2 W1 W2 W1 W2 W1 Wf W1 W2 W1 W2 W1 W2 W2 Wf"},
                 {"drift again", 2, "A1 A2 A1 A3 A1 A2 A3 Af"},
                 {"high wind", 3, "W1 W2 W1 W2 W1 W2 W1 Wf W1 W2 W1 W2 W1 W2 W2 Wf"},
                 {"landing", 1, "E1 E1 E1 E2 E2"}}}};
    return s;
}

Song Song8() {
    Song s{8,
           "A bike race in a rolling triplet beat; pairs of straight measures shift gear.",
           {},
           {},
           {}};
    s.motifs = {
        // Rolling triplets: four beats of six, triplet eighths on 0, 2 and 4 of each beat.
        {"R0", "D_____d_____k_____d_____"},
        {"R1", "D_____d___k_d_____k___k_"},
        {"R2", "d___k_d___k_d___kkd___k_"},
        {"A1", "D_k_d_o_k_d_d_k_d_x_k_kk"},
        {"A2", "d_k_d_o_k_dkd_k_d_x_kdkk"},
        {"A3", "d_k_dko_k_d_d_kdd_x_k_dk"},
        {"B1", "D.kdkdo.kdkdd.kdkdx.kkdk"},
        {"B2", "d.kdkdo.kdkkd.kdkdxkdkdk"},
        {"B3", "dkkdkko.kdkdd.kdkkxkdkdk"},
        {"C1", "D_____K_____D_____K_____"},
        {"C2", "D_____K_____D___k_K___k_"},
        {"X1", "dkdkdko.kdkdd.kdkdxkdkdk"},
        {"X2", "dkdkddokdkdkdkdkddxkdkdk"},
        {"X3", "D.kdkdo.kdkdd.kdkdxkkddd"},
        {"Z1", "D_______________________"},
        // Straight gear shifts: pairs of sixteen.
        {"G1", "dkdkdkdkdddkkkdd"},
        {"G2", "dkdkdddkkkdkD_K_"},
        {"H1", "D.d.x.d.d.d.x.kk"},
        {"H2", "dkd.xkd.dkdkD_D_"},
    };
    s.parts = {{{"0", std::string(24, '0')},
                {{"start line", 0, "R0 R1 R0 R2 R0 R1 R2"},
                 {"shift", 1, "H1 H2"},
                 {"first lap", 2, "A1 A2 A1 A3 A1 A2 A1 A3"},
                 {"shift", 2, "G1 G2"},
                 {"straight", 3, "B1 B2 B1 B3 B1 B2 B1 B3"},
                 {"shift", 2, "H1 H2"},
                 {"second lap", 2, "A1 A2 A1 A3 A1 A2 A3 A3"},
                 {"shift", 3, "G1 G2"},
                 {"hairpins", 1, "C1 C2 C1 C2 C1 C2 C1 C2"},
                 {"shift", 2, "H1 H2"},
                 {"back straight", 3, "B1 B2 B1 B3 B1 B2 B3 B3"},
                 {"shift", 3, "G1 G2"},
                 {"third lap", 2, "A1 A2 A1 A3 A1 A2 A1 A3"},
                 {"shift", 3, "G1 G2"},
                 {"last lap", 3, "X1 X2 X1 X3 X1 X2 X1 X3"},
                 {"shift", 3, "G1 G2"},
                 {"sprint", 3, "X1 X2 X1 X3 X1 X2 X3 X3"},
                 {"shift", 3, "G1 G2"},
                 {"finish line", 2, "B1 B2 B1 B3 B1 B2 C2 Z1"}}}};
    return s;
}

Song Song9() {
    Song s{9, "A Turkish march: running sixteenths against a booming left hand.", {}, {}, {}};
    s.motifs = {
        // The theme: four sixteenths and a walk of eighths.
        {"A1", "dkdkd_d_k_k_d_d_"},
        {"A2", "dkdkd_d_kdkdD___"},
        {"A3", "dkdkd_d_k_kkd_k_"},
        {"B1", "D.dkx.dkd.dkx.dk"},
        {"B2", "dkdkxkdkdkd.x.k."},
        {"B3", "D.dkx.dkdkdkD_K_"},
        // The march: boom and chick.
        {"C1", "D_k_D_k_D_k_D.k."},
        {"C2", "D_k_D_k_dkdkD___"},
        {"R1", "dkdkkdkddkdkkdkd"},
        {"R2", "dkdkkdkddddkkkD_"},
        {"E1", "D___K___D___K___"},
        {"E2", "D_______________"},
    };
    s.parts = {{{kLead16},
                {{"theme", 1, "A1 A2 A1 A3 A1 A2 A1 A2"},
                 {"answer", 2, "B1 B2 B1 B3 B1 B2 B1 B3"},
                 {"theme again", 2, "A1 A2 A1 A3 A1 A2 A1 A2"},
                 {"the march", 3, "C1 C2 C1 C2 C1 C2 C1 C2 R1 R1 R1 R2"},
                 {"answer again", 2, "B1 B2 B1 B3 B1 B2 B1 B3"},
                 {"theme, last time", 3, "A1 A2 A1 A3 A1 A2 A1 A2"},
                 {"the march again", 3, "C1 C2 C1 C2 C1 C2 C1 C2 R1 R1 R1 R2"},
                 {"coda", 3, "R1 R1 R1 R2 R1 R1 R1 R2 R1 R1 R1 R2 E1 E2"}}}};
    return s;
}

}  // namespace

const std::vector<Song>& Descriptions() {
    static const std::vector<Song> songs{Song0(), Song1(), Song2(), Song3(), Song4(),
                                         Song5(), Song6(), Song7(), Song8(), Song9()};
    return songs;
}

}  // namespace chartgen
