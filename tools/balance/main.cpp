// brinewort-balance: plays a data directory as a player who follows the directions, over many
// seeds, and reports for each boss fight the level on arrival, the random battles fought so far
// and the chance to win it there without spell scrolls.
//
// The player is the tests' automatic player made bold: it picks up what it can reach, talks to
// whoever stands on its way, rests in the tavern only when low, and fights each boss as soon as
// it reaches him. The win chance replays that arrival many times through the game's own battle
// code, with the hit and skill points the player arrived with, its attacks and skill spells and
// the starting food (an Apple, a Cookie, a Fish Sandwich).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "autoplay/autoplayer.h"
#include "battle/battle.h"
#include "console/console.h"
#include "game/game.h"
#include "items/items.h"
#include "platform/headless.h"

namespace fs = std::filesystem;

namespace {

constexpr int fightsReported = 4; // Molloch, Agamir, Molloch again, Agamir again
const char *const fightNames[fightsReported] = {"Molloch, first fight", "Agamir, first fight",
                                                "Molloch, second fight", "Agamir, second fight"};

// The player and the boss as they stand when the boss fight begins.
struct Arrival {
    bool reached = false;
    int boss = 0;
    int randomBattles = 0; // random battles fought before it
    int steps = 0;         // steps walked before it
    Player player{};
    BossRecord record{};
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

// One whole game, from a new game to the ending.
Run playGame(uint32_t seed) {
    Run run;
    AutoPlayer bot;
    bot.bold = true;
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
                if (index >= 0 && !run.arrivals[index].reached)
                    run.arrivals[index] = Arrival{true,      boss,        run.randomBattles,
                                                  bot.steps, game.player, game.bosses[boss - 1]};
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

// One fight against the arrival's boss through the game's battle code: as the player arrived,
// with the starting food and no scrolls. True when the player wins.
bool fightOnce(const Arrival &arrival, uint32_t seed) {
    game.player = arrival.player;
    std::fill(std::begin(game.itemCounts), std::end(game.itemCounts), 0);
    itemCount(itemApple) = 1;
    itemCount(itemCookie) = 1;
    itemCount(itemFishSandwich) = 1;
    game.bosses[arrival.boss - 1] = arrival.record;
    // Past the counts that tell story, give keys or end the game: only the fight is played.
    game.mollochDefeats = 3;
    game.agamirDefeats = 3;
    game.randState = seed;
    AutoPlayer fighter;
    headlessSetKeySource([&fighter] { pressNextKey(fighter); });
    battleState.currentBoss = static_cast<uint8_t>(arrival.boss);
    bool won = fightBattle() != BattleOutcome::lost;
    headlessSetKeySource(nullptr);
    return won;
}

// The win chance of each fight by level and weapon strength, from a new game's player grown
// level by level: what the map has to aim the arrivals at.
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
            Arrival arrival{true, boss, 0, 0, fresh, record};
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

} // namespace

int main(int argc, char **argv) {
    bool curves = argc > 1 && std::string(argv[1]) == "--curves";
    if (curves) {
        argv++;
        argc--;
    }
    if (argc > 4 || (argc > 1 && argv[1][0] == '-')) {
        std::fprintf(stderr,
                     "usage: brinewort-balance [--curves] [data directory] [seeds] [fights]\n");
        return 2;
    }
    fs::path data = fs::absolute(argc > 1 ? argv[1] : ".");
    int seeds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;
    int trials = argc > 3 ? std::max(1, std::atoi(argv[3])) : 50;

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

    struct Tally {
        int reached = 0, levelLow = 1000, levelHigh = 0;
        double levels = 0, battles = 0, steps = 0, wins = 0;
        std::map<std::string, int> weapons;
    } tallies[fightsReported];
    int finished = 0, battlesLow = 1 << 30, battlesHigh = 0;
    double battles = 0;
    for (int seed = 1; seed <= seeds; seed++) {
        fs::path directory = work / std::to_string(seed);
        fs::create_directory(directory);
        copyDataFiles(data, directory);
        fs::current_path(directory);
        Run run = playGame(static_cast<uint32_t>(seed) * 7919u);
        if (!run.stuck.empty()) {
            std::printf("seed %d: stuck: %s\n", seed, run.stuck.c_str());
        } else {
            finished++;
            battles += run.randomBattles;
            battlesLow = std::min(battlesLow, run.randomBattles);
            battlesHigh = std::max(battlesHigh, run.randomBattles);
        }
        for (int index = 0; index < fightsReported; index++) {
            const Arrival &arrival = run.arrivals[index];
            if (!arrival.reached) continue;
            Tally &tally = tallies[index];
            int won = 0;
            for (int trial = 0; trial < trials; trial++)
                won += fightOnce(arrival, static_cast<uint32_t>(seed * 100003 + trial)) ? 1 : 0;
            tally.reached++;
            tally.levels += arrival.player.level;
            tally.levelLow = std::min(tally.levelLow, arrival.player.level);
            tally.levelHigh = std::max(tally.levelHigh, arrival.player.level);
            tally.battles += arrival.randomBattles;
            tally.steps += arrival.steps;
            tally.wins += static_cast<double>(won) / trials;
            tally.weapons[arrival.player.weaponName != nullptr ? arrival.player.weaponName
                                                               : "none"]++;
        }
        fs::current_path(before);
        fs::remove_all(directory);
    }
    fs::remove_all(work);

    std::printf("%d seeds, %d fights per arrival; the player fights each boss on arrival, "
                "as it arrived, with the starting food and without scrolls\n\n",
                seeds, trials);
    std::printf("%-22s %7s %6s %7s %8s %6s  %s\n", "fight", "reached", "level", "(range)",
                "battles", "steps", "win chance   weapons");
    for (int index = 0; index < fightsReported; index++) {
        const Tally &tally = tallies[index];
        if (tally.reached == 0) {
            std::printf("%-22s %7d\n", fightNames[index], 0);
            continue;
        }
        std::string weapons;
        for (const auto &[name, count] : tally.weapons)
            weapons += (weapons.empty() ? "" : ", ") + name + " " + std::to_string(count);
        std::string range = std::to_string(tally.levelLow) + "-" + std::to_string(tally.levelHigh);
        std::printf("%-22s %7d %6.1f %7s %8.1f %6.0f  %9.0f%%   %s\n", fightNames[index],
                    tally.reached, tally.levels / tally.reached, range.c_str(),
                    tally.battles / tally.reached, tally.steps / tally.reached,
                    100.0 * tally.wins / tally.reached, weapons.c_str());
    }
    if (finished > 0) {
        std::printf("\nrandom battles in the whole game: %.1f on average (%d to %d), %d of %d "
                    "games finished\n",
                    battles / finished, battlesLow, battlesHigh, finished, seeds);
    } else {
        std::printf("\nno game reached the ending\n");
    }
    return finished == seeds ? 0 : 1;
}
