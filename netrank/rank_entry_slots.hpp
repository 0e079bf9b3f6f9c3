// The form slots of the ranking course's entry (ネットランク): the message while it connects.
#pragma once

#include <cstddef>

namespace zb::rank_entry_slots {

inline constexpr size_t kConnectingLabel = 0;  // "サーバー接続中です…"

}  // namespace zb::rank_entry_slots
