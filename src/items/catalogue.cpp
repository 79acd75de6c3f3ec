// The seventeen kinds of item: names, descriptions, where each may be used, their effects.
#include "items/items.h"

int8_t &itemCount(int32_t item) {
    return game.itemCounts[item - 1];
}

// Food never raises a value above its maximum.
static void restore(int32_t &value, int32_t amount, int32_t maximum) {
    value = addCapped(value, amount, maximum);
}

void useApple() {
    restore(game.player.hp, 20, game.player.maxHp);
}

void useCookie() {
    restore(game.player.sp, 20, game.player.maxSp);
}

void useFishSandwich() {
    restore(game.player.hp, 60, game.player.maxHp);
}

// The flashlight works by being held; the dungeon reads its count.
void useFlashlight() {}

// Initialising the char arrays from literals pads them with NULs to their full width.
const Item itemCatalogue[itemKinds] = {
    {.name = "Apple",
     .use = useApple,
     .kind = ItemUse::battleAndDungeon,
     .description = "Replenishes a small portion of health"},
    {.name = "Cookie",
     .use = useCookie,
     .kind = ItemUse::battleAndDungeon,
     .description = "Replenishes a small portion of skill points"},
    {.name = "Fish Sandwich",
     .use = useFishSandwich,
     .kind = ItemUse::battleAndDungeon,
     .description = "Replenishes a large portion of health"},
    {.name = "Flashlight",
     .use = useFlashlight,
     .kind = ItemUse::never,
     .description = "Lowers enemy encounters"},
    {.name = "Red Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the red door"},
    {.name = "Green Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the green door"},
    {.name = "Yellow Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the yellow door"},
    {.name = "Blue Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the blue door"},
    {.name = "Light Gray Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the orange door"},
    {.name = "Lavendar Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the lavendar door"},
    {.name = "Purple Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the purple door"},
    {.name = "White Key",
     .use = nullptr,
     .kind = ItemUse::never,
     .description = "Opens the white door"},
    {.name = "Fire Spell",
     .use = nullptr,
     .kind = ItemUse::battleOnly,
     .description = "Engulf enemy in flame",
     .spell = ScrollSpell::fire},
    {.name = "Wind Spell",
     .use = nullptr,
     .kind = ItemUse::battleOnly,
     .description = "Send a tornado at the enemy",
     .spell = ScrollSpell::wind},
    {.name = "Quake Spell",
     .use = nullptr,
     .kind = ItemUse::battleOnly,
     .description = "Disrupt the ground under the enemy",
     .spell = ScrollSpell::quake},
    {.name = "Lightning Spell",
     .use = nullptr,
     .kind = ItemUse::battleOnly,
     .description = "Fry enemy with lightning bolts",
     .spell = ScrollSpell::lightning},
    {.name = "Pimp Cane", .use = nullptr, .kind = ItemUse::never, .description = "Agamir's cane"},
};

void buildItemCatalogue() {
    for (int8_t &count : game.itemCounts)
        count = 0;
    itemCount(itemApple) = 1;
    itemCount(itemCookie) = 1;
    itemCount(itemFishSandwich) = 1;
}
