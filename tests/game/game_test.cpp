// The program frame: start values, the main loop, the end, the command line.
#include <tuple>

#include "effects/particles.h"
#include "frontend/frontend.h"
#include "game/game.h"
#include "program/commandline.h"
#include "program/program.h"
#include "support/harness.h"

using GameFrameTest = GameTest;

TEST_F(GameFrameTest, StartUpGivesEverySharedValueItsStartValueAgain) {
    game.player.hp = 3;
    game.player.weaponName = "Axe";
    game.itemCounts[0] = 0;
    game.itemCounts[5] = 1;
    game.defeatedBosses[0] = DefeatedBoss{4, 3, 2};
    game.mollochDefeats = 3;
    game.hardMode = true;
    game.npcs[3].talkedTo = true;
    gameRand();
    game.gameMode = modeWorldMap;
    emitParticle(&particles, '*', 100, 1.0f, ParticleMotion::straight, 1, 1, 15, 0.0f, 0.0f,
                 nullptr);
    startUp();
    EXPECT_EQ(game.gameMode, modeTitle);
    EXPECT_EQ(game.randState, 1u);
    EXPECT_TRUE(titleScreen.introRunning);
    EXPECT_EQ(game.player.hp, 100);
    EXPECT_STREQ(game.player.weaponName, "Bottle");
    EXPECT_EQ(std::tuple(game.itemCounts[0], game.itemCounts[5]), std::tuple(1, 0));
    EXPECT_EQ(game.defeatedBosses[0].mode, 0);
    EXPECT_EQ(game.mollochDefeats, 1);
    EXPECT_FALSE(game.hardMode);
    EXPECT_FALSE(game.npcs[3].talkedTo);
    EXPECT_EQ(particles.activeCount, 0);
    EXPECT_STREQ(headlessTitle(), "Brinewort: The Return of ZARG");
    EXPECT_EQ(headlessMinimumWidth() * 100 + headlessMinimumHeight(), 8025);
    EXPECT_FALSE(headlessCursorVisible());
}

TEST_F(GameFrameTest, QuitFromTheTitleMenuEndsTheProgramWithTheFarewell) {
    headlessPress(keyUp);
    headlessPress(keyEnter);
    EXPECT_EQ(runProgram(), 0);
    EXPECT_EQ(game.gameRunning, 0);
    EXPECT_TRUE(textShownAt("where are you goin?  Fine, ", 12, 20, 4));
}

TEST(CommandLineTest, OptionsAreReadAndMistakesRefused) {
    using Action = CommandLine::Action;
    struct Case {
        std::vector<const char *> arguments;
        Action action;
        std::string dataDirectory;
    } cases[] = {
        {{}, Action::play, ""},
        {{"--data-dir", "levels"}, Action::play, "levels"},
        {{"--data-dir=levels"}, Action::play, "levels"},
        {{"--version"}, Action::showVersion, ""},
        {{"--version", "--help"}, Action::showHelp, ""},
        {{"-h"}, Action::showHelp, ""},
        {{"--data-dir"}, Action::usageError, ""},
        {{"--data-dir="}, Action::usageError, ""},
        {{"--data-dir", "levels", "--data-dir"}, Action::usageError, ""}, // the last one counts
        {{"--data-directory", "x"}, Action::usageError, ""},
        {{"--help", "--bogus"}, Action::usageError, ""},
        {{"map.txt"}, Action::usageError, ""},
    };
    for (const Case &c : cases) {
        std::vector<const char *> argv = {"brinewort"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        CommandLine line = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(argv.size() > 1 ? argv[1] : "(none)");
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.dataDirectory, c.dataDirectory);
        EXPECT_EQ(line.error.empty(), c.action != Action::usageError);
    }
}

TEST(CommandLineTest, AReplaysSpeedIsTimesThePaceOrMaxAndGoesWithAReplayAlone) {
    struct Case {
        std::vector<const char *> arguments;
        bool replay; // else a usage error
        double speed;
    } cases[] = {
        {{"--replay", "a.rec"}, true, 1.0},
        {{"--replay", "a.rec", "--speed", "max"}, true, 0.0},
        {{"--replay", "a.rec", "--speed=0.5"}, true, 0.5},
        {{"--replay", "a.rec", "--speed", "0"}, false, 0.0},
        {{"--replay", "a.rec", "--speed", "2x"}, false, 0.0},
        {{"--speed", "2"}, false, 0.0},
        {{"--replay", "a.rec", "--record", "b.rec"}, false, 0.0},
    };
    for (const Case &c : cases) {
        std::vector<const char *> argv = {"brinewort"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        CommandLine line = parseCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(argv.back());
        if (!c.replay) {
            EXPECT_EQ(line.action, CommandLine::Action::usageError);
            continue;
        }
        EXPECT_EQ(line.action, CommandLine::Action::replay);
        EXPECT_EQ(line.replayPath, "a.rec");
        EXPECT_EQ(line.replaySpeed, c.speed);
    }
}

// A spread of nothing (a level of 0 from a damaged save) gives 0 and still takes its draw, so
// the draws after it stay where a replay expects them.
TEST_F(GameFrameTest, ADrawBelowNothingGivesZeroAndStillDraws) {
    game.randState = 1;
    EXPECT_EQ(gameRandBelow(0), 0);
    EXPECT_EQ(gameRandBelow(-4), 0);
    uint32_t afterTwo = game.randState;
    game.randState = 1;
    gameRand();
    gameRand();
    EXPECT_EQ(game.randState, afterTwo);
}
