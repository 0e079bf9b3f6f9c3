// The keyboard's side of the input events, one for the real and the headless keyboards: the
// window (or the key script) reports every change with its stamp on the clock's timeline; this
// keeps which keys are down, so that a repeat is no change and a pad or kit that goes lets go of
// what it held, and turns every change into an event for the game's queue.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/kit_hygiene.hpp"
#include "platform/ports.hpp"

namespace zb {

class KeyStateKeyboard : public Keyboard {
  public:
    KeyStateKeyboard();
    std::vector<InputEvent> TakeEvents() override;
    void SetDownHandler(std::function<void(int vkCode, double at)> handler) override;
    std::vector<PadInfo> Pads() override;
    uint64_t PadChanges() override;
    std::vector<KitInfo> Kits() override;
    uint64_t KitChanges() override;
    void SetKitBigVelocity(int slot, int velocity) override;
    void SetKitHygiene(int slot, const kit::Hygiene& rules) override;
    // Looks at the keys now (the window calls it as it waits).
    void Pump() { Update(); }

    // A key went down or up at `at`. A down while the key is down (a repeat) changes nothing;
    // keys without a code (0) are ignored.
    void OnKey(int vkCode, bool down, double at);
    // Every key up (the window lost the focus): a press not yet read still counts.
    void ReleaseAll();

    // A pad came (in the slot the pad says) or went at `at`. Every input of a pad that goes is
    // let go at that moment, so no strike stays held. One line on standard error for each.
    void PadAdded(const PadInfo& pad);
    void PadRemoved(int slot, double at);
    // A free slot, or nullopt when every slot is taken.
    std::optional<int> FreePadSlot() const;

    // A drum kit came (in its slot) or went at `at`, with one line on standard error for each.
    void KitAdded(const KitInfo& kit);
    void KitRemoved(int slot, double at);
    // A note-on of a connected kit, stamped `at`: a tap of the note's soft or hard code, unless
    // the kit's hygiene drops it (a KitDropped event then says why). Every kit stroke, the real
    // kits' and the scripted ones, passes here.
    void KitStroke(int slot, int note, int velocity, double at);
    // Every key up and every press forgotten (after a dialog had the keyboard).
    void Reset();

  protected:
    // Brings the keys up to date before a query; the key script applies its due changes here.
    virtual void Update() {}

  private:
    // Events nobody takes (a keyboard no game reads) are kept up to this many.
    static constexpr size_t kKeptEvents = 4096;
    // A pad input changed: the menu key it stands for follows, down while any pad holds one.
    void OnMenuInput(int code, bool down, double at);
    void Add(const InputEvent& e);
    void Change(int vkCode, bool down, double at, int velocity);

    std::map<int, bool> down_;  // code -> down
    std::vector<InputEvent> events_;
    std::vector<PadInfo> pads_;
    uint64_t padChanges_ = 0;
    std::vector<KitInfo> kits_;
    uint64_t kitChanges_ = 0;
    std::array<int, 4> bigVelocity_;
    std::array<kit::HygieneFilter, kit::kSlots> hygiene_;
    std::map<int, int> menuHolds_;  // menu key code -> pad inputs holding it
    std::function<void(int, double)> onDown_;
};

}  // namespace zb
