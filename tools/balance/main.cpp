// brinewort-balance: plays a data directory with four kinds of player over many seeds and
// reports for each boss fight the level on arrival, the random battles fought so far and the
// chance to win it there, with the food and scrolls the player carries; then the targets the
// maps are made for, met or not. --plot draws the win chance against the arrival level (SVG).
//
// The players are the automatic player made bold (tools/autoplay): each fights a boss as soon
// as it reaches him, rests in the tavern only when low, and fights as a sensible player does:
// food when the next blow could be the last, skill spells against bosses, a scroll whenever it
// beats the attack. The directed player goes straight to the next key or boss and takes what
// lies in the rooms on its way; the same player without scrolls steps round them; the thorough
// player first enters every room it can reach; the gatherer leaves and comes back once for
// every scroll it finds, to take it again. The win chance replays each arrival many times
// through the game's own battle code.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "autoplay/autoplayer.h"
#include "battle/battle.h"
#include "console/console.h"
#include "game/game.h"
#include "items/items.h"
#include "platform/headless.h"
#include "program/program.h"

namespace fs = std::filesystem;

namespace {

constexpr int fightsReported = 4; // Molloch, Agamir, Molloch again, Agamir again
const char *const fightNames[fightsReported] = {"Molloch I", "Agamir I", "Molloch II", "Agamir II"};

struct Kind {
    PlayStyle style;
    const char *name;
};
constexpr int kindCount = 4;
const Kind kinds[kindCount] = {{PlayStyle::directed, "directed"},
                               {PlayStyle::noScrolls, "no scrolls"},
                               {PlayStyle::thorough, "thorough"},
                               {PlayStyle::gatherer, "gatherer"}};
const char *const kindColours[kindCount] = {"#1f77b4", "#2ca02c", "#d62728", "#9467bd"};

// The targets the maps are made for.
constexpr double directedLow = 60, directedHigh = 90; // win chance of the directed player
constexpr double battlesLow = 20, battlesHigh = 40;   // its random battles in the whole game
constexpr double noScrollsLow = 40;                   // win chance without scrolls
constexpr double thoroughHigh = 95;                   // win chance of the thorough player
constexpr double thoroughBattlesHigh = 60;            // its random battles in the whole game
constexpr double certain = 99;                        // a win chance this high is a sure thing

// The player and the boss as they stand when the boss fight begins.
struct Arrival {
    bool reached = false;
    int boss = 0;
    int randomBattles = 0; // random battles fought before it
    int steps = 0;         // steps walked before it
    bool scrollFound = false;
    Player player{};
    BossRecord record{};
    int8_t counts[itemKinds] = {}; // what the player carries
};

struct Run {
    Arrival arrivals[fightsReported];
    int randomBattles = 0;
    std::string stuck; // where the player got stuck; empty when it reached the ending
};

// Which reported fight a boss's coming fight is: 0..3, or -1 for a later one.
int fightIndex(int boss, int fightNumber) {
    if (fightNumber < 1 || fightNumber > 2) return -1;
    return (fightNumber - 1) * 2 + (boss == bossAgamir ? 1 : 0);
}

void copyDataFiles(const fs::path &from, const fs::path &to) {
    for (const fs::directory_entry &entry : fs::directory_iterator(from)) {
        fs::path name = entry.path().filename();
        bool dataFile = name.extension() == ".txt" || name.extension() == ".rtf";
        if (dataFile && name != "SaveFile.txt") fs::copy_file(entry.path(), to / name);
    }
}

int foodHeld(const int8_t *counts) {
    return counts[itemApple - 1] + counts[itemCookie - 1] + counts[itemFishSandwich - 1];
}

int chargesHeld(const int8_t *counts) {
    return counts[itemFireSpell - 1] + counts[itemWindSpell - 1] + counts[itemQuakeSpell - 1] +
           counts[itemLightningSpell - 1];
}

// One whole game, from a new game to the ending.
Run playGame(uint32_t seed, PlayStyle style) {
    Run run;
    AutoPlayer bot;
    bot.style = style;
    // No save, quit and Continue on the way (the tests' check of them): one program start.
    bot.saved = bot.quitAfterSave = true;
    headlessReset();
    headlessSetKeySource([&] {
        // The program start sets the random state to 1: the seed takes its place.
        if (bot.decisions == 0) game.randState = seed;
        pressNextKey(bot);
    });
    headlessSetPresentHook([&] {
        bool fighting =
            game.gameMode == modeBattle ||
            (game.gameMode == modeInventory && inventoryScreen.opener == InventoryOpener::battle);
        if (fighting && !bot.fighting) {
            int boss = battleState.currentBoss;
            if (boss == 0) {
                run.randomBattles++;
            } else {
                int fight = boss == bossMolloch ? game.mollochDefeats : game.agamirDefeats;
                int index = fightIndex(boss, fight);
                if (index >= 0 && !run.arrivals[index].reached) {
                    Arrival &arrival = run.arrivals[index];
                    arrival = Arrival{true,
                                      boss,
                                      run.randomBattles,
                                      bot.steps,
                                      !bot.scrollsFound.empty(),
                                      game.player,
                                      game.bosses[boss - 1],
                                      {}};
                    std::copy(std::begin(game.itemCounts), std::end(game.itemCounts),
                              arrival.counts);
                }
            }
        }
        watchScreen(bot);
    });
    try {
        runProgram();
        run.stuck = "the program ended before the ending";
    } catch (const RunEnded &) {
        // The title menu after the ending: the player has nothing more to press.
    } catch (const PlayerStuck &failure) {
        run.stuck = failure.where;
    }
    headlessSetKeySource(nullptr);
    headlessSetPresentHook(nullptr);
    return run;
}

// One fight against the arrival's boss through the game's battle code, the player as it
// arrived, with what it carried. True when the player wins.
bool fightOnce(const Arrival &arrival, uint32_t seed) {
    game.player = arrival.player;
    std::copy(std::begin(arrival.counts), std::end(arrival.counts), game.itemCounts);
    game.bosses[arrival.boss - 1] = arrival.record;
    // Past the counts that tell story, give keys or end the game: only the fight is played.
    game.mollochDefeats = 3;
    game.agamirDefeats = 3;
    game.randState = seed;
    AutoPlayer fighter;
    headlessSetKeySource([&fighter] { pressNextKey(fighter); });
    bool won = fightBattle(static_cast<uint8_t>(arrival.boss)) != BattleOutcome::lost;
    headlessSetKeySource(nullptr);
    return won;
}

// The win chance of each fight by level and weapon strength, from a new game's player grown
// level by level, with the starting food and no scrolls: what the map has to aim the arrivals at.
void printCurves(int trials) {
    const int weapons[] = {1, 4, 6, 9, 12, 16};
    startUp();
    Player fresh = game.player;
    BossRecord first[2] = {game.bosses[0], game.bosses[1]};
    for (int index = 0; index < fightsReported; index++) {
        int boss = index % 2 == 0 ? bossMolloch : bossAgamir;
        BossRecord record = first[boss - 1];
        if (index >= 2) {
            // What the first defeat leaves the boss with.
            game.bosses[boss - 1] = record;
            game.mollochDefeats = game.agamirDefeats = 3;
            bossReward(boss);
            record = game.bosses[boss - 1];
        }
        std::printf("%s (hp %d, defence %d, attack %d): win chance by level\n", fightNames[index],
                    record.hp, record.defense, record.attack);
        std::printf("weapon");
        for (int level = 1; level <= 20; level++)
            std::printf("%4d", level);
        std::printf("\n");
        for (int weapon : weapons) {
            std::printf("%6d", weapon);
            Arrival arrival{true, boss, 0, 0, false, fresh, record, {}};
            arrival.counts[itemApple - 1] = 1;
            arrival.counts[itemCookie - 1] = 1;
            arrival.counts[itemFishSandwich - 1] = 1;
            for (int level = 1; level <= 20; level++) {
                if (level > 1) {
                    game.player = arrival.player;
                    game.player.level = level;
                    growStats();
                    arrival.player = game.player;
                }
                arrival.player.weaponStrength = weapon;
                int won = 0;
                for (int trial = 0; trial < trials; trial++)
                    won += fightOnce(arrival, static_cast<uint32_t>(trial * 7 + 1)) ? 1 : 0;
                std::printf("%4d", 100 * won / trials);
            }
            std::printf("\n");
        }
        std::printf("\n");
    }
}

// What the games of one kind of player came to at one fight.
struct Tally {
    int reached = 0, levelLow = 1000, levelHigh = 0, scrollFound = 0;
    double levels = 0, battles = 0, steps = 0, wins = 0, health = 0, food = 0, charges = 0;
    std::map<std::string, int> weapons;
    std::map<int, std::pair<double, int>> byLevel; // arrival level: wins summed, arrivals

