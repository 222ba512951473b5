#include "app/SavedGamesDialog.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr int noId = -1;

// "YYYY-MM-DDTHH:MM:SSZ" as the player's local date and time; the text as
// it is when it is not such a time.
std::string LocalDate(const std::string& utc) {
    struct tm parts = {};
    char      zone  = 0;
    if (sscanf(utc.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &parts.tm_year, &parts.tm_mon, &parts.tm_mday, &parts.tm_hour,
               &parts.tm_min, &parts.tm_sec, &zone) != 7 ||
        zone != 'Z') {
        return utc;
    }
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    const time_t time = timegm(&parts);
    struct tm    local;
    char         text[32];
    if (time == static_cast<time_t>(-1) || localtime_r(&time, &local) == nullptr ||
        strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) == 0) {
        return utc;
    }
    return text;
}

} // namespace

CSavedGamesDialog::CSavedGamesDialog(std::vector<CSavedGame> savedGames) : games(std::move(savedGames)) {}

const std::vector<CConfigControl>& CSavedGamesDialog::GetControls() {
    using Kind                                        = ConfigControlKind;
    static const std::vector<CConfigControl> controls = {
        {noId, Kind::Label, 5, 5, 200, 8, "Saved games, newest first:", nullptr},
        {idGames, Kind::DropDownList, 6, 16, 248, 95, nullptr, nullptr},
        {idReplay, Kind::CheckBox, 6, 32, 120, 10, "Watch it as a replay", nullptr},
        {resultNew, Kind::PushButton, 150, 47, 50, 14, "New game", nullptr},
        {resultStart, Kind::DefaultPushButton, 204, 47, 50, 14, "Continue", nullptr},
    };
    return controls;
}

std::string CSavedGamesDialog::DescribeGame(const CSavedGame& game) {
    std::string text = LocalDate(game.startTime) + "  " + (game.level.empty() ? "?" : game.level) + "  " + game.state;
    if (game.playable) {
        text += "  (" + std::to_string(game.commands) + " commands)";
    }
    return text;
}

void CSavedGamesDialog::Initialise(const std::vector<CDisplayMode>&) {
    items.clear();
    selection = games.empty() ? -1 : 0;
    for (size_t index = 0; index < games.size(); ++index) {
        items.push_back(DescribeGame(games[index]));
    }
    for (size_t index = 0; index < games.size(); ++index) {
        if (games[index].playable && !games[index].finished) {
            selection = static_cast<int>(index);
            break;
        }
    }
}

int CSavedGamesDialog::Start() {
    if (selection >= 0) {
        choice.kind      = replay ? CGameStart::replayGame : CGameStart::continueGame;
        choice.logPath   = games[static_cast<size_t>(selection)].path;
        choice.levelName = games[static_cast<size_t>(selection)].level;
    }
    return resultStart;
}

void CSavedGamesDialog::SetSelection(int index) {
    if (index >= 0 && index < static_cast<int>(items.size())) {
        selection = index;
    }
}

void CSavedGamesDialog::SetChecked(int id, bool checked) {
    if (id == idReplay) {
        replay = checked;
    }
}
