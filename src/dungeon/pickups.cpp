// Pickups: what an item's text does when the player picks it up. Food and flashlights are
// counted, keys held, scrolls give five charges, and a stronger weapon replaces the one held.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "dungeon/dungeon.h"
#include "game/game.h"
#include "items/items.h"

using Gain = ItemPickup::Gain;

// A count is a byte: it stops at its top instead of wrapping round to negative.
static void gainItems(int8_t &count, int amount) {
    count = static_cast<int8_t>(addCapped(count, amount, maxItemCount));
}

Pickup pickupOf(const char *text) {
    Pickup pickup;
    if (std::strcmp(text, "Flashlight") == 0) {
        pickup.item = itemFlashlight;
        pickup.lightsFlashlight = true;
        return pickup;
    }
    for (const ItemPickup &item : itemPickups) {
        if (std::strcmp(text, item.text) != 0) continue;
        pickup.item = item.item;
        pickup.gain = item.gain;
        return pickup;
    }
    for (const Weapon &weapon : weaponTable) {
        if (std::strcmp(text, weapon.name) == 0) {
            pickup.weapon = &weapon;
            return pickup;
        }
    }
    return pickup;
}

bool takePickup(const Pickup &pickup) {
    if (pickup.lightsFlashlight) {
        // A new flashlight lights up for two minutes; one already burning goes on anew.
        flashlightClock.lastMillis = timeOfDayMillis();
        flashlightClock.seconds = 0;
        flashlightClock.minutes = 2;
        gainItems(itemCount(pickup.item), 1);
        return false;
    }
    if (pickup.item != 0) {
        int8_t &count = itemCount(pickup.item);
        switch (pickup.gain) {
        case Gain::count:
            gainItems(count, 1);
            break;
        case Gain::flag:
            count = 1;
            break;
        case Gain::charges:
            gainItems(count, 5);
            break;
        }
        return false;
    }
    // A weapon replaces the one held only if it is stronger.
    if (pickup.weapon == nullptr || game.player.weaponStrength >= pickup.weapon->strength)
        return false;
    game.player.weaponName = pickup.weapon->name;
    game.player.weaponStrength = pickup.weapon->strength;
    return true;
}

void pickUpItem(const char *text) {
    Pickup pickup = pickupOf(text);
    if (!takePickup(pickup)) return;
    char message[48];
    std::snprintf(message, sizeof message, "Your weapon strength increased to %d!",
                  pickup.weapon->strength);
    typeText(message, colourWhite, messageWidth, messageColumn, messageRow + 2);
}
