#include "course/song_list.hpp"

#include <stdexcept>

#include "core/checked.hpp"

namespace zb {

namespace {

using OrderList = std::array<int16_t, SongList::kChallengeEntries>;

// Ascending level within each course; the unused tail of the short lists stays 0.
constexpr OrderList kEasyOrder{6, 4, 9, 5, 1, 7, 3, 8, 2, 0};
constexpr OrderList kHardOrder{4, 6, 7, 0, 5, 1, 3, 9, 8, 2};
constexpr OrderList kWonderOrder{5, 4, 6, 7, 3, 0, 2, 8, 9, 1};
constexpr OrderList kChallengeOrder{6,   4,   9,   5,   1,   7,   3,   8,   2,   104, 106,
                                    0,   107, 100, 105, 101, 103, 109, 108, 102, 205, 204,
                                    206, 207, 203, 200, 202, 208, 201, 209, 308};

}  // namespace

const OrderList& CourseOrder(int16_t course, bool challenge) {
    if (challenge) return kChallengeOrder;
    switch (course) {
        case 0:
            return kEasyOrder;
        case 1:
            return kHardOrder;
        case 2:
            return kWonderOrder;
    }
    throw std::out_of_range("no course " + std::to_string(course));
}

int16_t SongList::SongAt(int index) const {
    if (const OwnEntry* o = OwnAt(index)) return o->chart.song;
    const int16_t e = Order.at(index);
    return challenge ? int16_t(e % 100) : e;
}

int16_t SongList::DifficultyAt(int index) const {
    if (const OwnEntry* o = OwnAt(index)) return o->chart.difficulty;
    return challenge ? int16_t(Order.at(index) / 100) : difficulty;
}

int32_t SongList::Count() const {
    int32_t n = 0;
    if (challenge) {
        for (const auto& song : Stars)
            for (int16_t level : song) n += level != 0;
    } else {
        for (const auto& song : Stars) n += song.at(difficulty) != 0;
    }
    return Add<int32_t>(n, Narrow<int32_t>(own.size()));
}

int32_t SongList::Position(int index) const {
    if (OwnAt(index)) return index + 1;
    const int16_t entry = Order.at(index);
    for (int i = 0; i < BuiltInLength(); ++i)
        if (Order[i] == entry) return i + 1;
    return index + 1;
}

int SongList::FirstIndex() const {
    for (int i = 0; i < Length(); ++i)
        if (Offered(i)) return i;
    return 0;
}

int SongList::Step(int index, int dir, const std::function<void()>& onStep) const {
    const int n = Length();
    // At most one full turn: a list with nothing offered must not hang the screen.
    for (int steps = 0; steps < n; ++steps) {
        index = ((index + (dir > 0 ? 1 : n - 1)) % n);
        if (onStep) onStep();
        if (Offered(index)) break;
    }
    return index;
}

}  // namespace zb
