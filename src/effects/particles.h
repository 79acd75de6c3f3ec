// Particle effects: a fixed pool of one-character particles that fly, age by wall-clock
// time and die, used by the title intro and the battle spells.
#pragma once

#include <cstdint>

struct Particle;
// How a particle flies: straight along its direction, or up or down in a wave that swings
// around its start column (x = sin y, x = sin -y, x = cos y, times the amplitude dirX).
enum class ParticleMotion : uint8_t { straight, sine, negativeSine, cosine };
// Called on every update of a particle, before it moves.
using ParticleHook = void (*)(Particle *particle);

struct Particle {
    char glyph[2]; // the character shown, as a one-character string
    float speed;   // cells per second along the direction
    float dirX;    // horizontal factor; for the waves, their amplitude in columns
    float dirY;    // vertical factor
    float startX;  // position at emission; waves swing around startX
    float startY;
    float x; // current position (column, row)
    float y;
    bool dead;      // the slot is free
    int32_t colour; // console attribute
    ParticleMotion motion;
    int32_t ageMs;      // milliseconds lived
    int32_t lifetimeMs; // dies once ageMs exceeds this
    int32_t lastMillis; // millisecond part of the clock at the last update
    int32_t nowMillis;  // millisecond part of the clock at this update
    ParticleHook hook;  // may be null
};

constexpr int32_t particleCapacity = 1000;

struct ParticleSystem {
    Particle slots[particleCapacity];
    int32_t capacity;    // always particleCapacity
    int32_t activeCount; // live particles
    float originX;       // emission centre
    float originY;
};

// --- Effects state, for the whole run ---
extern ParticleSystem *particles; // the shared pool; made at start-up, never freed
extern ParticleHook particleHook; // the fading behaviour, handed to emitters that want it

// A new pool: all slots free, origin (15, 10).
ParticleSystem *createParticleSystem();
void destroyParticleSystem(ParticleSystem *system);
// Puts a pool back to the state createParticleSystem gives.
void resetParticleSystem(ParticleSystem *system);
// Brings the first free slot to life around the origin; a full pool loses the emission.
void emitParticle(ParticleSystem *system, char glyph, int32_t lifetimeMs, float speed,
                  ParticleMotion motion, int32_t spreadX, int32_t spreadY, int32_t colour,
                  float dirX, float dirY, ParticleHook hook);
void updateParticles(ParticleSystem *system);
void drawParticles(ParticleSystem *system);
// One animation step: update, then draw.
void stepParticles(ParticleSystem *system);
// The hook: slows the particle, bends it upward, dims it and erases its old cell.
void fadeParticle(Particle *particle);
