// The characters' conversations: which records speak, what is typed, in which colour, and when.
#include <tuple>
#include <vector>

#include "game/game.h"
#include "resources/resources.h"
#include "support/harness.h"

// What stood in the dialogue area during one of the long pauses: text, colour, start in ms.
using Page = std::tuple<std::string, int, uint64_t>;
using Pages = std::vector<Page>;

class DialogueTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        headlessSetClockStepMicros(0); // typing is then exactly 50 ms a character
        headlessSetNowMicros(0);       // times count from here, not from start-up's messages
        writeFile("NPCscripts.rtf", "Tag11\nGoro: Well met._\nTag12\nYou nod._\n"
                                    "Tag13\nGoro: Off you go!_\nTag14\nGoro waves._\n"
                                    "Tag41\nThe old man stirs._\nTag42\nArkum: Again?_\n"
                                    "Tag71\nArkum : Listen._\nTag72\nArkum:_\n");
    }
    // Talks and returns the screens that were shown for 2000 ms or more.
    Pages talk(int32_t mode, int32_t roomRow, int32_t roomCol) {
        Pages shown, pages;
        headlessSetPresentHook([&shown] {
            std::string text = screenText(40, 2, 33);
            text.erase(text.find_last_not_of(' ') + 1);
            shown.emplace_back(text, colourAt(40, 2), headlessNowMicros() / 1000);
        });
        talkToNpcs(mode, roomRow, roomCol);
        headlessSetPresentHook(nullptr);
        shown.emplace_back("", 0, headlessNowMicros() / 1000);
        for (size_t i = 0; i + 1 < shown.size(); i++) {
            if (std::get<2>(shown[i + 1]) - std::get<2>(shown[i]) >= 2000)
                pages.push_back(shown[i]);
        }
        return pages;
    }
};

TEST_F(DialogueTest, OnlyTheDungeonsOfTheGameModeHaveCharacters) {
    // Room column 13, row 3 holds Pogo in dungeon 1, Luba in 2 and Ghali in 3.
    writeFile("NPCscripts.rtf", "Tag61\nPogo: hi_\nTag81\nLuba: hi_\nTag151\nGhali: hi_\n");
    EXPECT_EQ(std::get<0>(talk(modeCave, 3, 13).front()), "Pogo: hi");
    EXPECT_EQ(std::get<0>(talk(modeSewer, 3, 13).front()), "Luba: hi");
    EXPECT_EQ(std::get<0>(talk(modeCastle, 3, 13).front()), "Ghali: hi");

    headlessSetNowMicros(0);
    int presents = headlessPresentCount();
    talkToNpcs(modeTavern, 2, 7);
    talkToNpcs(modeSewer, 2, 7); // Goro's room, but in dungeon 1
    EXPECT_EQ(headlessPresentCount(), presents);
    EXPECT_EQ(headlessNowMicros(), 0u);
    EXPECT_FALSE(game.npcs[0].talkedTo);
}

TEST_F(DialogueTest, AMissingSectionTypesNothingButKeepsItsPause) {
    writeFile("NPCscripts.rtf", "Tag11\nGoro: Well met._\nTag13\nGoro: Off you go!_\n");
    Pages pages = talk(modeCave, 2, 7);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[1], Page("", 0, 15 * 50 + 2000)); // Tag12's pause, on a blank area
    EXPECT_EQ(headlessNowMicros() / 1000, (15 + 17) * 50 + 4 * 2000);
}

TEST(SpeakerMark, TheNameAndAColonBeginTheCharactersOwnLine) {
    EXPECT_TRUE(isSpokenBy("Goro: hello", "Goro"));
    EXPECT_TRUE(isSpokenBy("Goro:", "Goro"));
    for (const char *line : {"Goro : hello", "Goro", "Goro\n: hello", "Go\xFFro: hello"})
        EXPECT_FALSE(isSpokenBy(line, "Goro")) << line;
    EXPECT_FALSE(isSpokenBy(nullptr, "Goro"));
    std::string longName(300, 'n'); // longer than any name of the table: nothing to overrun
    EXPECT_TRUE(isSpokenBy((longName + ": hi").c_str(), longName.c_str()));
    EXPECT_FALSE(isSpokenBy(longName.c_str(), longName.c_str()));
}

TEST_F(DialogueTest, AMissingScriptIsShownInTheDialogueAreaAndGoesWithIt) {
    std::remove("NPCscripts.rtf");
    clearScreen(0);
    std::string shownReason;
    headlessSetPresentHook([&shownReason] {
        if (!textShownAt("Couldnt find file", messageColumn, messageRow, colourWhite)) return;
        const ProblemPlace &place = messageAreaProblem;
        shownReason = wrappedTextAt(place.column, place.row + 1, place.width, place.lastRow);
    });
    talkToNpcs(modeCave, 2, 7);
    headlessSetPresentHook(nullptr);
    EXPECT_EQ(shownReason, "NPCscripts.rtf: No such file or directory");
    // The conversation's blanks have taken all of it away again.
    for (int row = 0; row < screenHeight; row++)
        EXPECT_EQ(screenRow(row), "") << row;
}
