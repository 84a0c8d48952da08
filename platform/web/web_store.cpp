// The page's kept games (web_store.h): the C++ half decides what is kept, the
// page (page_store.js) writes it.
#include "platform/web/web_store.h"

#include "platform/kept_games.h"
#include "platform/replay.h"
#include "platform/web/web_page.h"

#include <cmath>
#include <vector>

namespace zweb {

namespace {

using zplat::replay::GameRow;
using zplat::replay::GameTable;

// The table the page keeps; a damaged one is set aside (never deleted) and
// *notice says so.
GameTable LoadTable(std::string *notice) {
    GameTable table;
    std::string text;
    std::string fault;
    if (!StoredText(kTableKey, &text) || zplat::replay::ParseTable(text, &table, &fault)) {
        return table;
    }
    char aside[128] = {};
    zweb_page_set_aside(kTableKey, fault.c_str(), aside, int(sizeof aside));
    *notice = std::string("kept games: the table was damaged (") + fault + "); it is kept as " +
              aside + " and a new table is begun";
    return GameTable();
}

// A name for game `number`'s replay that no stored replay has: a table set
// aside may still name game-N.zvr of an earlier count.
std::string NewReplayName(uint32_t number) {
    const std::string stem = "game-" + std::to_string(number);
    std::string name = stem + ".zvr";
    for (int k = 2; zweb_page_stored_length((std::string(kReplayKey) + name).c_str()) >= 0; ++k) {
        name = stem + "-" + std::to_string(k) + ".zvr";
    }
    return name;
}

} // namespace

bool StoredText(const char *key, std::string *text) {
    const int length = zweb_page_stored_length(key);
    if (length < 0) {
        return false;
    }
    text->assign(size_t(length), '\0');
    zweb_page_stored_read(key, text->data(), length);
    return true;
}

void KeepOnPage(const zplat::GameRecord &record) {
    std::vector<uint8_t> file;
    GameRow row;
    std::string error;
    if (!zplat::KeptFileAndRow(record, ZORVAK_VERSION, int64_t(std::floor(zweb_page_now() / 1000)),
                               &file, &row, &error)) {
        zweb_page_not_kept(error.c_str());
        return;
    }
    std::string notice;
    GameTable table = LoadTable(&notice);
    row.number = table.nextNumber;
    row.replay = NewReplayName(row.number);
    table.nextNumber = row.number + 1;
    std::vector<GameRow> dropped;
    table.rows = zplat::replay::KeepPolicy(table.rows, row, &dropped);
    std::string droppedNames;
    for (const GameRow &gone : dropped) {
        droppedNames += gone.replay + "\n";
    }
    zweb_page_keep_game(zplat::replay::TableText(table).c_str(), row.replay.c_str(), file.data(),
                        int(file.size()), droppedNames.c_str(), notice.c_str());
}

} // namespace zweb
