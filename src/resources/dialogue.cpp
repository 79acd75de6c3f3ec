// (being written)
#include "resources/resources.h"
void talkToNpcs(int32_t, int32_t, int32_t) {}
bool isSpokenBy(const char *, const char *) { return false; }
