// The particle pool: a full pool, fading at its limits, and how often a running animation
// reaches the screen.
#include <cmath>

#include "effects/particles.h"
#include "game/game.h"
#include "support/harness.h"

class ParticlesTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        headlessSetClockStepMicros(0); // exact clock readings
        clearScreen(0);
        resetParticleSystem(system);
    }
    static void advanceMillis(uint32_t ms) {
        headlessSetNowMicros(headlessNowMicros() + ms * 1000u);
    }
    // Emits one particle at the origin into the first free slot and returns it.
    Particle &emitOne(float speed, float dirX, float dirY, int lifetime = 1000,
                      ParticleHook hook = nullptr, int colour = 4) {
        int slot = 0;
        while (!system->slots[slot].dead)
            slot++;
        emitParticle(system, '*', lifetime, speed, ParticleMotion::straight, 1, 1, colour, dirX,
                     dirY, hook);
        return system->slots[slot];
    }
    ParticleSystem pool;
    ParticleSystem *system = &pool;
};

TEST_F(ParticlesTest, EmissionsLandAroundTheOriginAndAFullPoolLosesThemQuietly) {
    system->originX = 40.0f;
    system->originY = 12.0f;
    for (int i = 0; i < particleCapacity; i++) {
        emitParticle(system, '*', 500, 1.0f, ParticleMotion::straight, 3, 2, 15, 0.0f, 0.0f,
                     nullptr);
        const Particle &p = system->slots[i];
        ASSERT_FALSE(p.dead) << i;
        ASSERT_EQ(p.x, std::floor(p.x)) << i;
        ASSERT_EQ(p.startX, p.x) << i;
        ASSERT_GE(p.x, 37.0f) << i;
        ASSERT_LE(p.x, 42.0f) << i;
        ASSERT_GE(p.y, 10.0f) << i;
        ASSERT_LE(p.y, 13.0f) << i;
    }
    uint32_t state = game.randState;
    emitParticle(system, '#', 500, 1.0f, ParticleMotion::straight, 3, 2, 15, 0.0f, 0.0f, nullptr);
    EXPECT_EQ(system->activeCount, 1000);
    EXPECT_EQ(game.randState, state); // not even a draw
    for (const Particle &p : system->slots)
        ASSERT_EQ(p.glyph[0], '*');
}

// A fading spark shows bright, then dim near its end, and leaves no trail; one made without a
// lifetime is spent at once rather than dividing by zero; the border kills.
TEST_F(ParticlesTest, FadingBrightensThenDimsAndErasesTheOldCell) {
    Particle &p = emitOne(10.0f, 0.0f, 1.0f, 1000, fadeParticle, 7);
    p.x = 30.0f;
    p.y = 12.0f;
    printAt("*", 4, 30, 12);
    p.ageMs = 500;
    fadeParticle(&p);
    EXPECT_EQ(p.colour, 15);
    EXPECT_EQ(console.screenCells[12][30], (Cell{' ', 0}));
    p.ageMs = 920;
    fadeParticle(&p);
    EXPECT_EQ(p.colour, 7);
    Particle &instant = emitOne(1.0f, 0.0f, 0.0f, 0, fadeParticle);
    fadeParticle(&instant);
    EXPECT_FLOAT_EQ(instant.speed, 0.3f);
    instant.x = 79.0f; // the last column is the border already
    instant.y = 5.0f;
    instant.lifetimeMs = 100000;
    updateParticles(system);
    EXPECT_TRUE(instant.dead);
    Particle &low = emitOne(1.0f, 0.0f, 0.0f, 100000); // the bottom row is the border too
    low.x = 5.0f;
    low.y = 24.0f;
    updateParticles(system);
    EXPECT_TRUE(low.dead);
}

TEST_F(ParticlesTest, AnAnimationReachesTheScreenAboutOnceAFrameNotOnceAStep) {
    emitOne(0.0f, 0.0f, 0.0f, 100000);
    int presents = headlessPresentCount();
    for (int step = 0; step < 1000; step++) { // one second of steps a millisecond apart
        advanceMillis(1);
        stepParticles(system);
    }
    presents = headlessPresentCount() - presents;
    EXPECT_GE(presents, 50);
    EXPECT_LE(presents, 65);
}
