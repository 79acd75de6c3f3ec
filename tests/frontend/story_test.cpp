// The story introduction: two pages, each turned by Enter.
#include "frontend/frontend.h"
#include "support/harness.h"

class StoryTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        writeFile("Story.txt", "Chunk1\nOnce upon a time_\nChunk2\nThe end is near_\n");
    }
};

TEST_F(StoryTest, EachPageIsTypedAndOnlyEnterTurnsIt) {
    std::vector<std::string> pages;
    headlessSetPresentHook([&pages] {
        std::string row = screenText(10, 2, 20);
        if (pages.empty() || pages.back() != row) pages.push_back(row);
    });
    headlessPressCharacter('x');
    headlessPress(keySpace);
    headlessPress(keyEnter);
    headlessPress(keyDown);
    headlessPress(keyEnter);
    showStoryIntro();
    EXPECT_FALSE(headlessScriptPending());
    EXPECT_NE(std::find(pages.begin(), pages.end(), "Once upon a time    "), pages.end());
    EXPECT_NE(std::find(pages.begin(), pages.end(), "The end is near     "), pages.end());
    EXPECT_EQ(screenRow(2), ""); // cleared at the end
}

TEST_F(StoryTest, AnEnterTypedDuringTheFirstPageTurnsItButOneDuringTheSecondIsLost) {
    headlessTypeAhead(keyEnter);
    bool pressed = false;
    headlessSetPresentHook([&pressed] {
        if (!pressed && screenText(10, 2, 3) == "The") {
            headlessTypeAhead(keyEnter);
            pressed = true;
        }
    });
    runUntilInputEnds([] { showStoryIntro(); });
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(textShownAt("The end is near", 10, 2, 15)); // still waiting on page two
}
