// The particle pool: emission, movement by elapsed time, death at the borders, fading.
#include "effects/particles.h"
#include "game/game.h"
#include "support/harness.h"

class ParticlesTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        // Exact clock readings, so elapsed times are what the test sets.
        headlessSetClockStepMicros(0);
        system = createParticleSystem();
    }
    void TearDown() override { destroyParticleSystem(system); }

    void advanceMillis(uint32_t ms) { headlessSetNowMicros(headlessNowMicros() + ms * 1000u); }

    // Emits one particle and returns it: it takes the first free slot.
    Particle &emitOne(char motion, float speed, float dirX, float dirY, int lifetime = 1000,
                      ParticleHook hook = nullptr) {
        int slot = 0;
        while (system->slots[slot].dead == 0)
            slot++;
        emitParticle(system, '*', lifetime, speed, motion, 1, 1, 4, dirX, dirY, hook);
        return system->slots[slot];
    }

    ParticleSystem *system = nullptr;
};

TEST_F(ParticlesTest, EmissionsLandAroundTheOriginAndAFullPoolLosesThemQuietly) {
    system->originX = 40.0f;
    system->originY = 12.0f;
    for (int i = 0; i < particleCapacity; i++) {
        emitParticle(system, '*', 500, 1.0f, 'd', 3, 2, 15, 0.0f, 0.0f, nullptr);
        const Particle &p = system->slots[i];
        ASSERT_EQ(p.dead, 0);
        ASSERT_EQ(p.x, static_cast<float>(static_cast<int>(p.x))); // whole numbers
        ASSERT_GE(p.x, 37.0f);
        ASSERT_LE(p.x, 42.0f);
        ASSERT_GE(p.y, 10.0f);
        ASSERT_LE(p.y, 13.0f);
        ASSERT_EQ(p.startX, p.x);
    }
    EXPECT_EQ(system->activeCount, 1000);
    uint32_t state = randState;
    emitParticle(system, '#', 500, 1.0f, 'd', 3, 2, 15, 0.0f, 0.0f, nullptr);
    EXPECT_EQ(system->activeCount, 1000);
    EXPECT_EQ(randState, state); // not even a draw
    for (const Particle &p : system->slots)
        ASSERT_EQ(p.glyph[0], '*');
}

TEST_F(ParticlesTest, RisingWavesStartBelowTheSpreadWithoutDrawingARow) {
    uint32_t state = randState;
    Particle &wave = emitOne('e', 1.0f, 4.0f, -0.3f);
    EXPECT_FLOAT_EQ(wave.y, 11.0f);
    EXPECT_EQ(randState, state * 214013u + 2531011u); // one draw: the column only
    Particle &cosine = emitOne('g', 1.0f, 4.0f, -0.3f);
    EXPECT_FLOAT_EQ(cosine.y, 11.0f);
    Particle &falling = emitOne('f', 1.0f, 4.0f, 1.0f);
    EXPECT_GE(falling.y, 9.0f);
    EXPECT_LE(falling.y, 10.0f);
}

TEST_F(ParticlesTest, ParticlesMoveAndAgeByTheMillisecondFieldOfTheClock) {
    Particle &p = emitOne('d', 10.0f, 1.0f, 0.5f);
    Particle &still = emitOne('d', 10.0f, 0.0f, 0.0f, 1200);
    float x = p.x;
    float y = p.y;
    float stillX = still.x;
    advanceMillis(1200); // only the millisecond field is read: 0.2 s
    updateParticles(system);
    EXPECT_EQ(p.ageMs, 200);
    EXPECT_NEAR(p.x, x + 2.0f, 1e-4);
    EXPECT_NEAR(p.y, y + 1.0f, 1e-4);

    // Without a direction a particle never moves and dies only once its lifetime is past.
    advanceMillis(999);
    updateParticles(system);
    EXPECT_EQ(still.ageMs, 1199);
    advanceMillis(1);
    updateParticles(system);
    EXPECT_EQ(still.dead, 0); // 1200 is not past a lifetime of 1200
    EXPECT_EQ(still.x, stillX);
    advanceMillis(1);
    updateParticles(system);
    EXPECT_EQ(still.dead, 1);
}

TEST_F(ParticlesTest, AParticleLeavingTheScreenDiesBeforeItIsDrawnThere) {
    clearScreen(0);
    system->originX = 78.0f;
    Particle &right = emitOne('d', 10.0f, 1.0f, 0.0f);
    system->originX = 15.0f;
    system->originY = 1.0f;
    Particle &top = emitOne('d', 10.0f, 0.0f, -1.0f);
    advanceMillis(200);
    stepParticles(system);
    EXPECT_EQ(right.dead, 1);
    EXPECT_EQ(top.dead, 1);
    EXPECT_EQ(system->activeCount, 0);
    for (int y = 0; y < screenHeight; y++)
        EXPECT_EQ(glyphAt(79, y), ' ');
    for (int x = 0; x < screenWidth; x++)
        EXPECT_EQ(glyphAt(x, 0), ' ');
}

TEST_F(ParticlesTest, LiveParticlesAreDrawnAtTheirTruncatedPositionAndDeadOnesStay) {
    clearScreen(0);
    Particle &p = emitOne('d', 0.0f, 0.0f, 0.0f, 100);
    p.x = 20.9f;
    p.y = 7.6f;
    p.colour = 13;
    drawParticles(system);
    EXPECT_EQ(glyphAt(20, 7), '*');
    EXPECT_EQ(colourAt(20, 7), 13);
    advanceMillis(200);
    stepParticles(system);
    EXPECT_EQ(p.dead, 1);
    EXPECT_EQ(glyphAt(20, 7), '*'); // nothing erases a dead particle
}

TEST_F(ParticlesTest, FadingSlowsBendsDimsAndErasesTheOldCell) {
    clearScreen(0);
    Particle &p = emitOne('d', 10.0f, 0.0f, 1.0f, 1000, fadeParticle);
    p.x = 30.0f;
    p.y = 12.0f;
    printAt("*", 4, 30, 12);
    p.ageMs = 500;
    fadeParticle(&p);
    EXPECT_NEAR(p.speed, 9.5f, 1e-5);
    EXPECT_NEAR(p.dirY, 0.85f, 1e-5);
    EXPECT_EQ(p.colour, 12); // bright below 90 per cent
    EXPECT_EQ(glyphAt(30, 12), ' ');
    EXPECT_EQ(colourAt(30, 12), 0);

    p.ageMs = 920;
    p.speed = 1.0f;
    fadeParticle(&p);
    EXPECT_EQ(p.colour, 4);         // dim from 90 to 94 per cent
    EXPECT_FLOAT_EQ(p.speed, 0.3f); // never below 0.3
    p.colour = 12;
    p.ageMs = 960;
    fadeParticle(&p);
    EXPECT_EQ(p.colour, 12); // left alone from 95 per cent

    // The hook runs on every update, before the move, and its changes add up.
    Particle &q = emitOne('d', 10.0f, 0.0f, 1.0f, 1000, fadeParticle);
    advanceMillis(100);
    updateParticles(system);
    advanceMillis(100);
    updateParticles(system);
    EXPECT_NEAR(q.speed, 10.0f - 0.1f, 1e-4);
    EXPECT_NEAR(q.dirY, 1.0f - 0.03f, 1e-4);

    Particle &instant = emitOne('d', 1.0f, 0.0f, 0.0f, 0, fadeParticle);
    fadeParticle(&instant); // no lifetime: spent, not a division by zero
    EXPECT_FLOAT_EQ(instant.speed, 0.3f);
}
