// The ncurses side of the front end: colours or plain characters, keys, mouse and resizes.
#include "terminal/terminal.h"

#include <curses.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace terminal {
namespace {

// After this many failed reads in a row the terminal is taken to be gone.
constexpr int kReadsBeforeLost = 64;
// How long ncurses waits for the rest of a key's or a mouse report's sequence after its Escape, in
// milliseconds. The pieces of one can come apart on a busy or remote system, and an Escape read
// alone is Cancel, which ends the program: better a slow Escape key than a click taken for one.
constexpr int kEscapeDelay = 500;

enum Pair : short {
    kPairFace = 1,
    kPairCaption,
    kPairInactive,
    kPairFocus,
    kPairSelected,
    kPairHelp
};

chtype Attributes(Role role, bool colours) {
    if (!colours) {
        switch (role) {
            case Role::kCaption:
                return A_REVERSE | A_BOLD;
            case Role::kCaptionInactive:
            case Role::kFocus:
            case Role::kHelp:
                return A_REVERSE;
            case Role::kSelected:
            case Role::kThumb:
            case Role::kWarning:
                return A_BOLD;
            default:
                return A_NORMAL;
        }
    }
    switch (role) {
        case Role::kDesktop:
            return A_NORMAL;
        case Role::kFace:
            return COLOR_PAIR(kPairFace);
        case Role::kCaption:
            return COLOR_PAIR(kPairCaption) | A_BOLD;
        case Role::kCaptionInactive:
            return COLOR_PAIR(kPairInactive);
        case Role::kFocus:
            return COLOR_PAIR(kPairFocus);
        case Role::kSelected:
        case Role::kThumb:
            return COLOR_PAIR(kPairSelected) | A_BOLD;
        case Role::kHelp:
            return COLOR_PAIR(kPairHelp);
        case Role::kWarning:
            return A_BOLD;
    }
    return A_NORMAL;
}

// Line drawing where the terminal has it; ncurses falls back to plain characters where not.
chtype Character(const Cell& cell) {
    switch (cell.glyph) {
        case Glyph::kChar:
            return static_cast<unsigned char>(cell.ch);
        case Glyph::kHLine:
            return ACS_HLINE;
        case Glyph::kVLine:
            return ACS_VLINE;
        case Glyph::kTopLeft:
            return ACS_ULCORNER;
        case Glyph::kTopRight:
            return ACS_URCORNER;
        case Glyph::kBottomLeft:
            return ACS_LLCORNER;
        case Glyph::kBottomRight:
            return ACS_LRCORNER;
        case Glyph::kTick:
            return ACS_PLUS;
        case Glyph::kThumb:
            return ACS_BLOCK;
    }
    return '?';
}

void StartColours() {
    start_color();
    // The desktop keeps the terminal's own colours where it lets us.
    use_default_colors();
    init_pair(kPairFace, COLOR_BLACK, COLOR_WHITE);
    init_pair(kPairCaption, COLOR_WHITE, COLOR_BLUE);
    init_pair(kPairInactive, COLOR_BLACK, COLOR_CYAN);
    init_pair(kPairFocus, COLOR_BLACK, COLOR_YELLOW);
    init_pair(kPairSelected, COLOR_BLUE, COLOR_WHITE);
    init_pair(kPairHelp, COLOR_BLACK, COLOR_CYAN);
}

// The key code that ncurses gives a key of the terminal's description (an extended name such as
// "kNXT5"); 0 where the terminal has no such key.
int KeyCode(const char* name) {
    const char* sequence = tigetstr(name);
    if (!sequence || sequence == reinterpret_cast<const char*>(-1))
        return 0;
    int code = key_defined(sequence);
    return code > 0 ? code : 0;
}

}  // namespace

struct TerminalInput::Screen {
    SCREEN* screen = nullptr;
    bool colours = false;
    bool buttonDown = false;
    int nextTabKey = 0, previousTabKey = 0;  // Ctrl+Page Down and Up; 0 where not known
};

TerminalInput::TerminalInput() : screen_(std::make_unique<Screen>()) {}

TerminalInput::~TerminalInput() {
    Stop();
}

bool TerminalInput::Start(std::string* error) {
    // Without a terminal at both ends the screen's escape codes would only end up in a file.
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        *error = std::string("standard ") + (isatty(STDIN_FILENO) ? "output" : "input") +
                 " is not a terminal";
        return false;
    }
    // newterm rather than initscr: a missing or unknown terminal is reported, not fatal.
    screen_->screen = newterm(nullptr, stdout, stdin);
    if (!screen_->screen) {
        const char* type = std::getenv("TERM");
        *error = type && *type
                     ? std::string("TERM names a terminal type that is not known here: ") + type
                     : std::string("TERM is not set");
        return false;
    }
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    // Hidden, but moved onto the focused control after every update (Show): leaveok stays off.
    curs_set(0);
    leaveok(stdscr, FALSE);
    set_escdelay(kEscapeDelay);
    mouseinterval(0);
    mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED | REPORT_MOUSE_POSITION, nullptr);
    screen_->colours = has_colors();
    screen_->nextTabKey = KeyCode("kNXT5");
    screen_->previousTabKey = KeyCode("kPRV5");
    if (screen_->colours)
        StartColours();
    return true;
}

