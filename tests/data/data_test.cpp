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
    static Files shippedFiles() {
        Files files;
        for (const auto &entry : fs::directory_iterator(shippedData))
            files[entry.path().filename().string()] = readFile(entry.path().string());
        return files;
    }
};

TEST_F(DataCheckTest, TheShippedDataLetsTheGameBeWon) {
    if (!fs::exists(shippedData / "map.txt"))
        GTEST_SKIP() << "data/map.txt is not written yet; nothing to check";
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

TEST_F(DataCheckTest, TextsThatDoNotFitOrAreMissingAreNamed) {
    std::string sixtyWords;
    for (int i = 0; i < 60; i++)
        sixtyWords += "talk "; // twelve to a row of 60
    DataReport report = examine(
        goodData(),
        {{"BartenderScripts.txt", "Tag2\nHave a drink.", "Tag2\n" + sixtyWords},
         {"Story.txt", "Chunk3\n", "Chunk9\n"},
         {"NPCscripts.rtf", "Tag11\nGoro: Hi.", "Tag11\n" + std::string(1200, 'a')},
         {"SkeletonScripts.txt", "TextTag4\nRattle.", "TextTag4\nRattle \xE2\x80\x94 rattle."},
         {"SkeletonScripts.txt", "TextTag5\nRattle.", "TextTag5\nRat_tle."},
         {"dragon2.txt", "\xB2\xB2\n", std::string(30, '\xB2') + "\n"},
         {"Wizard.txt", "\xB1\xB0\n", "\xB1X\n" + std::string(17, '\n') + "\xB0\n"}});
    EXPECT_TRUE(mentions(report.problems, {"BartenderScripts.txt Tag2", "needs 5 rows", "3 fit"}));
    EXPECT_TRUE(mentions(report.problems, {"Story.txt Chunk3", "missing"}));
    EXPECT_TRUE(mentions(report.problems, {"NPCscripts.rtf Tag11", "1201 characters"}));
    EXPECT_TRUE(mentions(report.problems, {"NPCscripts.rtf Tag11", "needs 25 rows"}));
    EXPECT_TRUE(mentions(report.problems, {"SkeletonScripts.txt TextTag4", "byte 226"}));
    EXPECT_TRUE(mentions(report.problems, {"TextTag5", "underscore", "\"tle.\""}));
    EXPECT_TRUE(mentions(report.problems, {"dragon2.txt", "wider than 29", "line 2 has 30"}));
    EXPECT_TRUE(mentions(report.problems, {"Wizard.txt", "line 2 holds byte 88"}));
    EXPECT_TRUE(mentions(report.problems, {"Wizard.txt", "20 rows", "only 17"}));
    // The overlong texts also run out of the areas blanked for them, and Goro's talk drags.
    EXPECT_TRUE(mentions(report.problems, {"BartenderScripts.txt Tag2", "row 14 reaches"}));
    EXPECT_TRUE(mentions(report.problems, {"NPCscripts.rtf Tag11", "row 17 reaches"}));
    EXPECT_TRUE(mentions(report.problems, {"Goro's first talk", "takes 59 s"}));
    EXPECT_EQ(report.problems.size(), 12u);
}

TEST_F(DataCheckTest, TextsThatLeavePiecesBehindOrDragAreNamed) {
    std::string page, chapter;
    for (int i = 0; i < 29; i++)
        page += "Once upon a time. "; // 522 characters, 26 s at the typewriter's pace
    for (int i = 0; i < 20; i++)
        chapter += "word ";
    DataReport report = examine(
        goodData(),
        {{"BartenderScripts.txt", "Tag1\nHave a drink.",
          "Tag1\n" + std::string(59, 'a') + " " + std::string(55, 'b')},
         {"Story.txt", "Chunk3\nOnce upon a time.", "Chunk3\n" + chapter},
         {"Story.txt", "Chunk1\nOnce upon a time.", "Chunk1\n" + page},
         {"NPCscripts.rtf", "Tag12\nGoro: Hi.", "Tag12\n" + std::string(29, 'a') + ".  Hi."},
         {"NPCscripts.rtf", "Tag51\nDele: Hi.", "Tag51\nDele: " + std::string(400, 'a')}});
    EXPECT_TRUE(mentions(report.problems, {"BartenderScripts.txt Tag1", "row 14 reaches column 64",
                                           "row 14 up to 60"}));
    EXPECT_TRUE(mentions(report.problems, {"Story.txt Chunk3", "purple key's message",
                                           "\"word word word word word word\" on row 3"}));
    EXPECT_TRUE(mentions(report.problems, {"Story.txt Chunk1", "523 characters take 26 s"}));
    EXPECT_TRUE(
        mentions(report.problems, {"NPCscripts.rtf Tag12", "screen rows 3 start with a blank"}));
    EXPECT_TRUE(mentions(report.problems, {"Dele's first talk (Tag51 on) takes 44 s"}));
    EXPECT_EQ(report.problems.size(), 5u);
}

TEST_F(DataCheckTest, BrokenRoomsAndOpeningsAreNamed) {
    // Goro's room taken out of the Cave: the corridor breaks there too.
    DataReport report = examine(goodData(), {{"map.txt", "7,2:EW:1#NPC\n", ""}});
    EXPECT_TRUE(mentions(report.problems, {"MapTag1 (Cave)", "room 7,2 of NPC Goro", "missing"}));
    EXPECT_TRUE(mentions(report.problems, {"room 6,2: its E opening leads into room 7,2"}));

    // An opening that faces a wall, one off the grid, a second start.
    report = examine(goodData(), {{"map.txt", "3,0:EW:1$Flashlight:", "3,0:W:1$Flashlight:"},
                                  {"map.txt", "0,0:E:1#Start", "0,0:NE:1#Start"},
                                  {"map.txt", "2,0:EW:1$Whip:", "2,0:EW:1$Whip:#Start"}});
    EXPECT_TRUE(
        mentions(report.problems,
                 {"MapTag1 (Cave): room 4,0: its W opening faces room 3,0, which has no E"}));
    EXPECT_TRUE(mentions(report.problems, {"room 0,0: its N opening is on the outer edge"}));
    EXPECT_TRUE(mentions(report.problems, {"2 Start rooms", "room 0,0 room 2,0"}));
    EXPECT_TRUE(mentions(report.problems, {"out of reach", " 4,0 5,0 6,0"}));

    // Lines the loader would pass over in silence, a door on a closed wall, a feature unknown.
    report = examine(goodData(), {{"map.txt", "_\nMapTag2", "20,1:W:1\n1,0:EW:1\n\n_\nMapTag2"},
                                  {"map.txt", "1,0:EW:1$Bow:", "1,0:EW:1$Bow:#LDNG"},
                                  {"map.txt", "3,0:EW:1$Axe:", "3,0:EW:1$Axe:#LDNX"}});
    EXPECT_TRUE(mentions(report.problems, {"room 20,1 lies outside the grid"}));
    EXPECT_TRUE(mentions(report.problems, {"room 1,0 is described twice"}));
    EXPECT_TRUE(mentions(report.problems, {"\"\" is not a room line"}));
    EXPECT_TRUE(mentions(report.problems, {"MapTag2 (Sewer): room 1,0: its door LDNG", "N wall"}));
    EXPECT_TRUE(
        mentions(report.warnings, {"MapTag3 (Castle): room 3,0", "\"LDNX\" means nothing"}));
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

TEST_F(DataCheckTest, BrokenCopiesOfTheShippedMapAreCaught) {
    if (!fs::exists(shippedData / "map.txt"))
        GTEST_SKIP() << "data/map.txt is not written yet; nothing to break";
    Files files = shippedFiles(), broken = files;
    const std::string &map = files["map.txt"];
    size_t section = map.find("MapTag1\n"), sectionEnd = map.find("\n_", section);
    ASSERT_NE(section, std::string::npos);

    // Goro's room line taken out of the Cave.
    size_t line = map.find("\n7,2:", section);
    ASSERT_LT(line, sectionEnd);
    broken["map.txt"].erase(line + 1, map.find('\n', line + 1) - line);
    EXPECT_TRUE(mentions(examine(broken).problems, {"MapTag1 (Cave)", "room 7,2 of NPC Goro"}));

    // The first east opening of the Cave walled up: the room east of it then faces a wall.
    for (line = map.find('\n', map.find('\n', section) + 1); line < sectionEnd;
         line = map.find('\n', line + 1)) {
        size_t doors = map.find(':', line), east = map.find('E', doors);
        if (east > map.find(':', doors + 1)) continue;
        int column = std::stoi(map.substr(line + 1, 6));
        int row = std::stoi(map.substr(map.find(',', line) + 1, 6));
        broken = files;
        broken["map.txt"].erase(east, 1);
        EXPECT_TRUE(mentions(examine(broken).problems,
                             {"MapTag1 (Cave): room " + std::to_string(column + 1) + "," +
                              std::to_string(row) + ": its W opening faces room " +
                              std::to_string(column) + "," + std::to_string(row)}));
        return;
    }
    ADD_FAILURE() << "the Cave has no east opening to wall up";
}
