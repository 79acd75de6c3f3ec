// The particle pool: emission, movement by real time, fading, drawing.
#include "effects/particles.h"

#include <cmath>

#include "console/console.h"
#include "game/game.h"

ParticleSystem particles;

void resetParticleSystem(ParticleSystem *system) {
    for (Particle &slot : system->slots) {
        slot = Particle{};
        slot.dead = true;
    }
    system->capacity = particleCapacity;
    system->activeCount = 0;
    system->originX = 15.0f;
    system->originY = 10.0f;
}

void emitParticle(ParticleSystem *system, char glyph, int32_t lifetimeMs, float speed,
                  ParticleMotion motion, int32_t spreadX, int32_t spreadY, int32_t colour,
                  float dirX, float dirY, ParticleHook hook) {
    Particle *p = nullptr;
    for (Particle &slot : system->slots) {
        if (slot.dead) {
            p = &slot;
            break;
        }
    }
    if (p == nullptr) return;

    p->glyph[0] = glyph;
    p->glyph[1] = '\0';
    p->dead = false;
    p->ageMs = 0;
    p->speed = speed;
    p->dirX = dirX;
    p->dirY = dirY;
    p->x = static_cast<float>(gameRand() % (2 * spreadX)) +
           (system->originX - static_cast<float>(spreadX));
    // The rising waves start on the row below the spread, without a draw.
    if (motion == ParticleMotion::sine || motion == ParticleMotion::cosine) {
        p->y = system->originY + static_cast<float>(spreadY);
    } else {
        p->y = static_cast<float>(gameRand() % (2 * spreadY)) +
               (system->originY - static_cast<float>(spreadY));
    }
    p->startX = p->x;
    p->startY = p->y;
    p->lifetimeMs = lifetimeMs;
    p->colour = colour;
    p->motion = motion;
    p->hook = hook;
    p->lastMillis = timeOfDayMillis();
    system->activeCount++;
}

// The screen cell of a position, truncated toward zero; positions off the screen (also
// negative ones, which must not be converted to unsigned directly) give a dropped cell.
static uint16_t cellCoordinate(float position) {
    if (!(position > -1.0f && position < 1000.0f)) return UINT16_MAX;
    return static_cast<uint16_t>(static_cast<int>(position));
}

static void moveParticle(Particle *p, double seconds) {
    switch (p->motion) {
    case ParticleMotion::straight:
        p->x = static_cast<float>(p->x + p->dirX * p->speed * seconds);
        p->y = static_cast<float>(p->y + p->dirY * p->speed * seconds);
        break;
    case ParticleMotion::sine:
        p->y = static_cast<float>(p->y + p->speed * p->dirY * seconds);
        p->x = static_cast<float>(std::sin(p->y) * p->dirX + p->startX);
        break;
    case ParticleMotion::negativeSine:
        p->y = static_cast<float>(p->y + p->speed * p->dirY * seconds);
        p->x = static_cast<float>(std::sin(-p->y) * p->dirX + p->startX);
        break;
    case ParticleMotion::cosine:
        p->y = static_cast<float>(p->y + p->speed * p->dirY * seconds);
        p->x = static_cast<float>(std::cos(p->y) * p->dirX + p->startX);
        break;
    }
}

void updateParticles(ParticleSystem *system) {
    for (Particle &slot : system->slots) {
        if (slot.dead) continue;
        Particle *p = &slot;
        p->nowMillis = timeOfDayMillis();
        // Only the millisecond field is read, so elapsed time is taken within one second.
        int32_t dt = p->nowMillis - p->lastMillis;
        if (dt < 0) dt += 1000;
        if (p->hook != nullptr) p->hook(p);
        moveParticle(p, dt * 0.001);
        p->lastMillis = p->nowMillis;
        p->ageMs += dt;
        if (p->ageMs > p->lifetimeMs || p->x >= 79.0f || p->y >= 24.0f || p->x <= 0.0f ||
            p->y <= 0.0f) {
            p->dead = true;
            system->activeCount--;
        }
    }
}

void drawParticles(ParticleSystem *system) {
    for (const Particle &p : system->slots) {
        if (p.dead) continue;
        printAt(p.glyph, static_cast<uint16_t>(p.colour), cellCoordinate(p.x), cellCoordinate(p.y));
    }
}

void stepParticles(ParticleSystem *system) {
    updateParticles(system);
    drawParticles(system);
    // Animations run as fast as the drawing goes; show them at a frame rate, not per step.
    presentScreenIfDue();
}

void fadeParticle(Particle *p) {
    // A particle made with no lifetime counts as spent rather than dividing by zero.
    int32_t percent = p->lifetimeMs > 0 ? (p->ageMs * 100) / p->lifetimeMs : 100;
    p->dirY = static_cast<float>(p->dirY - 0.003 * percent);
    p->speed = static_cast<float>(p->speed - 0.01 * percent);
    if (p->speed < 0.3f) p->speed = 0.3f;
    if (percent < 90) {
        p->colour |= 8;
    } else if (percent < 95) {
        p->colour &= ~8;
    }
    printAt(" ", colourBlack, cellCoordinate(p->x), cellCoordinate(p->y));
}