void TerminalInput::Stop() {
    if (!screen_->screen)
        return;
    endwin();
    delscreen(screen_->screen);
    screen_->screen = nullptr;
}

void TerminalInput::Show() {
    int rows = 0, cols = 0;
    getmaxyx(stdscr, rows, cols);
    picture_ = Render(cols, rows);
    if (picture_.canvas != shown_) {
        // A resized terminal keeps, moves or drops cells as it likes: draw it all again.
        if (cols != shown_.cols() || rows != shown_.rows())
            clearok(curscr, TRUE);
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < cols; ++col) {
                const Cell& cell = picture_.canvas.At(col, row);
                // In the bottom right cell the character is stored, and ncurses writes it without
                // scrolling; only the cursor cannot move on (ERR).
                mvaddch(row, col, Character(cell) | Attributes(cell.role, screen_->colours));
            }
        }
        shown_ = picture_.canvas;
    }
    // The cursor, hidden or not, goes last: screen readers and magnifiers follow it. A control
    // cut off at the edge (a box wider than the terminal) has it at the edge.
    move(std::clamp(picture_.cursorRow, 0, std::max(rows - 1, 0)),
         std::clamp(picture_.cursorCol, 0, std::max(cols - 1, 0)));
    refresh();
}

bool TerminalInput::ProvideInput() {
    if (!screen_->screen)
        return false;
    for (;;) {
        Show();
        // Until a key, a mouse event or a resize comes, or the program's next timer falls due
        // (a press held in a slider's channel pages on by a timer).
        timeout(headless::MillisecondsToNextTimer());
        int key = getch();
        if (key == ERR) {
            if (headless::WorkPending())
                return true;
            if (++failedReads_ < kReadsBeforeLost)
                continue;
            return TerminalLost();
        }
        failedReads_ = 0;
        Handle(key);
        // Focus moves and resizes may give the layer nothing to do: then show and wait again.
        if (headless::WorkPending())
            return true;
    }
}

void TerminalInput::Handle(int key) {
    // The dialog is not on screen: nothing may act on it unseen but closing it (mouse: below).
    if (picture_.tooSmall && key != 'q' && key != 'Q' && key != KEY_MOUSE)
        return;
    switch (key) {
        case '\t':
            return controller_.OnKey(Key::kTab);
        case KEY_BTAB:
            return controller_.OnKey(Key::kBackTab);
        case KEY_LEFT:
            return controller_.OnKey(Key::kLeft);
        case KEY_RIGHT:
            return controller_.OnKey(Key::kRight);
        case KEY_UP:
            return controller_.OnKey(Key::kUp);
        case KEY_DOWN:
            return controller_.OnKey(Key::kDown);
        case KEY_HOME:
            return controller_.OnKey(Key::kHome);
        case KEY_END:
            return controller_.OnKey(Key::kEnd);
        case KEY_PPAGE:
            return controller_.OnKey(Key::kPageUp);
        case KEY_NPAGE:
            return controller_.OnKey(Key::kPageDown);
        case ' ':
            return controller_.OnKey(Key::kSpace);
        case '\r':
        case '\n':
        case KEY_ENTER:
            return controller_.OnKey(Key::kEnter);
        case 27:
            return controller_.OnKey(Key::kEscape);
        case 'q':
        case 'Q':
            return controller_.OnKey(Key::kClose);
        case KEY_MOUSE:
            return HandleMouse();
        default:
            // Ctrl+Page Down and Up, where the terminal tells them apart; else a resize, or a key
            // without a meaning here: the next Show redraws.
            if (key != 0 && key == screen_->nextTabKey)
                return controller_.OnKey(Key::kNextTab);
            if (key != 0 && key == screen_->previousTabKey)
                return controller_.OnKey(Key::kPreviousTab);
            return;
    }
}

void TerminalInput::HandleMouse() {
    // Reports that arrive together (a quick drag, a slow link) wait in ncurses' queue, and
    // getmouse gives the newest first: take them all and handle them oldest first, or the press
    // of a drag would be lost behind the moves that followed it.
    std::vector<MEVENT> run;
    MEVENT event;
    while (getmouse(&event) == OK)
        run.push_back(event);
    if (picture_.tooSmall)
        return;
    for (auto it = run.rbegin(); it != run.rend(); ++it) {
        if (it->bstate & BUTTON1_PRESSED) {
            screen_->buttonDown = true;
            controller_.OnMouse(picture_, MouseAction::kPress, it->x, it->y);
        } else if (it->bstate & BUTTON1_RELEASED) {
            screen_->buttonDown = false;
            controller_.OnMouse(picture_, MouseAction::kRelease, it->x, it->y);
        } else if ((it->bstate & REPORT_MOUSE_POSITION) && screen_->buttonDown) {
            controller_.OnMouse(picture_, MouseAction::kMove, it->x, it->y);
        }
    }
}

// Without a terminal nobody can answer: close what is open, as its close box would, so that
// the program ends the way it does when a person closes it.
bool TerminalInput::TerminalLost() {
    failedReads_ = 0;
    controller_.CloseInnermost();
    // With nothing left to close, the loop is told to end rather than wait for ever.
    if (!headless::WorkPending())
        PostQuitMessage(0);
    return true;
}

}  // namespace terminal
