#pragma once
// Real pointer and key events on the X display of DISPLAY, made by the X server itself (XTest), as
// a person's hand gives them; no X types, so that the scenario engine's names stay unclashed.
namespace x_input {

bool Open();  // false when there is no display or it lacks XTest
void Move(int x, int y);
void Button(bool down);
void Key(unsigned keysym, bool down);
void Sync();  // returns once the server has made every event given so far

}  // namespace x_input
