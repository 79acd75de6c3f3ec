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
        system = createParticleSystem();
    }
    void TearDown() override { destroyParticleSystem(system); }
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
    ParticleSystem *system = nullptr;
};

TEST_F(ParticlesTest, EmissionsLandAroundTheOriginAndAFullPoolLosesThemQuietly) {
    system->originX = 40.0f;
    system->originY = 12.0f;
    for (int i = 0; i < particleCapacity; i++) {
        emitParticle(system, '*', 500, 1.0f, ParticleMotion::straight, 3, 2, 15, 0.0f, 0.0f,
                     nullptr);
        const Particle &p = system->slots[i];
        ASSERT_TRUE(!p.dead && p.x == std::floor(p.x) && p.startX == p.x) << i;
        ASSERT_TRUE(p.x >= 37.0f && p.x <= 42.0f && p.y >= 10.0f && p.y <= 13.0f) << i;
    }
    uint32_t state = randState;
    emitParticle(system, '#', 500, 1.0f, ParticleMotion::straight, 3, 2, 15, 0.0f, 0.0f, nullptr);
    EXPECT_EQ(system->activeCount, 1000);
    EXPECT_EQ(randState, state); // not even a draw
    for (const Particle &p : system->slots)
        ASSERT_EQ(p.glyph[0], '*');
}

TEST_F(ParticlesTest, FadingSlowsBendsBrightensThenDimsAndErasesTheOldCell) {
    Particle &p = emitOne(10.0f, 0.0f, 1.0f, 1000, fadeParticle, 7);
    p.x = 30.0f;
    p.y = 12.0f;
    printAt("*", 4, 30, 12);
    p.ageMs = 500;
    fadeParticle(&p);
    EXPECT_LT(p.speed, 10.0f);
    EXPECT_LT(p.dirY, 1.0f);
    EXPECT_EQ(p.colour, 15); // bright below 90 per cent
    EXPECT_EQ(screenCells[12][30], (Cell{' ', 0}));
    p.ageMs = 920;
    p.speed = 1.0f;
    fadeParticle(&p);
    EXPECT_EQ(p.colour, 7);         // dim from 90 per cent
    EXPECT_FLOAT_EQ(p.speed, 0.3f); // never below 0.3
    Particle &instant = emitOne(1.0f, 0.0f, 0.0f, 0, fadeParticle);
    fadeParticle(&instant); // no lifetime: spent, not a division by zero
    EXPECT_FLOAT_EQ(instant.speed, 0.3f);
    // The last column is the border already: a particle that stands on it dies.
    instant.x = 79.0f;
    instant.y = 5.0f;
    instant.lifetimeMs = 100000;
    updateParticles(system);
    EXPECT_TRUE(instant.dead);
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
