// The conversations of the non-player characters, typed into the dialogue area of a dungeon room.
#include <cstdio>
#include <string>

#include "console/console.h"
#include "game/game.h"
#include "resources/resources.h"

static const char npcScriptFile[] = "NPCscripts.rtf";
static constexpr uint32_t dialoguePauseMillis = 2000;
static void clearDialogueArea() {
    const std::string rowBlank(dialogueClearWidth, ' ');
    for (uint16_t row = dialogueFirstRow; row <= dialogueLastRow; row++)
        printAt(rowBlank.c_str(), colourBlack, dialogueColumn, row);
}

// The section "Tag<number>" of the script.
static TextBuffer readScriptSection(int32_t number) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "Tag%d", number);
    TextSection section = readTextSection(npcScriptFile, tag);
    showDataFileProblem(npcScriptFile, section.problem);
    return std::move(section.text);
}

static uint16_t sectionColour(int32_t number, const char *name) {
    return isSpokenBy(readScriptSection(number).get(), name) ? 9 : 15;
}

static void typeSection(int32_t number, uint16_t colour) {
    typeText(readScriptSection(number).get(), colour, dialogueWidth, dialogueColumn,
             dialogueFirstRow);
}

// The whole conversation the first time; afterwards only the repeat line, which keeps the
// colour of the conversation's first section as it always has.
static void playConversation(const Npc &npc) {
    for (int32_t i = 0; i < npc.lineCount; i++) {
        uint16_t colour = sectionColour(npc.firstTag + i, npc.name);
        if (npc.talkedTo) {
            typeSection(npc.firstTag + npc.lineCount, colour);
            return;
        }
        typeSection(npc.firstTag + i, colour);
        waitMillis(dialoguePauseMillis);
        clearDialogueArea();
    }
}

void talkToNpcs(int32_t mode, int32_t roomRow, int32_t roomCol) {
    const Dungeon *shown = dungeonOfMode(mode);
    if (shown == nullptr) return;
    int32_t dungeon = shown->number;
    for (Npc &npc : game.npcs) {
        if (npc.dungeon != dungeon || npc.roomRow != roomRow || npc.roomCol != roomCol) continue;
        playConversation(npc);
        npc.talkedTo = true;
        waitMillis(dialoguePauseMillis);
        clearDialogueArea();
    }
}

bool isSpokenBy(const char *text, const char *name) {
    if (text == nullptr || name == nullptr) return false;
    // Walks the text against the name and a colon without building the pattern, so a name of
    // any length is safe.
    for (size_t i = 0;; i++) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\0' || ch == ' ' || ch == '\n' || ch == 255) break;
        if (name[i] != '\0') {
            if (text[i] != name[i]) break;
        } else if (text[i] == ':') {
            return true; // the colon right behind the whole name: the pattern is used up
        } else {
            break;
        }
    }
    return false;
}
