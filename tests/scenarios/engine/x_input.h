#pragma once
// Real pointer and key events on the X display of DISPLAY, made by the X server itself (XTest), as
// a person's hand gives them; no X types, so that the scenario engine's names stay unclashed.
namespace x_input {

#ifdef AICP_XTEST
bool Open();  // false when there is no display or it lacks XTest
void Move(int x, int y);
// Each returns once the server has made every event given so far, this one too.
void Button(bool down);
void Key(unsigned keysym, bool down);
#else  // a build without XTest: there is no display to play on
inline bool Open() {
    return false;
}
inline void Move(int, int) {}
inline void Button(bool) {}
inline void Key(unsigned, bool) {}
#endif

}  // namespace x_input
