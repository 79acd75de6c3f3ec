// The data checker passes the shipped data and catches broken copies of a data set.
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "datacheck/datacheck.h"
#include "game/game.h"
#include "support/harness.h"

namespace fs = std::filesystem;

// The shipped data, found from this file: tests/data/../../data.
static const fs::path shippedData =
    fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";

using Files = std::map<std::string, std::string>; // file name to contents

// A dungeon whose rooms form one winding corridor: east along row 0, back west along row 1,
// and so on. Extras ("$Whip:", "#NPC") go at the end of a room's line.
struct Corridor {
    int width, height;
    std::map<std::pair<int, int>, std::string> extras; // by (column, row)
};

static std::string corridorSection(int number, const Corridor &corridor) {
    int width = corridor.width, count = corridor.width * corridor.height;
    auto place = [width](int i) {
        int row = i / width;
        return std::pair(row % 2 == 0 ? i % width : width - 1 - i % width, row);
    };
    std::string text = "MapTag" + std::to_string(number) + "\n" + std::to_string(width) + "," +
                       std::to_string(corridor.height) + "\n";
    for (int i = 0; i < count; i++) {
        auto [column, row] = place(i);
        std::string doors;
        for (auto [letter, dc, dr] : {std::tuple('N', 0, -1), std::tuple('E', 1, 0),
                                      std::tuple('S', 0, 1), std::tuple('W', -1, 0)}) {
            for (int neighbour : {i - 1, i + 1}) {
                if (neighbour >= 0 && neighbour < count &&
                    place(neighbour) == std::pair(column + dc, row + dr))
                    doors += letter;
            }
        }
        auto extra = corridor.extras.find({column, row});
        text += std::to_string(column) + "," + std::to_string(row) + ":" + doors + ":1" +
                (extra == corridor.extras.end() ? "" : extra->second) + "\n";
    }
    return text + "_\n";
}

// A small data set that passes every check. The Cave gives the red key before its red door and
// Molloch twice; the Sewer has Agamir before and after a purple door; the Castle has a light
// gray and a yellow door, and a sealed one in front of its last room.
static Files goodData() {
    Corridor cave{14,
                  10,
                  {{{0, 0}, "#Start"},
                   {{2, 0}, "$Whip:"},
                   {{3, 0}, "$Flashlight:"},
                   {{4, 0}, "$Fire Spell:"},
                   {{5, 0}, "$Red Key:"},
                   {{10, 0}, "#LDER"},
                   {{11, 0}, "$Sword:"},
                   {{1, 9}, "#Boss"},
                   {{0, 9}, "#Boss"}}};
    Corridor sewer{14,
                   14,
                   {{{0, 0}, "#Start"},
                    {{1, 0}, "$Bow:"},
                    {{2, 0}, "$Wind Spell:"},
                    {{5, 0}, "#Boss"},
                    {{6, 0}, "#LDEP"},
                    {{0, 13}, "#Boss"}}};
    Corridor castle{15,
                    12,
                    {{{0, 0}, "#Start"},
                     {{2, 0}, "#LDEO"},
                     {{3, 0}, "$Axe:"},
                     {{4, 0}, "$Quake Spell:"},
                     {{6, 0}, "#LDEY"},
                     {{7, 0}, "$Broadsword:"},
                     {{8, 0}, "$Lightning Spell:"},
                     {{1, 11}, "#LDWX"}}};
    Corridor *dungeons[] = {&cave, &sewer, &castle};
    Files files;
    for (const Npc &npc : npcs) {
        dungeons[npc.dungeon - 1]->extras[{npc.roomCol, npc.roomRow}] = "#NPC";
        for (int tag = npc.firstTag; tag <= npc.firstTag + npc.lineCount; tag++)
            files["NPCscripts.rtf"] += "Tag" + std::to_string(tag) + "\n" + npc.name + ": Hi.\n_\n";
    }
    files["map.txt"] =
        corridorSection(1, cave) + corridorSection(2, sewer) + corridorSection(3, castle);
    for (int i = 1; i <= 4; i++)
        files["Story.txt"] += "Chunk" + std::to_string(i) + "\nOnce upon a time.\n_\n";
    for (int i = 0; i <= 4; i++)
        files["BartenderScripts.txt"] += "Tag" + std::to_string(i) + "\nHave a drink.\n_\n";
    for (int i = 0; i <= 10; i++)
        files["SkeletonScripts.txt"] += "TextTag" + std::to_string(i) + "\nRattle.\n_\n";
    files["dragon2.txt"] = "dragon\n \xB0\xB1\xB2 \n\xB2\xB2\n_\n";
    files["Wizard.txt"] = "wizard\n \xB2\n\xB1\xB0\n_\n";
    return files;
}

