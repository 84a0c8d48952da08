// The page's kept games: each game that ends becomes a replay file and a row
// of the table, which the page keeps in the browser's storage.  The rule that
// bounds the table is the desktop's (zplat::replay::KeepPolicy); the page
// stores the table's text form and the replays beside it.
#ifndef ZORVAK_PLATFORM_WEB_STORE_H
#define ZORVAK_PLATFORM_WEB_STORE_H

#include "platform/game_watch.h"

#include <string>

namespace zweb {

// The key the page keeps the table's text under.
inline constexpr char kTableKey[] = "zorvak.games";
// The prefix of the keys it keeps the replays under (then the replay's name).
inline constexpr char kReplayKey[] = "zorvak.replay.";

// Keeps a game that ended (the receiver of zplat::OnGameRecorded).
void KeepOnPage(const zplat::GameRecord &record);

// The text the page keeps under key; false when it keeps none.
bool StoredText(const char *key, std::string *text);

} // namespace zweb

#endif
