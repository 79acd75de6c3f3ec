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

// A weapon replaces the one held only if it is stronger; the player is told.
static void upgradeWeapon(const Weapon &weapon) {
    if (game.player.weaponStrength >= weapon.strength) return;
    game.player.weaponName = weapon.name;
    game.player.weaponStrength = weapon.strength;
    char message[48];
    std::snprintf(message, sizeof message, "Your weapon strength increased to %d!",
                  weapon.strength);
    typeText(message, colourWhite, messageWidth, messageColumn, messageRow + 2);
}

// A count is a byte: it stops at its top instead of wrapping round to negative.
static void gainItems(int8_t &count, int amount) {
    count = static_cast<int8_t>(addCapped(count, amount, maxItemCount));
}

// A new flashlight lights up for two minutes; one already burning goes on with the new clock.
static void lightFlashlight() {
    flashlightClock.lastMillis = timeOfDayMillis();
    flashlightClock.seconds = 0;
    flashlightClock.minutes = 2;
    gainItems(itemCount(itemFlashlight), 1);
}

void pickUpItem(const char *text) {
    if (std::strcmp(text, "Flashlight") == 0) {
        lightFlashlight();
        return;
    }
    for (const ItemPickup &pickup : itemPickups) {
        if (std::strcmp(text, pickup.text) != 0) continue;
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
        return;
    }
    for (const Weapon &weapon : weaponTable) {
        if (std::strcmp(text, weapon.name) == 0) {
            upgradeWeapon(weapon);
            return;
        }
    }
}