    double winPercent() const { return reached == 0 ? 0 : 100.0 * wins / reached; }
};

// The games of one kind of player as a whole.
struct Games {
    int finished = 0, battlesLow = 1 << 30, battlesHigh = 0;
    double battles = 0;
    std::vector<std::string> stuck;

    double averageBattles() const { return finished == 0 ? 0 : battles / finished; }
};

// Win chance against arrival level, a panel per boss fight and a line per kind of player: the
// share of the replays won by the players that arrived at each level.
void writePlot(const fs::path &file, const Tally (&tallies)[kindCount][fightsReported], int seeds) {
    constexpr int panelWidth = 420, panelHeight = 260, left = 50, top = 40, plotWidth = 340,
                  plotHeight = 180;
    std::ofstream out(file);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << 2 * panelWidth << "\" height=\""
        << 2 * panelHeight + 40 << "\" font-family=\"sans-serif\" "
        << "font-size=\"12\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    out << "<text x=\"10\" y=\"20\" font-size=\"14\">Win chance against the level on arrival, "
        << seeds << " games of each player; a dot's area: how many arrived at that level</text>\n";
    for (int fight = 0; fight < fightsReported; fight++) {
        int x0 = (fight % 2) * panelWidth + left, y0 = (fight / 2) * panelHeight + top + 20;
        int low = 1000, high = 0;
        for (const auto &kind : tallies) {
            for (const auto &[level, sum] : kind[fight].byLevel) {
                low = std::min(low, level);
                high = std::max(high, level);
            }
        }
        if (low > high) continue;
        low = low - 1;
        high = high + 1;
        auto xAt = [&](double level) {
            return x0 + (level - low) * plotWidth / std::max(1, high - low);
        };
        auto yAt = [&](double percent) { return y0 + plotHeight - percent * plotHeight / 100; };
        out << "<text x=\"" << x0 << "\" y=\"" << y0 - 8 << "\" font-weight=\"bold\">"
            << fightNames[fight] << "</text>\n";
        out << "<rect x=\"" << x0 << "\" y=\"" << y0 << "\" width=\"" << plotWidth << "\" height=\""
            << plotHeight << "\" fill=\"none\" stroke=\"#888\"/>\n";
        for (int percent = 0; percent <= 100; percent += 25) {
            out << "<line x1=\"" << x0 << "\" x2=\"" << x0 + plotWidth << "\" y1=\"" << yAt(percent)
                << "\" y2=\"" << yAt(percent) << "\" stroke=\"#ddd\"/>"
                << "<text x=\"" << x0 - 6 << "\" y=\"" << yAt(percent) + 4
                << "\" text-anchor=\"end\">" << percent << "%</text>\n";
        }
        for (int level = low; level <= high; level++) {
            out << "<text x=\"" << xAt(level) << "\" y=\"" << y0 + plotHeight + 15
                << "\" text-anchor=\"middle\">" << level << "</text>\n";
        }
        out << "<text x=\"" << x0 + plotWidth / 2 << "\" y=\"" << y0 + plotHeight + 30
            << "\" text-anchor=\"middle\">level on arrival</text>\n";
        for (int k = 0; k < kindCount; k++) {
            const Tally &tally = tallies[k][fight];
            std::string points;
            // Each player a little to the side, so that equal figures do not hide each other.
            double shift = (k - (kindCount - 1) / 2.0) * 0.08;
            for (const auto &[level, sum] : tally.byLevel) {
                double percent = 100 * sum.first / sum.second, x = xAt(level + shift);
                points += std::to_string(x) + "," + std::to_string(yAt(percent)) + " ";
                double radius = 2 + 6 * std::sqrt(static_cast<double>(sum.second) / seeds);
                out << "<circle cx=\"" << x << "\" cy=\"" << yAt(percent) << "\" r=\"" << radius
                    << "\" fill=\"" << kindColours[k] << "\" fill-opacity=\"0.6\"/>\n";
            }
            out << "<polyline points=\"" << points << "\" fill=\"none\" stroke=\"" << kindColours[k]
                << "\"/>\n";
        }
    }
    for (int k = 0; k < kindCount; k++) {
        int x = 20 + k * 160, y = 2 * panelHeight + 30;
        out << "<rect x=\"" << x << "\" y=\"" << y - 10 << "\" width=\"12\" height=\"12\" fill=\""
            << kindColours[k] << "\"/><text x=\"" << x + 18 << "\" y=\"" << y << "\">"
            << kinds[k].name << "</text>\n";
    }
    out << "</svg>\n";
}

// One target: what it asks, whether it is met, and the figures that say so.
void printTarget(bool met, const std::string &what, const std::string &figures) {
    std::printf("  %-9s %-58s %s\n", met ? "met" : "NOT MET", what.c_str(), figures.c_str());
}

std::string percents(const Tally (&tallies)[fightsReported]) {
    std::string text;
    for (const Tally &tally : tallies) {
        char one[16];
        std::snprintf(one, sizeof one, "%s%.0f%%", text.empty() ? "" : " ", tally.winPercent());
        text += one;
    }
    return text;
}

std::string number(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool curves = !args.empty() && args[0] == "--curves";
    if (curves) args.erase(args.begin());
    fs::path plot;
    if (args.size() >= 2 && args[0] == "--plot") {
        plot = fs::absolute(args[1]);
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() > 3 || (!args.empty() && args[0][0] == '-')) {
        std::fprintf(stderr, "usage: brinewort-balance [--curves] [--plot FILE.svg] "
                             "[data directory] [seeds] [fights]\n");
        return 2;
    }
    fs::path data = fs::absolute(!args.empty() ? args[0] : ".");
    int seeds = args.size() > 1 ? std::max(1, std::atoi(args[1].c_str())) : 30;
    int trials = args.size() > 2 ? std::max(1, std::atoi(args[2].c_str())) : 30;

    char pattern[] = "/tmp/brinewort-balance-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    fs::path work = pattern;
    fs::path before = fs::current_path();
    usePlatform(&headlessPlatform);
    if (curves) {
        fs::path directory = work / "curves";
        fs::create_directory(directory);
        copyDataFiles(data, directory);
        fs::current_path(directory);
        headlessReset();
        printCurves(trials);
        fs::current_path(before);
        fs::remove_all(work);
        return 0;
    }

    static Tally tallies[kindCount][fightsReported];
    Games games[kindCount];
    for (int seed = 1; seed <= seeds; seed++) {
        for (int k = 0; k < kindCount; k++) {
            fs::path directory = work / std::to_string(seed);
            fs::create_directory(directory);
            copyDataFiles(data, directory);
            fs::current_path(directory);
            Run run = playGame(static_cast<uint32_t>(seed) * 7919u, kinds[k].style);
            Games &kind = games[k];
            if (!run.stuck.empty()) {
                kind.stuck.push_back("seed " + std::to_string(seed) + ": " + run.stuck);
            } else {
                kind.finished++;
                kind.battles += run.randomBattles;
                kind.battlesLow = std::min(kind.battlesLow, run.randomBattles);
                kind.battlesHigh = std::max(kind.battlesHigh, run.randomBattles);
            }
            for (int index = 0; index < fightsReported; index++) {
                const Arrival &arrival = run.arrivals[index];
                if (!arrival.reached) continue;
                Tally &tally = tallies[k][index];
                int won = 0;
                for (int trial = 0; trial < trials; trial++)
                    won += fightOnce(arrival, static_cast<uint32_t>(seed * 100003 + trial)) ? 1 : 0;
                double share = static_cast<double>(won) / trials;
                int level = arrival.player.level;
                tally.reached++;
                tally.levels += level;
                tally.levelLow = std::min(tally.levelLow, level);
                tally.levelHigh = std::max(tally.levelHigh, level);
                tally.battles += arrival.randomBattles;
                tally.steps += arrival.steps;
                tally.wins += share;
                tally.health += static_cast<double>(arrival.player.hp) / arrival.player.maxHp;
                tally.food += foodHeld(arrival.counts);
                tally.charges += chargesHeld(arrival.counts);
                tally.scrollFound += arrival.scrollFound ? 1 : 0;
                tally.byLevel[level].first += share;
                tally.byLevel[level].second++;
                tally.weapons[arrival.player.weaponName != nullptr ? arrival.player.weaponName
                                                                   : "none"]++;
            }
            fs::current_path(before);
            fs::remove_all(directory);
        }
    }
    fs::remove_all(work);

    std::printf("%d games of each player, each boss arrival replayed %d times with the hit and "
                "skill points, food and scrolls the player arrived with\n\n",
                seeds, trials);
    std::printf("%-10s %-10s %7s %5s %7s %7s %5s %4s %5s  %-16s %4s %7s\n", "player", "fight",
                "reached", "level", "(range)", "battles", "steps", "hp", "win", "weapons", "food",
                "scrolls");
    for (int k = 0; k < kindCount; k++) {
        for (int index = 0; index < fightsReported; index++) {
            const Tally &tally = tallies[k][index];
            if (tally.reached == 0) {
                std::printf("%-10s %-10s %7d\n", kinds[k].name, fightNames[index], 0);
                continue;
            }
            std::string weapons;
            for (const auto &[name, count] : tally.weapons)
                weapons += (weapons.empty() ? "" : ",") + name + " " +
                           std::to_string(100 * count / tally.reached) + "%";
            std::string range =
                std::to_string(tally.levelLow) + "-" + std::to_string(tally.levelHigh);
            std::printf(
                "%-10s %-10s %7d %5.1f %7s %7.1f %5.0f %3.0f%% %4.0f%%  %-16s %4.1f %7.1f\n",
                kinds[k].name, fightNames[index], tally.reached, tally.levels / tally.reached,
                range.c_str(), tally.battles / tally.reached, tally.steps / tally.reached,
                100 * tally.health / tally.reached, tally.winPercent(), weapons.c_str(),
                tally.food / tally.reached, tally.charges / tally.reached);
        }
    }
    std::printf("\nrandom battles in the whole game:\n");
    for (int k = 0; k < kindCount; k++) {
        const Games &kind = games[k];
        std::printf("  %-10s %5.1f on average (%d to %d), %d of %d games finished\n", kinds[k].name,
                    kind.averageBattles(), kind.finished > 0 ? kind.battlesLow : 0,
                    kind.battlesHigh, kind.finished, seeds);
        for (const std::string &stuck : kind.stuck)
            std::printf("    stuck: %s\n", stuck.c_str());
    }

    // The targets.
    const Tally(&directed)[fightsReported] = tallies[0];
    const Tally(&noScrolls)[fightsReported] = tallies[1];
    const Tally(&thorough)[fightsReported] = tallies[2];
    const Tally(&gatherer)[fightsReported] = tallies[3];
    bool directedMet = true, noScrollsMet = true, thoroughMet = true;
    for (int index = 0; index < fightsReported; index++) {
        directedMet = directedMet && directed[index].winPercent() >= directedLow &&
                      directed[index].winPercent() <= directedHigh;
        noScrollsMet = noScrollsMet && noScrolls[index].winPercent() >= noScrollsLow;
        thoroughMet = thoroughMet && thorough[index].winPercent() <= thoroughHigh;
    }
    // The gatherer's later fights: from the first one that most of its games reach with a
    // scroll found.
    int firstLater = fightsReported;
    for (int index = fightsReported - 1; index >= 0; index--) {
        if (2 * gatherer[index].scrollFound > gatherer[index].reached) firstLater = index;
    }
    bool someUncertain = firstLater == fightsReported;
    for (int index = firstLater; index < fightsReported; index++)
        someUncertain = someUncertain || gatherer[index].winPercent() < certain;
    double directedBattles = games[0].averageBattles();
    std::printf("\ntargets (win chances of Molloch I, Agamir I, Molloch II, Agamir II)\n");
    printTarget(directedMet, "directed: each boss won 60-90% on arrival", percents(directed));
    printTarget(directedBattles >= battlesLow && directedBattles <= battlesHigh,
                "directed: the whole game in 20-40 random battles", number(directedBattles));
    printTarget(noScrollsMet, "no scrolls: each boss won at least 40%", percents(noScrolls));
    printTarget(thoroughMet, "thorough: each boss won at most 95%", percents(thorough));
    printTarget(games[2].averageBattles() <= thoroughBattlesHigh,
                "thorough: the whole game in at most 60 random battles",
                number(games[2].averageBattles()));
    printTarget(someUncertain, "gatherer: not every fight after its first scroll certain (99%)",
                percents(gatherer) + ", " + number(games[3].averageBattles() - directedBattles) +
                    " battles more than directed");

    if (!plot.empty()) {
        writePlot(plot, tallies, seeds);
        std::printf("\nplot: %s\n", plot.c_str());
    }
    bool allFinished = true;
    for (const Games &kind : games)
        allFinished = allFinished && kind.finished == seeds;
    return allFinished ? 0 : 1;
}