// A change to one file: the first occurrence of a text is replaced.
struct Edit {
    std::string file, from, to;
};

class DataCheckTest : public GameTest {
  protected:
    // Writes the data set with the edits into the test's directory and checks it there.
    DataReport examine(Files files, std::initializer_list<Edit> edits = {}) {
        for (const Edit &edit : edits) {
            std::string &text = files[edit.file];
            size_t at = text.find(edit.from);
            EXPECT_NE(at, std::string::npos) << edit.from; // else the test breaks nothing
            if (at != std::string::npos) text.replace(at, edit.from.size(), edit.to);
        }
        for (const auto &[name, contents] : files)
            writeFile(name, contents);
        return examineGameData(fs::current_path().string());
    }
    // True when one line holds every one of the words; otherwise the lines are shown.
    static testing::AssertionResult mentions(const std::vector<std::string> &lines,
                                             std::initializer_list<std::string> words) {
        for (const std::string &line : lines) {
            bool all = true;
            for (const std::string &word : words)
                all = all && line.find(word) != std::string::npos;
            if (all) return testing::AssertionSuccess();
        }
        auto failure = testing::AssertionFailure() << "no line names " << *words.begin();
        for (const std::string &line : lines)
            failure << "\n  " << line;
        return failure;
    }
};

TEST_F(DataCheckTest, TheShippedDataLetsTheGameBeWon) {
    DataReport report = examineGameData(shippedData.string());
    for (const std::string &line : report.route)
        std::cout << "route: " << line << "\n";
    for (const std::string &line : report.warnings)
        std::cout << "warning: " << line << "\n";
    for (const std::string &line : report.problems)
        ADD_FAILURE() << line;
    EXPECT_TRUE(mentions(report.route, {"Agamir", "THE ENDING"}));
}

TEST_F(DataCheckTest, ABuiltDataSetIsWonInOrder) {
    DataReport report = examine(goodData());
    EXPECT_EQ(report.problems, std::vector<std::string>{});
    EXPECT_EQ(report.warnings, std::vector<std::string>{});
    EXPECT_EQ(report.route.back(),
              "weapon held at each boss fight: Molloch Bow 9, Molloch Axe 12, Agamir Axe 12, "
              "Agamir Broadsword 16");
    EXPECT_TRUE(mentions(report.route, {"room 0,13", "Agamir", "fight 2", "THE ENDING"}));
}

TEST_F(DataCheckTest, ProgressionThatCannotBeFinishedIsNamed) {
    // The red key moved behind the red door it opens.
    DataReport report = examine(goodData(), {{"map.txt", "5,0:EW:1$Red Key:", "5,0:EW:1"},
                                             {"map.txt", "12,0:EW:1", "12,0:EW:1$Red Key:"}});
    EXPECT_TRUE(mentions(report.problems, {"MapTag1 (Cave): the LDER door of room 10,0 never opens",
                                           "Red Key", "lies only in MapTag1 (Cave) room 12,0"}));
    EXPECT_TRUE(mentions(report.problems, {"the ending cannot be reached", "Molloch is beaten 0"}));
    EXPECT_TRUE(mentions(report.problems, {"LDEO door", "Molloch's reward for defeat 1"}));
    EXPECT_TRUE(mentions(report.problems, {"room 7,2 of NPC Goro is never reached in play"}));

    // One Agamir, a misspelt key, a missing weapon.
    report = examine(goodData(), {{"map.txt", "0,13:E:1#Boss", "0,13:E:1"},
                                  {"map.txt", "$Wind Spell:", "$Wind spell:"},
                                  {"map.txt", "$Broadsword:", ""}});
    EXPECT_TRUE(mentions(report.problems, {"MapTag2 (Sewer): 1 Boss rooms"}));
    EXPECT_TRUE(mentions(report.problems, {"the ending cannot be reached", "Agamir 1"}));
    EXPECT_TRUE(mentions(report.problems, {"the Broadsword is never obtained (no room holds it)"}));
    EXPECT_TRUE(mentions(report.problems, {"the Wind Spell is never obtained"}));
    EXPECT_TRUE(
        mentions(report.warnings, {"room 2,0", "\"Wind spell\" is not one the game knows"}));
}
