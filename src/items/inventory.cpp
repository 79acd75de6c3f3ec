// (being written)
#include "items/items.h"
int32_t inventoryList[itemKinds + 1];
uint8_t inventoryLength = 0;
int8_t inventoryCursor = 0;
void buildInventoryList() {}
void inventoryFrame() {}
void closeInventory() {}
