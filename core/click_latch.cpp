#include "core/click_latch.hpp"

namespace zb {

// Out of line: the game holds the latch's address only while the latch lives.
ClickLatch::ClickLatch(Game& game) : game_(game), outer_(game.clickLatch) {
    game.clickLatch = this;
}

ClickLatch::~ClickLatch() {
    game_.clickLatch = outer_;
}

}  // namespace zb
