#pragma once
// Real pointer and key events on the X display of DISPLAY, made by the X server itself (XTest), as
// a person's hand gives them; no X types, so that the scenario engine's names stay unclashed.
namespace x_test_input {

// Opens the display; false when there is none or it lacks XTest.
bool Open();
void Move(int x, int y);
void Button(bool down);
// Down and up of Left, Right, Up, Down, Home, End, Page Up or Page Down (0 to 7).
void Key(int index);
// Returns once the server has made every event given so far.
void Sync();

}  // namespace x_test_input
