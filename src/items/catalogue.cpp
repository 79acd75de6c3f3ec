// (being written)
#include "items/items.h"
Item itemCatalogue[itemKinds];
int8_t &itemCount(int32_t item) { return itemCounts[item - 1]; }
void buildItemCatalogue() {}
