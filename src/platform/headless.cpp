// The headless backend: scripted keys, a virtual clock, and a screen nobody looks at
// but the tests, which read the console's cell buffer directly.
#include "platform/headless.h"

#include <cstdio>
#include <deque>
#include <string>

#include "platform/eventqueue.h"

namespace {

// One step of the scripted player.
struct ScriptStep {
    enum Kind { press, event, idle } kind;
    KeyEvent key;
    uint32_t idleMillis;
};

std::deque<ScriptStep> script;
std::function<void()> keySource;
EventQueue pending;

uint64_t nowMicros = 0;
uint32_t clockStepMicros = 100;
// Polls in a row that found nothing to give; a poll loop with no script left ends the run.
int emptyPolls = 0;
constexpr int maxEmptyPolls = 20000;
// What an empty poll that may not wait lets pass, so that loops of them move time on.
constexpr uint32_t emptyPollMicros = 5000;

int presentCount = 0;
std::function<void()> presentHook;
std::string title;
bool cursorVisible = true;
int minimumWidth = 0;
int minimumHeight = 0;
std::string errors;

uint64_t readClock() {
    nowMicros += clockStepMicros;
    return nowMicros;
}

// Moves the next script step into the pending events. Returns false when the script is
// empty even after asking the key source; an idle step lets its time pass and yields nothing.
bool takeScriptStep(bool *gotEvents) {
    *gotEvents = false;
    if (script.empty() && keySource) keySource();
    if (script.empty()) return false;
    ScriptStep step = script.front();
    script.pop_front();
    switch (step.kind) {
    case ScriptStep::press:
        queuePushPress(pending, step.key.virtualKey, step.key.character);
        *gotEvents = true;
        break;
    case ScriptStep::event:
        queuePush(pending, step.key);
        *gotEvents = true;
        break;
    case ScriptStep::idle:
        nowMicros += uint64_t{step.idleMillis} * 1000;
        break;
    }
    return true;
}

bool headlessInit() {
    return true;
}

void headlessShutdown() {}

// The cells stay where the game drew them; tests read them there, in the present hook too.
void headlessPresent(const ScreenCells &) {
    presentCount++;
    if (presentHook) presentHook();
}

void headlessReadEvent(KeyEvent *event) {
    while (pending.count == 0) {
        bool gotEvents;
        if (!takeScriptStep(&gotEvents)) throw RunEnded{0};
    }
    emptyPolls = 0;
    queuePop(pending, event);
}

int headlessPollEvents(KeyEvent *events, int max, int waitMillis) {
    if (pending.count == 0) {
        bool gotEvents = false;
        if (!takeScriptStep(&gotEvents)) {
            // Nothing more will come: a wait without limit is where the run ends.
            if (waitMillis == waitUntilKey) throw RunEnded{0};
            nowMicros += waitMillis > 0 ? uint64_t{1000} * static_cast<uint32_t>(waitMillis)
                                        : emptyPollMicros;
            if (++emptyPolls > maxEmptyPolls) throw RunEnded{0};
            return 0;
        }
    }
    emptyPolls = 0;
    int n = 0;
    while (n < max && queuePopPolled(pending, &events[n]))
        n++;
    return n;
}

void headlessDiscardEvents() {
    queueDiscard(pending);
}

uint32_t headlessTickMillis() {
    return static_cast<uint32_t>(readClock() / 1000);
}

int headlessTimeOfDayMillis() {
    return static_cast<int>((readClock() / 1000) % 1000);
}

void headlessSleepMillis(uint32_t ms) {
    nowMicros += uint64_t{ms} * 1000;
}

void headlessSetTitle(const char *text) {
    title = text;
}

void headlessSetCursorVisible(bool visible) {
    cursorVisible = visible;
}

void headlessSetMinimumSize(int width, int height) {
    minimumWidth = width;
    minimumHeight = height;
}

// Enough for any test; a fuzzer's millions of inputs must not pile up lines without end.
constexpr size_t maxErrorBytes = size_t{1} << 16;

void headlessReportError(const char *line) {
    if (errors.size() >= maxErrorBytes) return;
    errors += line;
    errors += '\n';
}

} // namespace

const Platform headlessPlatform = {
    .name = "headless",
    .init = headlessInit,
    .shutdown = headlessShutdown,
    .present = headlessPresent,
    .readEvent = headlessReadEvent,
    .pollEvents = headlessPollEvents,
    .discardEvents = headlessDiscardEvents,
    .tickMillis = headlessTickMillis,
    .timeOfDayMillis = headlessTimeOfDayMillis,
    .sleepMillis = headlessSleepMillis,
    .setTitle = headlessSetTitle,
    .setCursorVisible = headlessSetCursorVisible,
    .setMinimumSize = headlessSetMinimumSize,
    .reportError = headlessReportError,
};

void headlessReset() {
    script.clear();
    keySource = nullptr;
    queueClear(pending);
    nowMicros = 0;
    clockStepMicros = 100;
    emptyPolls = 0;
    presentCount = 0;
    presentHook = nullptr;
    title.clear();
    cursorVisible = true;
    minimumWidth = 0;
    minimumHeight = 0;
    errors.clear();
}

void headlessPress(uint16_t virtualKey, char character) {
    script.push_back(ScriptStep{ScriptStep::press, KeyEvent{true, virtualKey, character}, 0});
}

void headlessPressCharacter(char character) {
    uint16_t virtualKey = static_cast<unsigned char>(character);
    if (character >= 'a' && character <= 'z') virtualKey = static_cast<uint16_t>(character - 32);
    headlessPress(virtualKey, character);
}

void headlessEvent(const KeyEvent &event) {
    script.push_back(ScriptStep{ScriptStep::event, event, 0});
}

void headlessIdle(uint32_t millis) {
    script.push_back(ScriptStep{ScriptStep::idle, KeyEvent{}, millis});
}

void headlessTypeAhead(uint16_t virtualKey, char character) {
    queuePushPress(pending, virtualKey, character);
}

void headlessSetKeySource(std::function<void()> source) {
    keySource = std::move(source);
}

bool headlessScriptPending() {
    return !script.empty();
}

uint64_t headlessNowMicros() {
    return nowMicros;
}

void headlessSetNowMicros(uint64_t micros) {
    nowMicros = micros;
}

void headlessSetClockStepMicros(uint32_t micros) {
    clockStepMicros = micros;
}

int headlessPresentCount() {
    return presentCount;
}

void headlessSetPresentHook(std::function<void()> hook) {
    presentHook = std::move(hook);
}

const char *headlessTitle() {
    return title.c_str();
}

bool headlessCursorVisible() {
    return cursorVisible;
}

int headlessMinimumWidth() {
    return minimumWidth;
}

int headlessMinimumHeight() {
    return minimumHeight;
}

const char *headlessErrors() {
    return errors.c_str();
}
