// The latch of a blocking loop that the player ends with a click (the ranking display). The loop
// owns it: while the latch lives, the window's clicks set it and reach nothing else, and the
// loop runs until it is set. Nothing outside the loop has to know how it ends.
#pragma once

#include "core/game.hpp"

namespace zb {

class ClickLatch {
  public:
    explicit ClickLatch(Game& game);
    ~ClickLatch();
    ClickLatch(const ClickLatch&) = delete;
    ClickLatch& operator=(const ClickLatch&) = delete;

    void Set() { set_ = true; }
    bool IsSet() const { return set_; }

  private:
    Game& game_;
    ClickLatch* outer_;
    bool set_ = false;
};

}  // namespace zb
